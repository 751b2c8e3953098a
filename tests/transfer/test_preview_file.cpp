#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "manager/transfer/download.h"
#include "manager/transfer/preview_file.h"
#include "shared/board_memory.h"
#include "shared/cp949.h"
#include "tests/encode/fake_pictures.h"
#include "tests/fakes/sim_sign_link.h"

using namespace transfer;
using encode_test::FakePictures;
using Bytes = std::vector<std::uint8_t>;

namespace {

item::ItemRecord Item(item::ItemKind kind, const std::string& path = "", std::uint8_t mark = 0) {
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

  PreviewReport Write(const std::vector<item::ItemRecord>& list, PreviewSettings s = {}) {
    PreviewProgress p{.begin = [this](int t) { begun_ = t; }, .step = [this] { ++steps_; }, .end = {}};
    steps_ = 0;
    return WritePreview(path_, list, s, p, pics_);
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
  FakePictures pics_;
  int begun_ = -1, steps_ = 0;
};

TEST_F(PreviewFileTest, FirstBitmapLiesAt4A0000AndTheSettingsAndCountAreWritten) {
  const PreviewReport r = Write({Item(item::ItemKind::Bitmap, "bmp:16x16"),
                                 Item(item::ItemKind::Bitmap, "bmp:16x16")},
                                {.width = 12, .rowsCode = 2, .connection = 1});
  ASSERT_TRUE(r.written);
  EXPECT_EQ(std::filesystem::file_size(path_), board::kMemorySize);
  EXPECT_EQ(Read(board::HeaderAddress(0) + 21, 4), (Bytes{0x00, 0x4A, 0x00, 0x00}));
  EXPECT_EQ(Read(board::HeaderAddress(1) + 21, 4), (Bytes{0x00, 0x4A, 0x00, 0x40}));
  const encode::Planes p = FakePictures::Numbered(16, 16, 0);
  EXPECT_EQ(Read(0x4A0000, 32), p.red);
  EXPECT_EQ(Read(0x4A0020, 32), p.green);
  EXPECT_EQ(Read(board::kWidth, 2), (Bytes{12, 2}));
  EXPECT_EQ(Read(board::kItemCount, 2), (Bytes{0, 2}));
  EXPECT_EQ(Read(board::kConnection, 1), (Bytes{1}));
  // Sparse: the 128 MiB are a hole but for the pages written.
  struct stat st {};
  ASSERT_EQ(::stat(path_.c_str(), &st), 0);
  EXPECT_LT(static_cast<std::uint64_t>(st.st_blocks) * 512u, 1u << 20);
}

TEST_F(PreviewFileTest, StepsPerKindAndTheTotalIsTheStepsTaken) {
  struct Case {
    item::ItemKind kind;
    const char* path;
    int steps;
  };
  const Case cases[] = {{item::ItemKind::OneLine, "", 1},      {item::ItemKind::TwoLine, "", 1},
                        {item::ItemKind::TitleSentence, "", 1}, {item::ItemKind::Bitmap, "bmp:8x8", 1},
                        {item::ItemKind::Bitmap, "gone", 1},     {item::ItemKind::Animation, "gif:8x8x4", 4},
                        {item::ItemKind::Animation, "gone", 0},  {item::ItemKind::DateTime, "", 1},
                        {item::ItemKind::DDay, "", 1},           {item::ItemKind::Temperature, "", 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.kind));
    const PreviewReport r = Write({Item(c.kind, c.path)});
    EXPECT_EQ(steps_, c.steps);
    EXPECT_EQ(begun_, c.steps);
    // Every kind writes its header, kind 7 included.
    EXPECT_EQ(Read(board::HeaderAddress(0), 1), Bytes{static_cast<std::uint8_t>(c.kind)});
    EXPECT_EQ(r.items, 1);
  }
}

TEST_F(PreviewFileTest, AShorterListKeepsTheEarlierSlotsWithTheNewCount) {
  ASSERT_TRUE(Write({Item(item::ItemKind::OneLine, "", 1), Item(item::ItemKind::TwoLine, "", 2),
                     Item(item::ItemKind::DDay, "", 3)})
                  .written);
  ASSERT_TRUE(Write({Item(item::ItemKind::DateTime)}).written);
  EXPECT_EQ(Read(board::kItemCount, 2), (Bytes{0, 1}));
  EXPECT_EQ(Read(board::HeaderAddress(0), 1), Bytes{5});
  EXPECT_EQ(Read(board::HeaderAddress(1), 1), Bytes{1});
  EXPECT_EQ(Read(board::HeaderAddress(2), 1), Bytes{6});
  EXPECT_EQ(Read(board::BodyAddress(2) + 2048, 1), Bytes{0xA4});  // item 2's attributes
  EXPECT_EQ(Read(board::BodyAddress(0) + 2048, 1), Bytes{0xA2});  // item 0's, not rewritten
}

TEST_F(PreviewFileTest, AFileThatCannotBeMadeIsReported) {
  path_ = (dir_ / "no" / "such" / "preview.tmp").string();
  EXPECT_FALSE(Write({Item(item::ItemKind::OneLine)}).written);
}

// The sign's memory after a download and the preview file agree on every byte the
// download wrote.
TEST_F(PreviewFileTest, HoldsWhatTheDownloadPutsIntoTheSign) {
  const std::vector<item::ItemRecord> list = {
      Item(item::ItemKind::OneLine, "", 1),      Item(item::ItemKind::Bitmap, "bmp:100x16"),
      Item(item::ItemKind::TwoLine, "", 2),      Item(item::ItemKind::Animation, "gif:64x32x5"),
      Item(item::ItemKind::TitleSentence, "", 3), Item(item::ItemKind::DateTime),
      Item(item::ItemKind::DDay, "", 4),          Item(item::ItemKind::Temperature),
      Item(item::ItemKind::Bitmap, "bmp:800x160")};
  fakes::SimSignLink sign;
  sign.memory()[board::kRowsCode] = 1;
  ASSERT_EQ(Download(sign, list, 1, {}, pics_).outcome, Outcome::kDone);
  ASSERT_TRUE(Write(list).written);
  std::size_t compared = 0;
  for (const signlink::Frame& f : sign.sent()) {
    if (f[3] != signlink::kCmdMemoryWrite) continue;
    const std::uint32_t at = board::Get32(&f[4]);
    const std::size_t n = board::Get16(&f[8]);
    EXPECT_EQ(Read(at, n), Bytes(f.begin() + 10, f.begin() + 10 + static_cast<long>(n))) << std::hex << at;
    compared += n;
  }
  EXPECT_GT(compared, 40000u);
}

}  // namespace
