// The download over the in-process sign, and the preview file: the same bytes the download
// puts into the sign, in a sparse 128 MiB file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "manager/link/frame.h"
#include "manager/transfer/download.h"
#include "manager/transfer/picture_cache.h"
#include "manager/transfer/preview_file.h"
#include "shared/board_memory.h"
#include "shared/file_io.h"
#include "tests/encode/fake_pictures.h"
#include "tests/fakes/sim_sign_link.h"
#include "tests/support/test_fonts.h"

using namespace transfer;
using encode_test::FakePictures, encode_test::Item;
using signlink::Result;
using Bytes = std::vector<std::uint8_t>;
using Kind = item::ItemKind;
using List = std::vector<item::ItemRecord>;

namespace {

// A sign of the right model holding one tier; counts the progress it is shown.
struct Sign : fakes::SimSignLink {
  Sign() { memory()[board::kRowsCode] = 1; }
  std::string Said(const Report& r) const {
    const Message m = MessageFor(r);
    return m.text + "|" + m.caption;
  }
  Progress progress() {
    return {.begin = [this](int t) { begun = t; },
            .step = [this](int) { ++steps; },
            .end = [this] { ++ends; },
            .cancelled = [this] { return steps == cancelAt; }};
  }
  int begun = -1, steps = 0, ends = 0, cancelAt = -1;
};

// Each kind's writes and steps are the layout's (ProgramLayoutTest); here the frames that
// carry them: after the model and height checks, none for an unknown kind, then the count
// (unknown kinds included) and apply.
TEST(DownloadTest, FramesFollowTheChecksAndTheTotalIsTheStepsTaken) {
  const List every = {Item(Kind::OneLine),        Item(Kind::TwoLine),
                      Item(Kind::DateTime),       Item(Kind::Bitmap, "bmp:100x16"),
                      Item(static_cast<Kind>(9)), Item(Kind::Animation, "gif:64x32x3")};
  // Sizes of the frames after the two checks: headers, body quarters, planes, frames.
  const std::vector<std::size_t> frames = {44, 2060, 2060, 44, 2060, 2060, 2060, 2060,
                                           44, 44,   428,  44, 524,  524,  524};
  for (const auto& [list, itemFrames] : {std::pair{every, frames}, {List{}, {}}}) {
    Sign sign;
    FakePictures pics;
    const Report r = Download(sign, list, 1, sign.progress(), pics);
    const auto& sent = sign.sent();
    std::vector<std::size_t> sizes;
    for (std::size_t i = 2; i + 2 < sent.size(); ++i) sizes.push_back(sent[i].size());
    EXPECT_EQ(sizes, itemFrames);
    EXPECT_EQ(board::Get32(&sent[sent.size() - 2][4]), board::kItemCount);  // count, apply
    EXPECT_EQ(sent[sent.size() - 2][11], list.size());
    EXPECT_EQ(sent.back(), signlink::BuildApply());
    const int steps = static_cast<int>(itemFrames.size());
    EXPECT_EQ(std::tuple(sign.steps, r.total, sign.begun, sign.ends),
              std::tuple(steps, steps, list.empty() ? -1 : steps, 1));
    EXPECT_EQ(sign.Said(r), "전송 완료 했습니다|전송완료");
  }
}

// Ten one-line items to a sign holding a count of 7 from the previous program.
TEST(DownloadTest, ChecksAndFailuresSendNothingMoreAndSayWhy) {
  // The failing request, from 1 (with item 5's header every later one fails too), its result,
  // the sign's model and rows, then the outcome, the items written, the count and the message.
  const std::tuple<std::size_t, Result, const char*, int, Outcome, int, int, std::string> cases[] =
      {
          {1, Result::kTimeout, "VARNO", 1, Outcome::kUnreachable, 0, 7,
           "전광판과의 연결상태를 확인해주세요!...|전송실패"},
          {0, Result::kOk, "OTHER", 1, Outcome::kOtherModel, 0, 7,
           "전광판모델이 다릅니다|전송실패"},
          {2, Result::kChecksum, "VARNO", 1, Outcome::kHeightUnreadable, 0, 7,
           "단말기와 통신할수 없습니다|통신실패"},
          {0, Result::kOk, "VARNO", 2, Outcome::kHeightMismatch, 0, 7,
           "단말기와 높이가맞지않습니다\n높이를 맞춘후에 전송해주세요|높이틀림"},
          {2 + 5 * 3 + 1, Result::kTimeout, "VARNO", 1, Outcome::kItemFailed, 5, 7,
           "전송 실패 했습니다|전송실패"},
          {33, Result::kNotConnected, "VARNO", 1, Outcome::kCountFailed, 10, 7,
           signlink::ResultText(Result::kNotConnected) + std::string("|전송실패")},
          {34, Result::kTimeout, "VARNO", 1, Outcome::kApplyFailed, 10, 10,
           signlink::ResultText(Result::kTimeout) + std::string("|전송실패")},
      };
  List list(10, Item(Kind::OneLine));
  for (int i = 0; i < 10; ++i) list[i].body.textA[0] = static_cast<std::uint8_t>('a' + i);
  for (const auto& [failAt, result, model, rows, outcome, written, count, said] : cases) {
    SCOPED_TRACE(said);
    Sign sign;
    sign.memory()[board::kItemCount + 1] = 7;
    sign.memory()[board::kRowsCode] = static_cast<std::uint8_t>(rows);
    std::memcpy(sign.memory() + board::kModelId, model, 6);
    if (failAt) sign.Fail(failAt, result, outcome == Outcome::kItemFailed);
    const Report r = Download(sign, list, 1, sign.progress());
    const std::size_t sent = failAt ? failAt : rows == 1 ? 1 : 2;  // nothing after the failed one
    EXPECT_EQ(std::tuple(r.outcome, sign.sent().size(), r.frames, r.item),
              std::tuple(outcome, sent, int(sent), outcome == Outcome::kItemFailed ? 5 : -1));
    for (int i = 0; i < 10; ++i)
      EXPECT_EQ(sign.memory()[board::BodyAddress(i)], i < written ? 'a' + i : 0) << i;
    EXPECT_EQ(board::Get16(sign.memory() + board::kItemCount), count);
    EXPECT_EQ(sign.Said(r), said);
    EXPECT_EQ(sign.steps, 3 * written);
    EXPECT_EQ(sign.ends, sent > 2);  // begun only once the checks passed
  }
}

TEST(DownloadTest, UnusablePictureFailsBeforeAnythingIsSentAndNamesTheItem) {
  const std::tuple<const char*, Kind, Outcome, const char*> cases[] = {
      {"/gone/picture.bmp", Kind::Bitmap, Outcome::kPictureUnreadable, "읽을 수 없습니다"},
      {"/gone/movie.gif", Kind::Animation, Outcome::kPictureUnreadable, "읽을 수 없습니다"},
      {"gif:8000x1000x61", Kind::Animation, Outcome::kPictureTooLarge, "들어가지 않습니다"},
  };
  for (const auto& [path, kind, outcome, says] : cases) {
    SCOPED_TRACE(path);
    Sign sign;
    FakePictures pics;
    const List list = {Item(Kind::OneLine), Item(Kind::OneLine), Item(kind, path)};
    const Report r = Download(sign, list, 1, {}, pics);
    EXPECT_EQ(std::tuple(r.outcome, r.item, sign.sent().size(), pics.renders()),
              std::tuple(outcome, 2, 0u, 0));
    const std::string said = sign.Said(r);
    EXPECT_TRUE(said.starts_with("전송 실패 했습니다\n3번째 항목") && said.ends_with("|전송실패") &&
                said.find(says) != std::string::npos && said.find(path) != std::string::npos)
        << said;
  }
}

TEST(DownloadTest, CancelStopsBetweenFramesWithoutCountOrApply) {
  Sign sign;
  sign.cancelAt = 5;
  FakePictures pics;
  const List list = {Item(Kind::OneLine), Item(Kind::Animation, "gif:64x32x9")};
  const Report r = Download(sign, list, 1, sign.progress(), pics);
  // A small animation is drawn whole, once, when its file is read before anything is sent.
  EXPECT_EQ(std::tuple(r.outcome, sign.sent().size(), pics.renders(), MessageFor(r).caption),
            std::tuple(Outcome::kCancelled, 2u + 5u, 9, "전송취소"));
}

class PreviewFileTest : public ::testing::Test {
 protected:
  PreviewReport Write(const List& list, PreviewSettings s = {}) {
    steps_ = 0;
    return WritePreview(
        path_, list, s,
        {.begin = [this](int t) { begun_ = t; }, .step = [this] { ++steps_; }, .end = {}}, pics_);
  }
  Bytes Read(std::uint32_t at, std::size_t n) const {
    return fileio::RegularFile(path_).ReadAt(at, n).value_or(Bytes{});
  }
  const sign_test::TempDir dir_{"preview"};
  std::string path_ = dir_.Path("preview.tmp");
  FakePictures pics_;
  int begun_ = -1, steps_ = 0;
};

TEST_F(PreviewFileTest, HoldsWhatTheDownloadPutsIntoTheSignInASparseFile) {
  const List list = {Item(Kind::OneLine, "", 1),        Item(Kind::Bitmap, "bmp:100x16"),
                     Item(Kind::TwoLine, "", 2),        Item(Kind::Animation, "gif:64x32x3"),
                     Item(Kind::TitleSentence, "", 3),  Item(Kind::DateTime),
                     Item(Kind::DDay, "", 4),           Item(Kind::Temperature),
                     Item(Kind::Bitmap, "bmp:800x160"), Item(Kind::Animation, "gif:8x1x1")};
  Sign sign;
  ASSERT_EQ(Download(sign, list, 1, {}, pics_).outcome, Outcome::kDone);
  // A step per item, per animation frame, none for the temperature (ProgramLayoutTest).
  const PreviewReport r = Write(list, {.width = 12, .rowsCode = 2, .connection = 1});
  EXPECT_EQ(std::tuple(r.written, r.items, steps_, begun_), std::tuple(true, 10, 11, 11));
  // Where the pictures go is the layout's (ProgramLayoutTest): here every write is in the file.
  std::size_t compared = 0;
  for (const signlink::Frame& f : sign.sent()) {
    if (f[3] != signlink::kCmdMemoryWrite) continue;
    const std::uint32_t at = board::Get32(&f[4]);
    const std::size_t n = board::Get16(&f[8]);
    EXPECT_EQ(Read(at, n), Bytes(f.begin() + 10, f.begin() + 10 + static_cast<long>(n)))
        << std::hex << at;
    compared += n;
  }
  EXPECT_GT(compared, 40000u);
  EXPECT_EQ(std::filesystem::file_size(path_), board::kMemorySize);
  EXPECT_EQ(Read(board::kWidth, 2), (Bytes{12, 2}));
  EXPECT_EQ(Read(board::kItemCount, 2), (Bytes{0, 10}));
  EXPECT_EQ(Read(board::kConnection, 1), (Bytes{1}));
  struct stat st {};  // a hole but for the pages written
  ASSERT_EQ(::stat(path_.c_str(), &st), 0);
  EXPECT_LT(static_cast<std::uint64_t>(st.st_blocks) * 512u, 1u << 20);
}

// A previewer still playing the old file keeps it whole while a new preview replaces it;
// the new file holds only the new program, and nothing else is left in the folder.
TEST_F(PreviewFileTest, ANewPreviewReplacesTheFileWhileAReaderKeepsTheOld) {
  ASSERT_TRUE(
      Write({Item(Kind::OneLine, "", 1), Item(Kind::TwoLine, "", 2), Item(Kind::DDay, "", 3)})
          .written);
  std::ifstream playing(path_, std::ios::binary);
  ASSERT_TRUE(Write({Item(Kind::DateTime)}).written);
  const auto old = [&playing](std::uint32_t at) {
    playing.seekg(at);
    return Bytes{static_cast<std::uint8_t>(playing.get())};
  };
  for (auto [at, was, now] : {std::tuple{board::kItemCount + 1, 3, 1},
                              {board::HeaderAddress(0), 0, 5},
                              {board::BodyAddress(2) + 2048, 0xA4, 0}}) {
    EXPECT_EQ(old(at), Bytes{std::uint8_t(was)}) << std::hex << at;
    EXPECT_EQ(Read(at, 1), Bytes{std::uint8_t(now)}) << std::hex << at;
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path), {}), 1);
  path_ = dir_.Path("no/such/preview.tmp");
  EXPECT_FALSE(Write({Item(Kind::OneLine)}).written);
}

// 99 items naming three pictures: a download and a preview each ask for every file once
// and draw every frame once.
TEST_F(PreviewFileTest, EachPictureFileIsReadOncePerDownloadAndPreview) {
  List list;
  for (int i = 0; i < 33; ++i)
    for (const char* path : {"gif:64x32x3", "gif:8x8x2", "bmp:16x16"})
      list.push_back(Item(path[0] == 'g' ? Kind::Animation : Kind::Bitmap, path));
  Sign sign;
  FakePictures sent;
  ASSERT_EQ(Download(sign, list, 1, {}, sent).outcome, Outcome::kDone);
  ASSERT_TRUE(Write(list).written);
  EXPECT_EQ(std::tuple(sent.opens(), sent.renders()), std::tuple(3, 5));
  EXPECT_EQ(std::tuple(pics_.opens(), pics_.renders()), std::tuple(3, 5));
}

// Within its budget or past it (animations then drawn from a file opened again), the cache
// gives the writes the files give.
TEST(PictureCacheTest, WritesAreTheFilesWithinAndPastTheBudget) {
  List list;
  for (const char* path : {"gif:64x32x3", "gif:16x8x2", "bmp:100x16", "gif:64x32x3", "gif:16x8x2"})
    list.push_back(Item(path[0] == 'g' ? Kind::Animation : Kind::Bitmap, path));
  const auto writes = [&list](encode::PictureSource&& pictures) {
    std::vector<std::pair<std::uint32_t, Bytes>> out;
    for (const encode::ItemLayout& item : encode::LayOutProgram(list, pictures).items)
      encode::ForEachWrite(item,
                           [&out](auto& w) { return out.emplace_back(w.address, w.bytes), true; });
    return out;
  };
  for (const std::size_t budget :
       {std::size_t{0}, std::size_t{1000}, PictureCache::kDefaultBudget}) {
    FakePictures source;
    EXPECT_EQ(writes(PictureCache(source, budget)), writes(FakePictures())) << budget;
  }
}

}  // namespace
