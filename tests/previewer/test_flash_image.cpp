#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "preview_builder.h"
#include "previewer/board_geometry.h"
#include "previewer/flash_image.h"
#include "previewer/item_loader.h"

namespace fs = std::filesystem;
using testing_preview::PreviewBuilder;

namespace {

fs::path TempPath(const std::string& name) {
  return fs::temp_directory_path() / ("brellion-flash-" + std::to_string(::getpid()) + "-" + name);
}

}  // namespace

TEST(FlashImage, ShortFileReadsZerosPastItsEnd) {
  const fs::path path = TempPath("short");
  {
    std::ofstream out(path, std::ios::binary);
    for (int i = 0; i < 100; ++i) out.put(static_cast<char>(i + 1));
  }
  FlashImage image;
  ASSERT_TRUE(image.Open(path.string()));
  std::uint8_t buf[8];
  std::fill(std::begin(buf), std::end(buf), 0xAA);
  image.Read(96, buf, 8);  // four bytes inside, four past the end
  EXPECT_EQ(std::vector<int>(buf, buf + 8), (std::vector<int>{97, 98, 99, 100, 0, 0, 0, 0}));
  EXPECT_EQ(image.Byte(0x60000), 0);
  EXPECT_EQ(image.Get16(98), 99 * 256 + 100);
  fs::remove(path);
}

TEST(FlashImage, ReadsBeyondTheBoardMemoryAreZeroWhateverTheFileHolds) {
  const fs::path path = TempPath("long");
  PreviewBuilder b(6, 1);
  ASSERT_TRUE(b.WriteFile(path.string(), board::kMemorySize + 4096));
  {
    std::fstream f(path, std::ios::binary | std::ios::in | std::ios::out);
    f.seekp(board::kMemorySize - 2);
    f.write("\x11\x22\x33\x44", 4);
  }
  FlashImage image;
  ASSERT_TRUE(image.Open(path.string()));
  std::uint8_t buf[4] = {9, 9, 9, 9};
  image.Read(board::kMemorySize - 2, buf, 4);
  EXPECT_EQ(buf[0], 0x11);
  EXPECT_EQ(buf[1], 0x22);
  EXPECT_EQ(buf[2], 0);
  EXPECT_EQ(buf[3], 0);
  image.Read(0xFFFFFFFFFFull, buf, 4);
  EXPECT_EQ(buf[0] | buf[1] | buf[2] | buf[3], 0);
  fs::remove(path);
}

TEST(FlashImage, MissingFileDoesNotOpenAndReadsZeros) {
  FlashImage image;
  EXPECT_FALSE(image.Open(TempPath("absent").string()));
  EXPECT_FALSE(image.isOpen());
  EXPECT_FALSE(image.Open(fs::temp_directory_path().string()));  // a folder is no image
  EXPECT_EQ(image.Byte(board::kWidth), 0);
}

TEST(FlashImage, MemorySegmentsOverlapLaterWins) {
  FlashImage image;
  image.OpenMemory({{10, {1, 2, 3, 4}}, {12, {7}}});
  std::uint8_t buf[6];
  image.Read(9, buf, 6);
  EXPECT_EQ(std::vector<int>(buf, buf + 6), (std::vector<int>{0, 1, 2, 7, 4, 0}));
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
    EXPECT_EQ(g.modules, c.modules) << c.width << "/" << c.tier;
    EXPECT_EQ(g.width, c.dots) << c.width << "/" << c.tier;
    EXPECT_EQ(g.halfWidth, c.dots / 2);
    EXPECT_EQ(g.rows, c.rows) << c.width << "/" << c.tier;
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
  ItemRecord& two = b.Add(ItemKind::TwoLine);
  PreviewBuilder::SetText(two.body.textA, two.body.attrA, "up", 0x40);
  PreviewBuilder::SetText(two.body.textB, two.body.attrB, "down", 0x80);
  ItemRecord& clock = b.Add(ItemKind::DateTime);
  clock.body.textA[0] = 'x';  // never sent for a clock, and not read
  FlashImage image;
  b.Load(image);

  LoadedItem item;
  ASSERT_EQ(LoadItem(image, 3, 0, item), LoadResult::Loaded);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(item.oneLine.text.data())), "first");
  ASSERT_EQ(LoadItem(image, 3, 1, item), LoadResult::Loaded);
  EXPECT_EQ(item.header.kind(), 1);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(item.lower.text.data())), "down");
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
