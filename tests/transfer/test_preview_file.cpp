// The preview file: the same bytes the download puts into the sign, in a sparse 128 MiB
// file, with the settings and count, and progress steps per kind.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "manager/transfer/download.h"
#include "manager/transfer/preview_file.h"
#include "shared/board_memory.h"
#include "shared/cp949.h"
#include "tests/encode/fake_pictures.h"
#include "tests/fakes/sim_sign_link.h"

using namespace transfer;
using Bytes = std::vector<std::uint8_t>;
using Kind = item::ItemKind;
using List = std::vector<item::ItemRecord>;

namespace {

item::ItemRecord Item(Kind kind, const std::string& path = "", std::uint8_t mark = 0) {
  item::ItemRecord r;
  r.header.setKind(kind);
  text::WriteTextQuarter(r.body.textA, path);
  r.body.attrA.fill(static_cast<std::uint8_t>(0xA1 + mark));
  r.body.textB.fill(0xB2);
  r.body.attrB.fill(0xC3);
  return r;
}

class PreviewFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() / ("preview_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
    path_ = (dir_ / "preview.tmp").string();
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  PreviewReport Write(const List& list, PreviewSettings s = {}) {
    steps_ = 0;
    return WritePreview(
        path_, list, s,
        {.begin = [this](int t) { begun_ = t; }, .step = [this] { ++steps_; }, .end = {}}, pics_);
  }
  Bytes Read(std::uint32_t at, std::size_t n) const {
    std::ifstream f(path_, std::ios::binary);
    f.seekg(at);
    Bytes out(n);
    f.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(n));
    return out;
  }
  std::filesystem::path dir_;
  std::string path_;
  encode_test::FakePictures pics_;
  int begun_ = -1, steps_ = 0;
};

TEST_F(PreviewFileTest, HoldsWhatTheDownloadPutsIntoTheSignInASparseFile) {
  const List list = {Item(Kind::OneLine, "", 1),       Item(Kind::Bitmap, "bmp:100x16"),
                     Item(Kind::TwoLine, "", 2),       Item(Kind::Animation, "gif:64x32x5"),
                     Item(Kind::TitleSentence, "", 3), Item(Kind::DateTime),
                     Item(Kind::DDay, "", 4),          Item(Kind::Temperature),
                     Item(Kind::Bitmap, "bmp:800x160")};
  fakes::SimSignLink sign;
  sign.memory()[board::kRowsCode] = 1;
  ASSERT_EQ(Download(sign, list, 1, {}, pics_).outcome, Outcome::kDone);
  ASSERT_TRUE(Write(list, {.width = 12, .rowsCode = 2, .connection = 1}).written);
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
  EXPECT_EQ(Read(board::kItemCount, 2), (Bytes{0, 9}));
  EXPECT_EQ(Read(board::kConnection, 1), (Bytes{1}));
  struct stat st {};  // a hole but for the pages written
  ASSERT_EQ(::stat(path_.c_str(), &st), 0);
  EXPECT_LT(static_cast<std::uint64_t>(st.st_blocks) * 512u, 1u << 20);
}

TEST_F(PreviewFileTest, StepsPerKindAndTheTotalIsTheStepsTaken) {
  const std::tuple<Kind, const char*, int> cases[] = {
      {Kind::OneLine, "", 1},       {Kind::TwoLine, "", 1},    {Kind::TitleSentence, "", 1},
      {Kind::Bitmap, "bmp:8x8", 1}, {Kind::Bitmap, "gone", 1}, {Kind::Animation, "gif:8x8x4", 4},
      {Kind::Animation, "gone", 0}, {Kind::DateTime, "", 1},   {Kind::DDay, "", 1},
      {Kind::Temperature, "", 0}};
  for (const auto& [kind, path, steps] : cases) {
    SCOPED_TRACE(static_cast<int>(kind));
    EXPECT_EQ(Write({Item(kind, path)}).items, 1);
    EXPECT_EQ(steps_, steps);
    EXPECT_EQ(begun_, steps);
    EXPECT_EQ(Read(board::HeaderAddress(0), 1), Bytes{static_cast<std::uint8_t>(kind)});
  }
}

TEST_F(PreviewFileTest, AShorterListKeepsTheEarlierSlotsWithTheNewCount) {
  ASSERT_TRUE(
      Write({Item(Kind::OneLine, "", 1), Item(Kind::TwoLine, "", 2), Item(Kind::DDay, "", 3)})
          .written);
  ASSERT_TRUE(Write({Item(Kind::DateTime)}).written);
  EXPECT_EQ(Read(board::kItemCount, 2), (Bytes{0, 1}));
  EXPECT_EQ(Read(board::HeaderAddress(0), 1), Bytes{5});
  EXPECT_EQ(Read(board::HeaderAddress(1), 1), Bytes{1});
  EXPECT_EQ(Read(board::HeaderAddress(2), 1), Bytes{6});
  EXPECT_EQ(Read(board::BodyAddress(2) + 2048, 1), Bytes{0xA4});  // item 2's attributes
  EXPECT_EQ(Read(board::BodyAddress(0) + 2048, 1), Bytes{0xA2});  // item 0's, not rewritten
  path_ = (dir_ / "no" / "such" / "preview.tmp").string();
  EXPECT_FALSE(Write({Item(Kind::OneLine)}).written);
}

}  // namespace
