#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>

#include "manager/editors/core/picture_items.h"
#include "shared/cp949.h"
#include "tests/support/picture_builders.h"
#include "tests/support/test_fonts.h"

using namespace editors;
using encode::ImportResult;
using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

namespace {

Bytes Bmp(int w, int h, encode_test::Rgb c) {
  return encode_test::MakeBmp24(w, h, [c](int, int) { return c; });
}

// Frame k is drawn in colour k % 3 (red, green, yellow), so the planes tell frames apart.
Bytes Gif(int w, int h, int frames) {
  encode_test::GifBuilder b(w, h, {{255, 0, 0}, {0, 255, 0}, {255, 255, 0}, {0, 0, 0}});
  for (int k = 0; k < frames; ++k) {
    b.Gce(10, 0).Image(0, 0, w, h, Bytes(std::size_t(w * h), std::uint8_t(k % 3)));
  }
  return b.Finish();
}

}  // namespace

// Stored bytes the editors cannot show read as a new item's choice, so a damaged record
// opens with valid lists; everything else comes back as it was built.
TEST(PictureItems, ReadBackKeepsValuesAndRepairsForeignCodes) {
  const BitmapValues bitmap{
      1, 4, 9, 800, 160, *text::Utf8ToCp949("C:\\그림\\a.bmp"), {23 * 60 + 59, 0}};
  const AnimationValues anim{3, 65535, 1, 255, "/x.gif", {1, 2}};
  const HoldTimeValues hold{true, 0, {600, 601}};
  const item::ItemRecord b = BuildBitmapItem(bitmap);
  EXPECT_EQ(ReadBitmapItem(b.header, b.body), bitmap);
  const item::ItemRecord a = BuildAnimationItem(anim);
  EXPECT_EQ(ReadAnimationItem(a.header, a.body), anim);
  EXPECT_EQ(ReadHoldTimeHeader(BuildHoldTimeHeader(hold), true), hold);

  item::ItemHeader damaged;
  damaged.setKind(item::ItemKind::Bitmap);
  using namespace item::hdr;
  const std::pair<int, int> foreign[] = {{kBitmapMode, 2}, {kSpeed, 5},   {kHold, 10},
                                         {kStartHour, 24}, {kEndHour, 7}, {kEndMinute, 60}};
  for (auto [at, v] : foreign) damaged[at] = std::uint8_t(v);
  const BitmapValues read = ReadBitmapItem(damaged, {});
  EXPECT_EQ(
      std::vector<int>({read.mode, read.speed, read.hold, ReadAnimationItem(damaged, {}).speed,
                        ReadHoldTimeHeader(damaged, false).hold}),
      std::vector<int>({0, 0, kDefaultHoldCode, 0, kDefaultHoldCode}));
  EXPECT_EQ(read.window, DisplayWindow{});
}

TEST(PictureItems, PathsAreStoredOnlyWhenCp949HoldsThemWhole) {
  const std::string longest = "/" + std::string(item::kMaxTextBytes - 1, 'a');
  const std::pair<std::string, ImportResult> rows[] = {
      {"/home/운영/그림.bmp", ImportResult::Ok},
      {longest, ImportResult::Ok},
      {longest + "b", ImportResult::PathTooLong},
      {"/" + std::string(2044, 'a') + "가", ImportResult::Ok},  // 2047 bytes in CP949
      {"/" + std::string(2045, 'a') + "가", ImportResult::PathTooLong},
      {"/home/\U0001F600.bmp", ImportResult::PathNotCp949},
      {"/home/똠방각하/\u0628.bmp", ImportResult::PathNotCp949},
  };
  for (const auto& [utf8, result] : rows) {
    const StoredPath p = PathForItem(utf8);
    EXPECT_EQ(p.result, result) << utf8.size();
    if (result != ImportResult::Ok) {
      EXPECT_TRUE(p.cp949.empty());
      continue;
    }
    EXPECT_EQ(text::Cp949ToUtf8(p.cp949), utf8);
    BitmapValues v;
    v.path = p.cp949;
    EXPECT_EQ(text::ReadTextQuarter(BuildBitmapItem(v).body.textA), p.cp949);  // kept whole
  }
}

// The size and name checks themselves are pinned with the readers; here: what an editor gets.
TEST(PictureItems, BitmapAndAnimationFiles) {
  const sign_test::TempDir dir("picture_items");
  // A file of these bytes in the folder; its path as an item stores it (CP949).
  const auto Write = [&dir](const std::string& utf8Name, const Bytes& bytes) {
    const fs::path p = dir.path / fs::u8path(utf8Name);
    encode_test::WriteFile(p.string(), bytes);
    return *text::Utf8ToCp949(p.string());
  };
  using encode::BitmapOpen;
  const BitmapFile wide = OpenBitmapFile(Write("wide.bmp", Bmp(801, 1, {})), BitmapOpen::New);
  EXPECT_EQ(std::tuple(wide.result, wide.planes.width), std::tuple(ImportResult::TooWide, 0));
  const BitmapFile white =
      OpenBitmapFile(Write("흰색.bmp", Bmp(9, 2, {255, 255, 255})), BitmapOpen::New);
  ASSERT_EQ(white.result, ImportResult::Ok);
  EXPECT_EQ(std::pair(white.width, white.height), std::pair(9, 2));
  EXPECT_EQ(white.planes.red, (Bytes{0xFF, 0x80, 0xFF, 0x80}));
  EXPECT_EQ(white.planes.green, white.planes.red);

  const std::tuple<const char*, Bytes, ImportResult, int> rows[] = {
      {"three.gif", Gif(6, 3, 3), ImportResult::Ok, 3},
      {"single.gif", Gif(6, 3, 1), ImportResult::Ok, 1},  // a one-frame animation
      {"most.gif", Gif(1, 1, 255), ImportResult::Ok, 255},
      {"many.gif", Gif(1, 1, 256), ImportResult::TooManyFrames, 0},
      {"gif.bmp", Gif(6, 3, 3), ImportResult::NotGifName, 0},
      {"picture.gif", Bmp(4, 4, {255, 0, 0}), ImportResult::GifUnreadable, 0},
  };
  for (const auto& [name, bytes, result, frames] : rows) {
    encode::GifDecoder gif;
    ASSERT_TRUE(gif.LoadBytes(Gif(2, 2, 2)));  // an earlier document never survives a refusal
    EXPECT_EQ(OpenAnimationFile(Write(name, bytes), gif), result) << name;
    EXPECT_EQ(gif.FrameCount(), frames) << name;
  }
}

TEST(PictureItems, PlayerWrapsAndNeverIndexesAnEmptyList) {
  encode::GifDecoder gif;
  FramePlayer player(gif);
  EXPECT_FALSE(player.Step().has_value());
  ASSERT_TRUE(gif.LoadBytes(Gif(8, 1, 3)));
  player.Restart();
  for (auto [red, green] : {std::pair{0xFF, 0x00}, {0x00, 0xFF}, {0xFF, 0xFF}, {0xFF, 0x00}}) {
    const std::optional<encode::Planes> p = player.Step();
    ASSERT_TRUE(p.has_value());
    EXPECT_EQ(p->red, Bytes{std::uint8_t(red)});
    EXPECT_EQ(p->green, Bytes{std::uint8_t(green)});
  }
  // A shorter animation loaded under a running player starts it over within its frames.
  ASSERT_TRUE(gif.LoadBytes(Gif(8, 1, 1)));
  EXPECT_TRUE(player.Step().has_value());
  EXPECT_EQ(player.NextFrame(), 0);
  gif.LoadBytes({});
  EXPECT_FALSE(player.Step().has_value());
}
