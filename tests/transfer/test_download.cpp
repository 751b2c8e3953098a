// The download over the in-process sign: frames per kind, picture packing, refusals,
// failures at a given request, and cancel.
#include <gtest/gtest.h>

#include <cstring>

#include "manager/link/frame.h"
#include "manager/transfer/download.h"
#include "shared/board_memory.h"
#include "shared/cp949.h"
#include "tests/encode/fake_pictures.h"
#include "tests/fakes/sim_sign_link.h"

using namespace transfer;
using encode_test::FakePictures;
using signlink::Result;
using Kind = item::ItemKind;
using List = std::vector<item::ItemRecord>;

namespace transfer {
bool operator==(const Message& a, const Message& b) { return a.text == b.text && a.caption == b.caption; }
}  // namespace transfer

namespace {

item::ItemRecord Item(Kind kind, const std::string& path = "") {
  item::ItemRecord r;
  r.header.setKind(kind);
  text::WriteTextQuarter(r.body.textA, path);
  r.body.attrA.fill(0xA1);
  r.body.textB.fill(0xB2);
  r.body.attrB.fill(0xC3);
  return r;
}

// A sign of the right model holding one tier.
struct Sign : fakes::SimSignLink {
  Sign() { memory()[board::kRowsCode] = 1; }
  std::uint32_t Address(std::size_t n) const { return board::Get32(&sent()[n][4]); }  // of request n, 0-based
};

struct Recorded {
  int begun = -1, steps = 0, ends = 0;
  Progress progress() {
    return {.begin = [this](int t) { begun = t; }, .step = [this](int) { ++steps; },
            .end = [this] { ++ends; }, .cancelled = {}};
  }
};

TEST(DownloadTest, EachKindCostsItsFramesAndTheTotalIsTheStepsTaken) {
  struct Case {
    const char* name;
    List list;
    std::vector<std::size_t> itemFrames;  // sizes of the frames after the two checks
  };
  const std::vector<Case> cases = {
      {"empty", {}, {}},
      {"one-line", {Item(Kind::OneLine)}, {44, 2060, 2060}},
      {"two-line", {Item(Kind::TwoLine)}, {44, 2060, 2060, 2060, 2060}},
      {"date/time", {Item(Kind::DateTime)}, {44}},
      {"bitmap 100x16", {Item(Kind::Bitmap, "bmp:100x16")}, {44, 428}},
      {"animation 3 of 64x32", {Item(Kind::Animation, "gif:64x32x3")}, {44, 524, 524, 524}},
      {"unknown kind", {Item(static_cast<Kind>(9))}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Sign sign;
    FakePictures pics;
    Recorded rec;
    const Report r = Download(sign, c.list, 1, rec.progress(), pics);
    EXPECT_EQ(r.outcome, Outcome::kDone);
    const auto& sent = sign.sent();
    ASSERT_EQ(sent.size(), 2 + c.itemFrames.size() + 2);
    for (std::size_t i = 0; i < c.itemFrames.size(); ++i) EXPECT_EQ(sent[2 + i].size(), c.itemFrames[i]) << i;
    // The count write of the list's length, then the apply.
    EXPECT_EQ(sign.Address(sent.size() - 2), board::kItemCount);
    EXPECT_EQ(sent[sent.size() - 2][11], c.list.size());
    EXPECT_EQ(sent.back(), signlink::BuildApply());
    const int steps = static_cast<int>(c.itemFrames.size());
    EXPECT_EQ(rec.steps, steps);
    EXPECT_EQ(r.total, steps);
    EXPECT_EQ(rec.begun, c.list.empty() ? -1 : steps);
    EXPECT_EQ(rec.ends, 1);
    EXPECT_EQ(MessageFor(r), (Message{"전송 완료 했습니다", "전송완료"}));
  }
}

TEST(DownloadTest, PicturesArePackedFromTheirAreasInWritesOf2048) {
  Sign sign;
  FakePictures pics;
  const List list = {
      Item(Kind::Bitmap, "bmp:100x16"), Item(Kind::Animation, "gif:64x32x3"),
      Item(Kind::Bitmap, "bmp:800x160"), Item(Kind::Animation, "gif:8x1x1")};
  ASSERT_EQ(Download(sign, list, 1, {}, pics).outcome, Outcome::kDone);
  const std::uint8_t* m = sign.memory();
  // The second bitmap starts 416 bytes after the first, the second animation 1536 bytes
  // after the first, and the headers name those addresses.
  EXPECT_EQ(board::Get32(m + board::HeaderAddress(2) + 21), 0x4A0000u + 416u);
  EXPECT_EQ(board::Get32(m + board::HeaderAddress(3) + 21), 0xC80000u + 1536u);
  // 800 x 160: 15 writes of 2048 bytes and one of 1280 at consecutive addresses.
  std::vector<std::size_t> sizes;
  for (std::size_t n = 0; n < sign.sent().size(); ++n) {
    if (sign.sent()[n][3] != signlink::kCmdMemoryWrite || sign.Address(n) < 0x4A01A0 ||
        sign.Address(n) >= 0xC80000)
      continue;
    EXPECT_EQ(sign.Address(n), 0x4A01A0u + 2048u * sizes.size());
    sizes.push_back(sign.sent()[n].size() - 12);
  }
  std::vector<std::size_t> expected(15, 2048);
  expected.push_back(1280);
  EXPECT_EQ(sizes, expected);
  const encode::Planes last = FakePictures::Numbered(64, 32, 2);
  EXPECT_EQ(0, std::memcmp(m + 0xC80000 + 1024, last.red.data(), last.red.size()));
}

TEST(DownloadTest, FailureOnItemFiveLeavesTheFirstFiveAndTheOldCount) {
  Sign sign;
  sign.memory()[board::kItemCount + 1] = 7;  // the previous program's count
  List list;
  for (int i = 0; i < 10; ++i) {
    list.push_back(Item(Kind::OneLine));
    list.back().body.textA[0] = static_cast<std::uint8_t>('a' + i);
  }
  sign.Fail(2 + 5 * 3 + 1, Result::kTimeout, true);  // item 5's header
  Recorded rec;
  const Report r = Download(sign, list, 1, rec.progress());
  EXPECT_EQ(r.outcome, Outcome::kItemFailed);
  EXPECT_EQ(r.item, 5);
  EXPECT_EQ(sign.sent().size(), 18u);  // nothing after the failed frame: no count, no apply
  for (int i = 0; i < 10; ++i) EXPECT_EQ(sign.memory()[board::BodyAddress(i)], i < 5 ? 'a' + i : 0) << i;
  EXPECT_EQ(board::Get16(sign.memory() + board::kItemCount), 7u);
  EXPECT_EQ(rec.steps, 15);
  EXPECT_EQ(rec.ends, 1);
  EXPECT_EQ(MessageFor(r), (Message{"전송 실패 했습니다", "전송실패"}));
}

TEST(DownloadTest, RefusalsAndFailuresSendNothingMoreAndSayWhy) {
  struct Case {
    const char* name;
    std::function<void(Sign&)> arrange;
    Outcome outcome;
    std::size_t framesSent;
    Message message;
  };
  const std::vector<Case> cases = {
      {"unreachable", [](Sign& s) { s.Fail(1, Result::kTimeout); }, Outcome::kUnreachable, 1,
       {"전광판과의 연결상태를 확인해주세요!...", "전송실패"}},
      {"other model", [](Sign& s) { std::memcpy(s.memory() + board::kModelId, "OTHER\0\0", 8); },
       Outcome::kOtherModel, 1, {"전광판모델이 다릅니다", "전송실패"}},
      {"height unreadable", [](Sign& s) { s.Fail(2, Result::kChecksum); }, Outcome::kHeightUnreadable,
       2, {"단말기와 통신할수 없습니다", "통신실패"}},
      {"height differs", [](Sign& s) { s.memory()[board::kRowsCode] = 2; }, Outcome::kHeightMismatch,
       2, {"단말기와 높이가맞지않습니다\n높이를 맞춘후에 전송해주세요", "높이틀림"}},
      {"count", [](Sign& s) { s.Fail(6, Result::kNotConnected); }, Outcome::kCountFailed, 6,
       {signlink::ResultText(Result::kNotConnected), "전송실패"}},
      {"apply", [](Sign& s) { s.Fail(7, Result::kTimeout); }, Outcome::kApplyFailed, 7,
       {signlink::ResultText(Result::kTimeout), "전송실패"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Sign sign;
    c.arrange(sign);
    Recorded rec;
    const Report r = Download(sign, List{Item(Kind::OneLine)}, 1, rec.progress());
    EXPECT_EQ(r.outcome, c.outcome);
    EXPECT_EQ(sign.sent().size(), c.framesSent);
    EXPECT_EQ(r.frames, static_cast<int>(c.framesSent));
    EXPECT_EQ(MessageFor(r), c.message);
    EXPECT_EQ(rec.ends, c.framesSent > 2 ? 1 : 0);  // begun only once the checks passed
  }
}

TEST(DownloadTest, UnusablePictureFailsBeforeAnythingIsSentAndNamesTheItem) {
  struct Case {
    const char* path;
    Kind kind;
    Outcome outcome;
    const char* says;
  };
  const Case cases[] = {
      {"/gone/picture.bmp", Kind::Bitmap, Outcome::kPictureUnreadable, "읽을 수 없습니다"},
      {"/gone/movie.gif", Kind::Animation, Outcome::kPictureUnreadable, "읽을 수 없습니다"},
      {"gif:8000x1000x61", Kind::Animation, Outcome::kPictureTooLarge, "들어가지 않습니다"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    Sign sign;
    FakePictures pics;
    const Report r = Download(sign, List{Item(Kind::OneLine), Item(Kind::OneLine), Item(c.kind, c.path)}, 1, {}, pics);
    EXPECT_EQ(r.outcome, c.outcome);
    EXPECT_EQ(r.item, 2);
    EXPECT_TRUE(sign.sent().empty());
    EXPECT_EQ(pics.renders(), 0);
    const Message m = MessageFor(r);
    EXPECT_EQ(m.caption, "전송실패");
    EXPECT_EQ(m.text.rfind("전송 실패 했습니다\n3번째 항목", 0), 0u) << m.text;
    EXPECT_NE(m.text.find(c.says), std::string::npos);
    EXPECT_NE(m.text.find(c.path), std::string::npos);
  }
}

TEST(DownloadTest, CancelStopsBetweenFramesWithoutCountOrApply) {
  Sign sign;
  FakePictures pics;
  int steps = 0;
  const Progress p{.begin = {}, .step = [&](int) { ++steps; }, .end = {}, .cancelled = [&] { return steps == 5; }};
  const Report r = Download(sign, List{Item(Kind::OneLine), Item(Kind::Animation, "gif:64x32x9")}, 1, p, pics);
  EXPECT_EQ(r.outcome, Outcome::kCancelled);
  EXPECT_EQ(sign.sent().size(), 2u + 5u);
  EXPECT_EQ(pics.renders(), 2);  // frames are drawn as they go out: the sent one, the next
  EXPECT_EQ(board::Get16(sign.memory() + board::kItemCount), 0u);
  EXPECT_EQ(MessageFor(r).caption, "전송취소");
}

}  // namespace
