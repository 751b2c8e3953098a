#include <gtest/gtest.h>

#include <filesystem>

#include "manager/encode/bmp_reader.h"
#include "manager/encode/import_checks.h"
#include "tests/encode/picture_builders.h"

using namespace encode;
using encode_test::BmpOptions;
using encode_test::MakeBmp;
using encode_test::MakeBmp24;
using encode_test::Rgb;
using Bytes = std::vector<std::uint8_t>;

namespace {

Planes PlanesOf(const Bytes& file) {
  const auto bmp = ReadBmp(file);
  EXPECT_TRUE(bmp.has_value());
  return bmp ? BmpToPlanes(*bmp) : Planes{};
}

TEST(BmpPlanes, PureRedNineDotsFillsOneByteAndOneBit) {
  const Planes p = PlanesOf(MakeBmp24(9, 1, [](int, int) { return Rgb{255, 0, 0}; }));
  EXPECT_EQ(p.red, (Bytes{0xFF, 0x80}));
  EXPECT_EQ(p.green, (Bytes{0x00, 0x00}));
}

TEST(BmpPlanes, ThresholdIsAboveHundredPerChannelBlueIgnored) {
  const Planes p = PlanesOf(MakeBmp24(4, 1, [](int x, int) {
    const Rgb c[] = {{101, 100, 255}, {100, 101, 255}, {255, 255, 255}, {100, 100, 255}};
    return c[x];
  }));
  EXPECT_EQ(p.red, Bytes{0b1010'0000});
  EXPECT_EQ(p.green, Bytes{0b0110'0000});
}

TEST(BmpPlanes, RowsRunTopDownWhateverTheStoredOrder) {
  // Top row red, bottom row green, stored bottom-up and top-down.
  const auto colour = [](int, int y) { return y == 0 ? 0xFF0000u : 0x00FF00u; };
  for (bool topDown : {false, true}) {
    BmpOptions o;
    o.width = 3;
    o.height = 2;
    o.topDown = topDown;
    const Planes p = PlanesOf(MakeBmp(o, colour));
    EXPECT_EQ(p.red, (Bytes{0xE0, 0x00})) << topDown;
    EXPECT_EQ(p.green, (Bytes{0x00, 0xE0})) << topDown;
  }
}

TEST(BmpPlanes, OneDotAndEightHundredDotRows) {
  const Planes one = PlanesOf(MakeBmp24(1, 2, [](int, int) { return Rgb{255, 255, 0}; }));
  EXPECT_EQ(one.red, (Bytes{0x80, 0x80}));
  EXPECT_EQ(one.green, (Bytes{0x80, 0x80}));

  const Planes wide = PlanesOf(MakeBmp24(800, 1, [](int x, int) {
    return x == 799 ? Rgb{255, 0, 0} : Rgb{0, 255, 0};
  }));
  ASSERT_EQ(wide.red.size(), 100u);
  EXPECT_EQ(wide.red[99], 0x01);
  EXPECT_EQ(wide.green[99], 0xFE);
  EXPECT_EQ(wide.green[0], 0xFF);
}

TEST(BmpPlanes, PaletteDepthsLookUpTheirColours) {
  const std::vector<Rgb> palette = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {255, 255, 255}};
  for (int bpp : {1, 4, 8}) {
    BmpOptions o;
    o.width = 10;
    o.height = 1;
    o.bitsPerPixel = bpp;
    o.palette = palette;
    const int colours = bpp == 1 ? 2 : 4;
    const Planes p =
        PlanesOf(MakeBmp(o, [&](int x, int) { return static_cast<std::uint32_t>(x % colours); }));
    if (bpp == 1) {  // black, red, black, red ...
      EXPECT_EQ(p.red, (Bytes{0x55, 0x40}));
      EXPECT_EQ(p.green, (Bytes{0x00, 0x00}));
    } else {  // black, red, green, white, black ...
      EXPECT_EQ(p.red, (Bytes{0x55, 0x40})) << bpp;
      EXPECT_EQ(p.green, (Bytes{0x33, 0x00})) << bpp;
    }
  }
}

TEST(BmpPlanes, EightBitAllWhitePaletteLightsEveryDotOfBothPlanes) {
  BmpOptions o;
  o.width = 11;
  o.height = 2;
  o.bitsPerPixel = 8;
  o.palette.assign(256, Rgb{255, 255, 255});
  const Planes p =
      PlanesOf(MakeBmp(o, [](int x, int y) { return static_cast<std::uint32_t>(x * 20 + y); }));
  EXPECT_EQ(p.red, (Bytes{0xFF, 0xE0, 0xFF, 0xE0}));
  EXPECT_EQ(p.green, p.red);
}

TEST(BmpPlanes, PaletteFollowsTheInformationHeaderNotOffset54) {
  // A 124-byte header puts the colour table at 138; reading it at 54 would see zeros.
  BmpOptions o;
  o.width = 2;
  o.height = 1;
  o.bitsPerPixel = 8;
  o.infoSize = 124;
  o.palette = {{0, 0, 0}, {255, 0, 0}};
  o.coloursUsed = 2;
  const Planes p = PlanesOf(MakeBmp(o, [](int x, int) { return static_cast<std::uint32_t>(x); }));
  EXPECT_EQ(p.red, Bytes{0x40});
}

TEST(BmpPlanes, SixteenBitDefaultsTo555AndHonoursBitFields) {
  // 5-5-5: red 13/31 scales to 107 (lit), 12/31 to 99 (dark).
  BmpOptions o;
  o.width = 3;
  o.height = 1;
  o.bitsPerPixel = 16;
  const std::uint32_t plain[] = {13u << 10, 12u << 10, 31u << 5};
  Planes p = PlanesOf(MakeBmp(o, [&](int x, int) { return plain[x]; }));
  EXPECT_EQ(p.red, Bytes{0x80});
  EXPECT_EQ(p.green, Bytes{0x20});

  // 5-6-5 masks: green 26/63 scales to 105 (lit), 25/63 to 101 (lit), 24/63 to 97.
  o.compression = 3;
  o.masks = {0xF800, 0x07E0, 0x001F};
  const std::uint32_t fields[] = {26u << 5, 24u << 5, 31u << 11};
  p = PlanesOf(MakeBmp(o, [&](int x, int) { return fields[x]; }));
  EXPECT_EQ(p.green, Bytes{0x80});
  EXPECT_EQ(p.red, Bytes{0x20});
}

TEST(BmpPlanes, ThirtyTwoBitReadsBlueGreenRedBytesOrItsMasks) {
  BmpOptions o;
  o.width = 2;
  o.height = 1;
  o.bitsPerPixel = 32;
  Planes p = PlanesOf(MakeBmp(o, [](int x, int) { return x == 0 ? 0xFFFF0000u : 0x0000FF00u; }));
  EXPECT_EQ(p.red, Bytes{0x80});
  EXPECT_EQ(p.green, Bytes{0x40});
  // Masks in an unusual order: red in the low byte.
  o.compression = 3;
  o.infoSize = 108;
  o.masks = {0x000000FF, 0x0000FF00, 0x00FF0000};
  p = PlanesOf(MakeBmp(o, [](int x, int) { return x == 0 ? 0x000000FFu : 0x00FF0000u; }));
  EXPECT_EQ(p.red, Bytes{0x80});
  EXPECT_EQ(p.green, Bytes{0x00});
}

TEST(BmpReader, RefusesWhatItCannotReadWithinTheFile) {
  const Bytes good = MakeBmp24(5, 3, [](int, int) { return Rgb{255, 0, 0}; });
  ASSERT_TRUE(ReadBmp(good));

  Bytes notBm = good;
  notBm[0] = 'X';
  EXPECT_FALSE(ReadBmp(notBm));
  // One byte short of the last row.
  EXPECT_FALSE(ReadBmp(std::span(good).first(good.size() - 1)));
  // A header that claims more rows than the file holds.
  Bytes lying = good;
  lying[22] = 200;
  EXPECT_FALSE(ReadBmp(lying));
  // A pixel offset past the end.
  Bytes far = good;
  far[13] = 0x40;
  EXPECT_FALSE(ReadBmp(far));
  // Cut inside the headers, at every length.
  for (std::size_t n = 0; n < 54; ++n) EXPECT_FALSE(ReadBmp(std::span(good).first(n))) << n;
  // Width zero or negative, height zero.
  for (int at : {18, 22}) {
    Bytes zero = good;
    zero[at] = 0;
    EXPECT_FALSE(ReadBmp(zero)) << at;
  }
  Bytes negativeWidth = good;
  negativeWidth[21] = 0xFF;
  EXPECT_FALSE(ReadBmp(negativeWidth));

  BmpOptions rle;
  rle.bitsPerPixel = 8;
  rle.compression = 1;
  EXPECT_FALSE(ReadBmp(MakeBmp(rle, [](int, int) { return 0u; })));
  BmpOptions core;  // a 12-byte OS/2 header is not taken
  core.infoSize = 12;
  EXPECT_FALSE(ReadBmp(MakeBmp(core, [](int, int) { return 0u; })));
}

TEST(BmpReader, HugePictureHasASizeButIsNotRead) {
  BmpOptions o;
  o.bitsPerPixel = 1;
  o.palette = {{0, 0, 0}, {255, 255, 255}};
  Bytes file = MakeBmp(o, [](int, int) { return 0u; });
  const std::uint32_t width = static_cast<std::uint32_t>(kMaxBmpPixels) + 1;
  for (int i = 0; i < 4; ++i) file[18 + i] = static_cast<std::uint8_t>(width >> (8 * i));
  file.resize(file.size() - 4 + (width + 31) / 32 * 4, 0);
  const auto size = ReadBmpSize(file);
  ASSERT_TRUE(size);
  EXPECT_EQ(size->width, static_cast<int>(width));
  EXPECT_FALSE(ReadBmp(file));
}

TEST(BmpReader, PaletteCutWhereTheRowsBegin) {
  // The header claims 256 colours but the rows start after two: the table stops there.
  BmpOptions o;
  o.width = 2;
  o.height = 1;
  o.bitsPerPixel = 8;
  o.coloursUsed = 2;
  o.palette = {{0, 0, 0}, {255, 0, 0}};
  Bytes file = MakeBmp(o, [](int x, int) { return static_cast<std::uint32_t>(x); });
  file[46] = 0;  // colours used: 0 = all 256
  const auto bmp = ReadBmp(file);
  ASSERT_TRUE(bmp);
  EXPECT_EQ(bmp->palette[1].red, 255);
  EXPECT_EQ(bmp->palette[2].red, 0);
  EXPECT_EQ(BmpToPlanes(*bmp).red, Bytes{0x40});
}

class BitmapFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() / ("encode_bmp_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string Put(const std::string& name, const Bytes& b) {
    const std::string path = (dir_ / name).string();
    encode_test::WriteFile(path, b);
    return path;
  }
  std::filesystem::path dir_;
};

TEST_F(BitmapFiles, SizeLimitsDependOnHowTheFileWasOpened) {
  const auto blank = [](int, int) { return Rgb{}; };
  const std::string ok = Put("ok.bmp", MakeBmp24(800, 160, blank));
  const std::string wide = Put("wide.bmp", MakeBmp24(801, 1, blank));
  const std::string high = Put("high.bmp", MakeBmp24(1, 161, blank));
  const std::string mid = Put("mid.bmp", MakeBmp24(501, 161, blank));
  EXPECT_EQ(CheckBitmapFile(ok, BitmapOpen::New), ImportResult::Ok);
  EXPECT_EQ(CheckBitmapFile(wide, BitmapOpen::New), ImportResult::TooWide);
  EXPECT_EQ(CheckBitmapFile(high, BitmapOpen::New), ImportResult::TooHigh);
  EXPECT_EQ(CheckBitmapFile(ok, BitmapOpen::Reopened), ImportResult::TooWideReopened);
  EXPECT_EQ(CheckBitmapFile(mid, BitmapOpen::New), ImportResult::TooHigh);
  EXPECT_EQ(CheckBitmapFile(mid, BitmapOpen::Reopened), ImportResult::TooWideReopened);
  EXPECT_EQ(CheckBitmapFile(Put("text.bmp", Bytes{'h', 'i'}), BitmapOpen::New),
            ImportResult::NotBmp);
  EXPECT_EQ(CheckBitmapFile((dir_ / "gone.bmp").string(), BitmapOpen::New), ImportResult::NotBmp);
  EXPECT_TRUE(ClearsPath(ImportResult::TooHigh, BitmapOpen::New));
  EXPECT_FALSE(ClearsPath(ImportResult::TooHigh, BitmapOpen::Reopened));
  EXPECT_FALSE(ClearsPath(ImportResult::Ok, BitmapOpen::New));
}

TEST_F(BitmapFiles, KoreanPathIsOpenedThroughUtf8) {
  // "그림.bmp" as the item stores it (CP949).
  const std::string cp949 = "\xB1\xD7\xB8\xB2.bmp";
  Put("그림.bmp", MakeBmp24(2, 1, [](int, int) { return Rgb{255, 0, 0}; }));
  const auto bmp = ReadBmpFile((dir_.string() + "/") + cp949);
  ASSERT_TRUE(bmp);
  EXPECT_EQ(BmpToPlanes(*bmp).red, Bytes{0xC0});
}

TEST(ImportMessages, EachRefusalHasItsTextAndCaption) {
  const std::pair<ImportResult, ImportMessage> expected[] = {
      {ImportResult::NotBmp, {"bmp파일이 아닙니다.", "bmp파일만 가능"}},
      {ImportResult::TooWide, {"그림의 가로크기는 최대 800 입니다", "가로사이즈 초과"}},
      {ImportResult::TooWideReopened, {"그림의 가로크기는 최대 500 입니다", "가로사이즈 초과"}},
      {ImportResult::TooHigh, {"그림의 세로크기는 최대 160 입니다", "세로사이즈 초과"}},
      {ImportResult::NotGifName, {"GIF파일이 아닙니다", "GIF파일아님"}},
      {ImportResult::GifUnreadable, {"파일을 오픈할수 없습니다", "파일오픈실패"}},
      {ImportResult::NoPicture, {"그림이 없습니다", "그림없음"}},
  };
  for (const auto& [r, m] : expected) {
    EXPECT_EQ(MessageFor(r).text, m.text);
    EXPECT_EQ(MessageFor(r).caption, m.caption);
  }
  EXPECT_TRUE(MessageFor(ImportResult::Ok).text.empty());
}

TEST(ImportMessages, GifNameIsJudgedByItsLastExtension) {
  EXPECT_EQ(CheckGifName("/a/b.GIF"), ImportResult::Ok);
  EXPECT_EQ(CheckGifName("b.gif"), ImportResult::Ok);
  EXPECT_EQ(CheckGifName("b.gif.bmp"), ImportResult::NotGifName);
  EXPECT_EQ(CheckGifName("dir.gif/b"), ImportResult::NotGifName);
  EXPECT_EQ(CheckGifName("gif"), ImportResult::NotGifName);
  // A trail byte that reads as 'G' after a lead byte is not an extension letter.
  EXPECT_EQ(CheckGifName("a.\xB0GIF"), ImportResult::NotGifName);
}

}  // namespace
