// Files written by ImageMagick (tests/data/encode/make_fixtures.sh). Expected planes come
// from the patterns the script drew, not from our reader.
#include <gtest/gtest.h>

#include <array>
#include <functional>

#include "manager/encode/bmp_reader.h"
#include "manager/encode/import_checks.h"

using namespace encode;

namespace {

using Colour = std::array<int, 3>;

const std::string kDir = BRELLION_TEST_DATA_DIR "/encode/";

Colour Rich(int x, int y) {
  const int i = (7 * x + 3 * y) % 32;
  const int levels[] = {0, 100, 101, 255};
  return {levels[i / 8], levels[i / 2 % 4], i % 2 ? 77 : 0};
}
Colour Eight(int x, int y) {
  const Colour c[] = {{0, 0, 0},       {255, 0, 0}, {0, 255, 0},  {255, 255, 0},
                      {255, 255, 255}, {0, 0, 255}, {60, 60, 60}, {200, 80, 20}};
  return c[(x + 3 * y) % 8];
}
Colour Two(int x, int y) {
  return (x + y) % 2 ? Colour{255, 0, 0} : Colour{0, 0, 0};
}

// Bits past the picture width stay clear: 13 dots leave 3 spare bits a row.
void ExpectPlanes(const Planes& p, int w, int h, const std::function<Colour(int, int)>& c) {
  ASSERT_EQ(p.width, w);
  ASSERT_EQ(p.height, h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      EXPECT_EQ(p.redAt(x, y), c(x, y)[0] > 100) << x << "," << y;
      EXPECT_EQ(p.greenAt(x, y), c(x, y)[1] > 100) << x << "," << y;
    }
    const std::size_t last = static_cast<std::size_t>(y + 1) * p.rowBytes() - 1;
    EXPECT_EQ((p.red[last] | p.green[last]) & 0x07, 0) << y;
  }
}

TEST(MagickFixtures, BmpVariantsGiveThePatternsPlanes) {
  struct Case {
    const char* file;
    int bitsPerPixel;
    std::function<Colour(int, int)> pattern;
  };
  const Case cases[] = {
      {"magick_rich24.bmp", 24, Rich},   {"magick_rich24v5.bmp", 24, Rich},
      {"magick_rich32v5.bmp", 32, Rich}, {"magick_rich8.bmp", 8, Rich},
      {"magick_eight4.bmp", 4, Eight},   {"magick_eight16.bmp", 16, Eight},
      {"magick_two1.bmp", 1, Two},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const auto bmp = ReadBmpFile(kDir + c.file);
    ASSERT_TRUE(bmp);
    EXPECT_EQ(bmp->bitsPerPixel, c.bitsPerPixel);
    ExpectPlanes(BmpToPlanes(*bmp), 13, 5, c.pattern);
    EXPECT_EQ(CheckBitmapFile(kDir + c.file, BitmapOpen::New), ImportResult::Ok);
  }
  EXPECT_FALSE(ReadBmpFile(kDir + "magick_rich8rle.bmp"));  // run-length compressed
  EXPECT_EQ(CheckBitmapFile(kDir + "magick_rich8rle.bmp", BitmapOpen::New), ImportResult::NotBmp);
  EXPECT_EQ(CheckGifFile(kDir + "magick_rich24.bmp"), ImportResult::GifUnreadable);
}

}  // namespace
