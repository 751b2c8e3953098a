#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "sign/board_geometry.h"
#include "sign/flash_image.h"
#include "sign/item_loader.h"
#include "tests/support/preview_builder.h"
#include "tests/support/test_fonts.h"

using namespace sign;

namespace fs = std::filesystem;
using sign_test::PreviewBuilder;
using sign_test::TempDir;

namespace {

std::vector<int> Bytes(const FlashImage& image, std::uint64_t address, std::size_t n) {
  std::vector<std::uint8_t> buf(n, 0xAA);
  image.Read(address, buf.data(), n);
  return {buf.begin(), buf.end()};
}

}  // namespace

TEST(FlashImage, ShortFileReadsZerosPastItsEnd) {
  const TempDir dir("brellion-flash");
  const std::string path = dir.Path("short");
  {
    std::ofstream out(path, std::ios::binary);
    for (int i = 0; i < 100; ++i) out.put(static_cast<char>(i + 1));
  }
  FlashImage image;
  ASSERT_TRUE(image.Open(path));
  // Four bytes inside, four past the end.
  EXPECT_EQ(Bytes(image, 96, 8), (std::vector<int>{97, 98, 99, 100, 0, 0, 0, 0}));
  EXPECT_EQ(image.Byte(0x60000), 0);
  EXPECT_EQ(image.Get16(98), 99 * 256 + 100);
}

TEST(FlashImage, ReadsBeyondTheBoardMemoryAreZeroWhateverTheFileHolds) {
  const TempDir dir("brellion-flash");
  const std::string path = dir.Path("long");
  ASSERT_TRUE(PreviewBuilder(6, 1).WriteFile(path, board::kMemorySize + 4096));
  std::fstream(path, std::ios::binary | std::ios::in | std::ios::out)
      .seekp(board::kMemorySize - 2)
      .write("\x11\x22\x33\x44", 4);
  FlashImage image;
  ASSERT_TRUE(image.Open(path));
  EXPECT_EQ(Bytes(image, board::kMemorySize - 2, 4), (std::vector<int>{0x11, 0x22, 0, 0}));
  EXPECT_EQ(Bytes(image, 0xFFFFFFFFFFull, 4), (std::vector<int>{0, 0, 0, 0}));
}

TEST(FlashImage, MissingFileDoesNotOpenAndReadsZeros) {
  FlashImage image;
  EXPECT_FALSE(image.Open(TempDir("brellion-flash").Path("absent")));
  EXPECT_FALSE(image.isOpen());
  EXPECT_FALSE(image.Open(fs::temp_directory_path().string()));  // a folder is no image
  EXPECT_EQ(image.Byte(board::kWidth), 0);
}

TEST(FlashImage, MemorySegmentsOverlapLaterWins) {
  FlashImage image;
  image.OpenMemory({{10, {1, 2, 3, 4}}, {12, {7}}});
  EXPECT_EQ(Bytes(image, 9, 6), (std::vector<int>{0, 1, 2, 7, 4, 0}));
}

TEST(BoardGeometry, ReplacesOutOfRangeSettings) {
  struct Case {
    int width, tier, modules, dots, rows;
  } cases[] = {
      {64, 1, 6, 96, 16},   {24, 2, 24, 384, 32},   {25, 2, 6, 96, 32}, {63, 1, 63, 1008, 16},
      {2, 2, 2, 32, 32},    {1, 1, 6, 96, 16},      {0, 2, 6, 96, 32},  {20, 0, 20, 320, 16},
      {20, 3, 20, 320, 16}, {30, 255, 30, 480, 16},
  };
  for (const Case& c : cases) {
    const BoardGeometry g = MakeGeometry(c.width, c.tier, 0, false);
    EXPECT_EQ(std::vector<int>({g.modules, g.width, g.rows}),
              std::vector<int>({c.modules, c.dots, c.rows}))
        << c.width << "/" << c.tier;
  }
}

TEST(BoardGeometry, ReadsCountAndConnectionFromTheImage) {
  FlashImage image;
  image.OpenMemory({{board::kWidth, {10, 2}}, {board::kItemCount, {0x01, 0x02, 0, 7}}});
  const BoardGeometry g = DecodeGeometry(image);
  EXPECT_EQ(g.itemCount, 258);
  EXPECT_TRUE(g.connection);
  EXPECT_EQ(g.width, 160);
  EXPECT_TRUE(g.twoTier());
}

TEST(ItemLoader, ReadsThePagesOfTheKindOnly) {
  PreviewBuilder b(6, 1);
  b.OneLine("first", 16, 0, 0, 15);
  b.Text(item::ItemKind::TwoLine, "up", 0x40, "down", 0x80);
  b.Add(item::ItemKind::DateTime).body.textA[0] = 'x';  // never sent for a clock, and not read
  FlashImage image;
  b.Load(image);
  auto text = [](const TextPage& page) { return reinterpret_cast<const char*>(page.text.data()); };

  LoadedItem item;
  ASSERT_EQ(LoadItem(image, 3, 0, item), LoadResult::Loaded);
  EXPECT_STREQ(text(item.oneLine), "first");
  ASSERT_EQ(LoadItem(image, 3, 1, item), LoadResult::Loaded);
  EXPECT_EQ(item.header.kind(), 1);
  EXPECT_STREQ(text(item.lower), "down");
  EXPECT_EQ(item.upper.attr[0], 0x40);
  item.oneLine.text.fill(0);
  ASSERT_EQ(LoadItem(image, 3, 2, item), LoadResult::Loaded);
  EXPECT_EQ(item.oneLine.text[0], 0);

  item.header.bytes.fill(0xEE);
  EXPECT_EQ(LoadItem(image, 3, 3, item), LoadResult::PastEnd);
  EXPECT_EQ(item.header[0], 0xEE);  // nothing loaded

  const LookAhead la = ReadLookAhead(image, 1);
  EXPECT_EQ(la.kind, 1);
  EXPECT_EQ(la.byte1, 0);
}
