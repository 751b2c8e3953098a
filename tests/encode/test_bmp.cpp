#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <functional>
#include <future>
#include <tuple>

#include "manager/encode/bmp_reader.h"
#include "manager/encode/gif_reader.h"
#include "manager/encode/import_checks.h"
#include "manager/encode/program_layout.h"
#include "tests/support/picture_builders.h"
#include "tests/support/test_fonts.h"

using namespace encode;
using encode_test::BmpOptions;
using encode_test::MakeBmp;
using encode_test::MakeBmp24;
using encode_test::Rgb;
using Bytes = std::vector<std::uint8_t>;

namespace {

using Pixel = std::function<std::uint32_t(int, int)>;
Pixel Row(std::vector<std::uint32_t> row) {
  return [row](int x, int) { return row[static_cast<std::size_t>(x)]; };
}
Pixel All(std::uint32_t v) {
  return [v](int, int) { return v; };
}
Pixel Mod(int n) {
  return [n](int x, int) { return static_cast<std::uint32_t>(x % n); };
}
Bytes With(Bytes b, std::size_t at, std::uint8_t v) {
  b[at] = v;
  return b;
}

TEST(BmpPlanes, DepthsHeadersRowOrderAndThreshold) {
  const Pixel redOverGreen = [](int, int y) { return y == 0 ? 0xFF0000u : 0x00FF00u; };
  struct Case {
    const char* what;
    BmpOptions o;
    Pixel pixel;
    Bytes red, green;
  };
  const std::vector<Rgb> white(256, {255, 255, 255});
  const std::vector<Rgb> black_red = {{0, 0, 0}, {255, 0, 0}};
  // 5-5-5: red 13/31 scales to 107 (lit), 12/31 to 99. 5-6-5: green 26/63 to 105, 24/63 to 97.
  // The 124-byte header puts the colour table at 138; read at 54 it would be zeros.
  // Plain 1-, 4- and 8-bit palettes and RLE: the ImageMagick fixtures.
  // clang-format off
  const Case cases[] = {
      {"9 red dots", {.width = 9}, All(0xFF0000), {0xFF, 0x80}, {0, 0}},
      {"above 100 a channel, blue ignored", {.width = 4},
       Row({0x6564FF, 0x6465FF, 0xFFFFFF, 0x6464FF}), {0b1010'0000}, {0b0110'0000}},
      {"bottom-up", {.width = 3, .height = 2}, redOverGreen, {0xE0, 0}, {0, 0xE0}},
      {"top-down", {.width = 3, .height = 2, .topDown = true}, redOverGreen, {0xE0, 0}, {0, 0xE0}},
      {"1-dot rows", {.height = 2}, All(0xFFFF00), {0x80, 0x80}, {0x80, 0x80}},
      {"800-dot row", {.width = 800}, [](int x, int) { return x == 799 ? 0xFF0000u : 0x00FF00u; },
       With(Bytes(100, 0), 99, 0x01), With(Bytes(100, 0xFF), 99, 0xFE)},
      {"8-bit all white", {.width = 11, .height = 2, .bitsPerPixel = 8, .palette = white},
       [](int x, int y) { return static_cast<std::uint32_t>(x * 20 + y); },
       {0xFF, 0xE0, 0xFF, 0xE0}, {0xFF, 0xE0, 0xFF, 0xE0}},
      {"palette after a 124-byte header",
       {.width = 2, .bitsPerPixel = 8, .infoSize = 124, .palette = black_red, .coloursUsed = 2},
       Mod(2), {0x40}, {0}},
      {"16-bit, 5-5-5 by default", {.width = 3, .bitsPerPixel = 16},
       Row({13u << 10, 12u << 10, 31u << 5}), {0x80}, {0x20}},
      {"16-bit 5-6-5 bit fields",
       {.width = 3, .bitsPerPixel = 16, .compression = 3, .masks = {0xF800, 0x07E0, 0x001F}},
       Row({26u << 5, 24u << 5, 31u << 11}), {0x20}, {0x80}},
      {"32-bit", {.width = 2, .bitsPerPixel = 32}, Row({0xFFFF0000, 0x0000FF00}), {0x80}, {0x40}},
      {"32-bit masks, red in the low byte",
       {.width = 2, .bitsPerPixel = 32, .infoSize = 108, .compression = 3,
        .masks = {0x000000FF, 0x0000FF00, 0x00FF0000}},
       Row({0x000000FF, 0x00FF0000}), {0x80}, {0}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto bmp = ReadBmp(MakeBmp(c.o, c.pixel));
    ASSERT_TRUE(bmp);
    const Planes p = BmpToPlanes(*bmp);
    EXPECT_EQ(p.red, c.red);
    EXPECT_EQ(p.green, c.green);
  }
}

TEST(BmpReader, RefusesWhatItCannotReadWithinTheFile) {
  const Bytes good = MakeBmp24(5, 3, [](int, int) { return Rgb{255, 0, 0}; });
  ASSERT_TRUE(ReadBmp(good));
  // One byte short of the last row, and cut inside the headers at every length.
  EXPECT_FALSE(ReadBmp(std::span(good).first(good.size() - 1)));
  for (std::size_t n = 0; n < 54; ++n) EXPECT_FALSE(ReadBmp(std::span(good).first(n))) << n;
  // Not "BM", 200 rows claimed, pixels past the end, width 0, height 0, negative width.
  for (auto [at, v] : {std::pair{0, 'X'}, {22, 200}, {13, 0x40}, {18, 0}, {22, 0}, {21, 0xFF}})
    EXPECT_FALSE(ReadBmp(With(good, at, static_cast<std::uint8_t>(v)))) << at;
  EXPECT_FALSE(ReadBmp(MakeBmp({.infoSize = 12}, All(0))));  // the OS/2 header is not taken
}

TEST(BmpReader, HugePictureHasASizeButIsNotRead) {
  Bytes file = MakeBmp({.bitsPerPixel = 1, .palette = {{0, 0, 0}, {255, 255, 255}}}, All(0));
  const std::uint32_t width = static_cast<std::uint32_t>(kMaxBmpPixels) + 1;
  for (int i = 0; i < 4; ++i) file[18 + i] = static_cast<std::uint8_t>(width >> (8 * i));
  file.resize(file.size() - 4 + (width + 31) / 32 * 4, 0);
  EXPECT_EQ(ReadBmpSize(file).value_or(BmpSize{}).width, static_cast<int>(width));
  EXPECT_FALSE(ReadBmp(file));
}

TEST(BmpReader, PaletteCutWhereTheRowsBegin) {
  // The header claims 256 colours but the rows start after two: the table stops there.
  Bytes file = MakeBmp(
      {.width = 2, .bitsPerPixel = 8, .palette = {{0, 0, 0}, {255, 0, 0}}, .coloursUsed = 2},
      Mod(2));
  file[46] = 0;  // colours used: 0 = all 256
  const auto bmp = ReadBmp(file);
  ASSERT_TRUE(bmp);
  EXPECT_EQ(bmp->palette[1].red + 256 * bmp->palette[2].red, 255);  // red, then black
  EXPECT_EQ(BmpToPlanes(*bmp).red, Bytes{0x40});
}

TEST(BitmapFiles, SizeLimitsDependOnHowTheFileWasOpenedAndKoreanPathsOpen) {
  const sign_test::TempDir dir("encode_bmp");
  const auto put = [&dir](const std::string& name, const Bytes& b) {
    return encode_test::WriteFile(dir.Path(name), b), dir.Path(name);
  };
  const auto blank = [](int, int) { return Rgb{}; };
  const std::string ok = put("ok.bmp", MakeBmp24(800, 160, blank)),
                    mid = put("mid.bmp", MakeBmp24(501, 161, blank));
  const std::tuple<std::string, BitmapOpen, ImportResult> cases[] = {
      {ok, BitmapOpen::New, ImportResult::Ok},
      {put("wide.bmp", MakeBmp24(801, 1, blank)), BitmapOpen::New, ImportResult::TooWide},
      {put("high.bmp", MakeBmp24(1, 161, blank)), BitmapOpen::New, ImportResult::TooHigh},
      {ok, BitmapOpen::Reopened, ImportResult::TooWideReopened},
      {mid, BitmapOpen::New, ImportResult::TooHigh},
      {mid, BitmapOpen::Reopened, ImportResult::TooWideReopened},
      {put("text.bmp", Bytes{'h', 'i'}), BitmapOpen::New, ImportResult::NotBmp},
      {dir.Path("gone.bmp"), BitmapOpen::New, ImportResult::NotBmp}};
  for (const auto& [path, open, result] : cases)
    EXPECT_EQ(CheckBitmapFile(path, open), result) << path;
  // "그림.bmp" as the item stores it (CP949).
  put("그림.bmp", MakeBmp24(2, 1, [](int, int) { return Rgb{255, 0, 0}; }));
  const auto bmp = ReadBmpFile(dir.path.string() + "/\xB1\xD7\xB8\xB2.bmp");
  ASSERT_TRUE(bmp);
  EXPECT_EQ(BmpToPlanes(*bmp).red, Bytes{0xC0});
}

// A FIFO without a writer would hold an open() forever, a device never ends: both fail at
// once, like a file that is not a picture, wherever a picture path is read.
TEST(PictureFiles, FifosAndDevicesFailAtOnce) {
  const sign_test::TempDir dir("encode_fifo");
  const std::string fifo = dir.Path("pipe.gif");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  FilePictures files;
  for (const std::string& path : {fifo, std::string("/dev/zero")}) {
    auto refused = std::async(std::launch::async, [&] {
      return CheckBitmapFile(path, BitmapOpen::New) == ImportResult::NotBmp &&
             !GifDecoder().Load(path) && !files.Bitmap(path) && !files.Animation(path);
    });
    if (refused.wait_for(std::chrono::seconds(5)) == std::future_status::timeout) {
      ADD_FAILURE() << path << " still read after 5 s";
      while (refused.wait_for(std::chrono::milliseconds(50)) == std::future_status::timeout)
        ::close(::open(fifo.c_str(), O_WRONLY | O_NONBLOCK));  // lets a blocked open end
    }
    EXPECT_TRUE(refused.get()) << path;
  }
}

TEST(ImportMessages, GifNameIsJudgedByItsLastExtension) {
  for (const char* ok : {"/a/b.GIF", "b.gif"}) EXPECT_EQ(CheckGifName(ok), ImportResult::Ok) << ok;
  // A trail byte that reads as 'G' after a lead byte is not an extension letter.
  for (const char* no : {"b.gif.bmp", "dir.gif/b", "gif", "a.\xB0GIF"})
    EXPECT_EQ(CheckGifName(no), ImportResult::NotGifName) << no;
}

// Files written by ImageMagick (tests/data/encode/make_fixtures.sh): the planes must show the
// patterns the script drew, and bits past the 13 dots of a row stay clear.
TEST(MagickFixtures, BmpVariantsGiveThePatternsPlanes) {
  using Colour = std::array<int, 3>;
  const auto rich = [](int x, int y) {
    const int i = (7 * x + 3 * y) % 32, levels[] = {0, 100, 101, 255};
    return Colour{levels[i / 8], levels[i / 2 % 4], i % 2 ? 77 : 0};
  };
  const auto eight = [](int x, int y) {
    const Colour c[] = {{0, 0, 0},       {255, 0, 0}, {0, 255, 0},  {255, 255, 0},
                        {255, 255, 255}, {0, 0, 255}, {60, 60, 60}, {200, 80, 20}};
    return c[(x + 3 * y) % 8];
  };
  const auto two = [](int x, int y) { return (x + y) % 2 ? Colour{255, 0, 0} : Colour{}; };
  const std::tuple<const char*, int, std::function<Colour(int, int)>> cases[] = {
      {"rich24", 24, rich}, {"rich24v5", 24, rich}, {"rich32v5", 32, rich}, {"rich8", 8, rich},
      {"eight4", 4, eight}, {"eight16", 16, eight}, {"two1", 1, two}};
  const std::string dir = BRELLION_TEST_DATA_DIR "/encode/magick_";
  for (const auto& [name, bits, colour] : cases) {
    SCOPED_TRACE(name);
    const auto bmp = ReadBmpFile(dir + name + ".bmp");
    ASSERT_TRUE(bmp);
    EXPECT_EQ(bmp->bitsPerPixel, bits);
    const Planes p = BmpToPlanes(*bmp);
    ASSERT_EQ(std::pair(p.width, p.height), std::pair(13, 5));
    for (int y = 0; y < 5; ++y) {
      for (int x = 0; x < 13; ++x)
        EXPECT_EQ(std::pair(p.redAt(x, y), p.greenAt(x, y)),
                  std::pair(colour(x, y)[0] > 100, colour(x, y)[1] > 100))
            << x << "," << y;
      EXPECT_EQ((p.red[2 * y + 1] | p.green[2 * y + 1]) & 0x07, 0) << y;
    }
    EXPECT_EQ(CheckBitmapFile(dir + name + ".bmp", BitmapOpen::New), ImportResult::Ok);
  }
  EXPECT_FALSE(ReadBmpFile(dir + "rich8rle.bmp"));  // run-length compressed
  EXPECT_EQ(CheckBitmapFile(dir + "rich8rle.bmp", BitmapOpen::New), ImportResult::NotBmp);
}

}  // namespace
