#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>

#include "sign/board_geometry.h"
#include "sign/flash_image.h"
#include "sign/item_loader.h"
#include "tests/support/preview_builder.h"
#include "tests/support/test_fonts.h"

using namespace sign;

namespace {

std::vector<int> Bytes(const FlashImage& image, std::uint64_t address, std::size_t n) {
  std::vector<std::uint8_t> buf(n, 0xAA);
  image.Read(address, buf.data(), n);
  return {buf.begin(), buf.end()};
}

}  // namespace

// Whatever the file holds, reads past its end, past the board memory or of a file that did
// not open give zeros.
TEST(FlashImage, ReadsOutsideTheFileOrTheBoardMemoryAreZero) {
  const sign_test::TempDir dir("brellion-flash");
  {
    std::ofstream out(dir.Path("short"), std::ios::binary);
    for (int i = 0; i < 100; ++i) out.put(static_cast<char>(i + 1));
  }
  FlashImage image;
  ASSERT_TRUE(image.Open(dir.Path("short")));
  EXPECT_EQ(Bytes(image, 96, 8), (std::vector<int>{97, 98, 99, 100, 0, 0, 0, 0}));

  ASSERT_TRUE(
      sign_test::PreviewBuilder(6, 1).WriteFile(dir.Path("long"), board::kMemorySize + 4096));
  std::fstream(dir.Path("long"), std::ios::binary | std::ios::in | std::ios::out)
      .seekp(board::kMemorySize - 2)
      .write("\x11\x22\x33\x44", 4);
  ASSERT_TRUE(image.Open(dir.Path("long")));
  EXPECT_EQ(Bytes(image, board::kMemorySize - 2, 4), (std::vector<int>{0x11, 0x22, 0, 0}));
  EXPECT_EQ(Bytes(image, 0xFFFFFFFFFFull, 4), (std::vector<int>{0, 0, 0, 0}));

  EXPECT_FALSE(image.Open(dir.Path("absent")));
  EXPECT_FALSE(image.isOpen());
  EXPECT_FALSE(image.Open(dir.path.string()));  // a folder is no image
  ASSERT_EQ(::mkfifo(dir.Path("fifo").c_str(), 0600), 0);
  EXPECT_FALSE(image.Open(dir.Path("fifo")));  // at once: nobody will ever write to it
  EXPECT_EQ(image.Byte(board::kWidth), 0);

  image.OpenMemory({{10, {1, 2, 3, 4}}, {12, {7}}});  // overlapping segments: the later wins
  EXPECT_EQ(Bytes(image, 9, 6), (std::vector<int>{0, 1, 2, 7, 4, 0}));
}

TEST(BoardGeometry, ReplacesOutOfRangeSettingsAndReadsTheImageUpToItsCount) {
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
  FlashImage image;
  image.OpenMemory({{board::kWidth, {10, 2}}, {board::kItemCount, {0x01, 0x02, 0, 7}}});
  const BoardGeometry g = DecodeGeometry(image);
  LoadedItem item;
  EXPECT_EQ(LoadItem(image, 258, 258, item), LoadResult::PastEnd);
  EXPECT_EQ(std::tuple(g.itemCount, g.connection, g.width, g.twoTier()),
            std::tuple(258, true, 160, true));
}
