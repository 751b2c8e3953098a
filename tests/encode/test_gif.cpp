#include <gtest/gtest.h>

#include <tuple>

#include "manager/encode/gif_reader.h"
#include "tests/support/picture_builders.h"

using namespace encode;
using encode_test::GifBuilder;
using encode_test::Rgb;
using Bytes = std::vector<std::uint8_t>;

namespace {

const std::vector<Rgb> kColours = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {255, 255, 255}};

Bytes Fill(int w, int h, std::uint8_t index) {
  return Bytes(static_cast<std::size_t>(w * h), index);
}

TEST(GifFrames, ThreeImagesGiveThreeRecordsWithTheirBlocks) {
  GifBuilder b(8, 4, kColours);
  b.Netscape().Comment("hello");
  const std::size_t begin0 = b.size();
  b.Gce(10, 1).Image(0, 0, 8, 4, Fill(8, 4, 1));
  const std::size_t begin1 = b.size();
  b.Gce(20, 2).Comment("inside").Image(2, 1, 4, 2, Fill(4, 2, 2));
  const std::size_t end1 = b.size();
  b.Gce(30, 0, 0).Image(0, 0, 1, 1, Fill(1, 1, 3));
  const Bytes file = b.Finish();

  GifDecoder gif;
  ASSERT_TRUE(gif.LoadBytes(file));
  ASSERT_EQ(std::tuple(gif.FrameCount(), gif.width(), gif.height()), std::tuple(3, 8, 4));
  const GifFrame& f1 = gif.Frame(1);
  EXPECT_EQ(std::tie(f1.left, f1.top, f1.width, f1.height), std::make_tuple(2, 1, 4, 2));
  // A frame runs from its extension to the end of its data, without the application and
  // comment extensions before it: the blocks before and inside it are walked by their sizes.
  EXPECT_EQ(std::tie(gif.Frame(0).begin, gif.Frame(0).end, f1.begin, f1.end),
            std::tie(begin0, begin1, begin1, end1));
}

TEST(GifFrames, UndecodableFrameIsDroppedOthersKeptAndFilesWithoutFramesRefused) {
  GifBuilder b(4, 1, kColours);
  b.Gce(1, 0).Image(0, 0, 4, 1, Fill(4, 1, 1));
  b.Gce(1, 0).Image(0, 0, 4, 1, Fill(2, 1, 2));  // data ends after 2 of 4 pixels
  b.Gce(1, 0).Image(0, 0, 4, 1, Fill(4, 1, 3));
  GifDecoder gif;
  ASSERT_TRUE(gif.LoadBytes(b.Finish()));
  ASSERT_EQ(gif.FrameCount(), 2);
  EXPECT_EQ(gif.Frame(1).indices, Fill(4, 1, 3));

  EXPECT_FALSE(gif.LoadBytes(Bytes{'B', 'M', 0, 0}));
  EXPECT_EQ(GifBlockAt(Bytes{0x21, 0x99, 0}, 0).kind, GifBlock::Invalid);  // no such extension
  EXPECT_FALSE(gif.LoadBytes(GifBuilder(4, 4, kColours).Comment("no image").Finish()));
  EXPECT_FALSE(gif.LoadBytes(GifBuilder(0, 4, kColours).Image(0, 0, 1, 1, Fill(1, 1, 1)).Finish()));
  // A screen far larger than any board is refused before anything is allocated.
  EXPECT_FALSE(
      gif.LoadBytes(GifBuilder(65535, 65535, kColours).Image(0, 0, 1, 1, Fill(1, 1, 1)).Finish()));
  EXPECT_EQ(gif.FrameCount(), 0);
}

TEST(GifFrames, WalkStopsAtTheEndOfATruncatedFile) {
  GifBuilder b(4, 2, kColours);
  b.Gce(5, 0).Image(0, 0, 4, 2, Fill(4, 2, 1));
  const std::size_t firstEnd = b.size();
  b.Gce(5, 0).Image(0, 0, 4, 2, Fill(4, 2, 2));
  const Bytes file = b.Finish();
  for (std::size_t n = 0; n < file.size(); ++n) {
    const Bytes cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(n));
    GifDecoder gif;
    const bool loaded = gif.LoadBytes(cut);
    EXPECT_EQ(loaded, n >= firstEnd) << n;
    // The second frame counts once its data is whole, trailer or not.
    const int frames = n + 1 >= file.size() ? 2 : n >= firstEnd ? 1 : 0;
    EXPECT_EQ(gif.FrameCount(), frames) << n;
  }
}

TEST(GifCanvas, FramesDrawnInOrder) {
  // White and (255,255,1) stay dark, unlike in a BMP; (255,255,0) is yellow.
  const std::vector<Rgb> colours = {{255, 255, 255}, {255, 255, 1}, {255, 255, 0}, {101, 0, 0},
                                    {100, 0, 0},     {0, 101, 0},   {0, 0, 0},     {200, 200, 200}};
  struct Case {
    const char* what;
    Bytes file;
    Bytes red, green;
  };
  // clang-format off
  const Case cases[] = {
      {"one image",
       GifBuilder(2, 2, kColours).Image(0, 0, 2, 2, Fill(2, 2, 1)).Finish(),
       {0xC0, 0xC0}, {0, 0}},
      // Index 0 is transparent in frame 1; frame 0's "restore to background" is ignored.
      {"transparency shows earlier frames",
       GifBuilder(4, 1, kColours).Gce(1, 2).Image(0, 0, 4, 1, Fill(4, 1, 1))
           .Gce(1, 0, 0).Image(0, 0, 4, 1, Bytes{0, 0, 2, 2}).Finish(),
       {0xC0}, {0x30}},
      {"a dot needs a channel at zero",
       GifBuilder(8, 1, colours).Image(0, 0, 8, 1, Bytes{0, 1, 2, 3, 4, 5, 6, 7}).Finish(),
       {0b0011'0000}, {0b0010'0100}},
      {"the uncovered part stays dark",
       GifBuilder(16, 2, kColours).Gce(1, 0).Image(0, 0, 4, 2, Fill(4, 2, 1))
           .Gce(1, 0).Image(12, 1, 4, 1, Fill(4, 1, 2)).Finish(),
       {0xF0, 0x00, 0xF0, 0x00}, {0x00, 0x00, 0x00, 0x0F}},
      {"clipped at the screen edge, local colours",
       GifBuilder(4, 2, kColours).Image(2, 1, 4, 4, Fill(4, 4, 1), {{}, {0, 255, 0}}).Finish(),
       {0, 0}, {0x00, 0x30}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    GifDecoder gif;
    ASSERT_TRUE(gif.LoadBytes(c.file));
    for (int k = 0; k < gif.FrameCount(); ++k) gif.RenderFrame(k);
    EXPECT_EQ(gif.CanvasToPlanes().red, c.red);
    EXPECT_EQ(gif.CanvasToPlanes().green, c.green);
  }
}

}  // namespace
