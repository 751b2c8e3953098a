#include <gif_lib.h>
#include <gtest/gtest.h>
#include <png.h>
#include <sys/wait.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "sign/led_pixels.h"
#include "sign/playback_engine.h"
#include "tests/support/preview_builder.h"
#include "tests/support/test_fonts.h"

using namespace sign;

namespace fs = std::filesystem;
using namespace sign_test;

namespace {

struct RawFrame {
  int period = 0;
  FrameBuffer frame;
};

class RenderDir : public ::testing::Test {
 protected:
  void SetUp() override { WriteTestFontFiles(dir_.path / "font"); }
  std::string Path(const std::string& name) const { return dir_.Path(name); }
  // varno-render's exit status; its output goes to out.txt. Render: on an image in the
  // folder with the test fonts.
  int Run(const std::string& args) const {
    const int status = std::system(
        (BRELLION_BIN_DIR "/varno-render " + args + " > " + Path("out.txt") + " 2>&1").c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  int Render(const std::string& args, const std::string& image = "p.tmp") const {
    return Run("--fonts " + Path("font") + " " + args + " " + Path(image));
  }
  std::string Read(const std::string& name) const { return sign_test::FileBytes(Path(name)); }
  // The raw output's frames, w x rows dots each after a period byte.
  std::vector<RawFrame> Raw(const std::string& name, int w, int rows) const {
    const std::string raw = Read(name);
    std::vector<RawFrame> out;
    const std::size_t size = 1 + static_cast<std::size_t>(w * rows);
    EXPECT_EQ(raw.size() % size, 0u);
    for (std::size_t at = 0; at + size <= raw.size(); at += size) {
      RawFrame& f = out.emplace_back(RawFrame{static_cast<std::uint8_t>(raw[at]), {}});
      for (int r = 0; r < rows; ++r)
        raw.copy(reinterpret_cast<char*>(f.frame.row(r)), w, at + 1 + r * w);
    }
    return out;
  }

  const TempDir dir_{"brellion-varno-render"};
};

}  // namespace

// One run writes all three outputs; each holds the engine's frames in the surface's
// colours: raw dots with their periods, a GIF frame per frame at its period, a PNG sheet of
// every K-th frame.
TEST_F(RenderDir, OutputsHoldTheEnginesFrames) {
  PreviewBuilder b(4, 2, true);
  b.OneLine("AB", 0, 1, 0, 0, Attr(1));
  b.OneLine("Hi", 16, 3, 0, 15, Attr(2, 1));
  ASSERT_TRUE(b.WriteFile(Path("p.tmp")));
  ASSERT_EQ(Render("--frames 150 --every 50 --raw " + Path("f.raw") + " --gif " + Path("a.gif") +
                   " --sheet " + Path("s.png")),
            0)
      << Read("out.txt");
  FlashImage image;
  b.Load(image);
  FixedClock clock({2025, 1, 1, 0, 0, 0});
  PlaybackEngine engine(image, TestFonts(), clock);
  std::vector<RawFrame> expected;
  engine.Start();
  while (expected.size() < 150)
    if (engine.Step()) expected.push_back({engine.framePeriodMs(), engine.front()});
  const auto raw = Raw("f.raw", 64, 32);
  ASSERT_EQ(raw.size(), 150u);
  for (std::size_t i = 0; i < raw.size(); ++i) {
    ASSERT_EQ(raw[i].period, expected[i].period) << i;
    ASSERT_TRUE(SameArea(raw[i].frame, expected[i].frame, 0, 32, 64)) << i;
  }
  // Pixel (x, y) of a picture shows the colour of dot (y / 3, x / 3) of its frame.
  const auto expectPicture = [](const FrameBuffer& f, auto rgbAt, const std::string& what) {
    for (int y = 0; y < 96; ++y)
      for (int x = 0; x < 192; ++x) {
        const auto [r, g, b] = rgbAt(x, y);
        ASSERT_EQ(static_cast<std::uint32_t>(r << 16 | g << 8 | b), DotRgb(f.at(y / 3, x / 3)))
            << what << " " << x << "," << y;
      }
  };
  int error = 0;
  GifFileType* gif = DGifOpenFileName(Path("a.gif").c_str(), &error);
  ASSERT_NE(gif, nullptr);
  ASSERT_EQ(DGifSlurp(gif), GIF_OK);
  EXPECT_EQ(std::pair(gif->SWidth, gif->SHeight), std::pair(192, 96));
  ASSERT_EQ(gif->ImageCount, 150);
  for (int i = 0; i < gif->ImageCount; ++i) {
    GraphicsControlBlock gcb;
    ASSERT_EQ(DGifSavedExtensionToGCB(gif, i, &gcb), GIF_OK);
    EXPECT_EQ(gcb.DelayTime * 10, expected[static_cast<std::size_t>(i)].period) << i;
  }
  const SavedImage& last = gif->SavedImages[149];
  const ColorMapObject* map = last.ImageDesc.ColorMap ? last.ImageDesc.ColorMap : gif->SColorMap;
  const auto gifAt = [&](int x, int y) { return map->Colors[last.RasterBits[y * 192 + x]]; };
  expectPicture(expected[149].frame, gifAt, "gif");
  DGifCloseFile(gif, &error);

  png_image img{};
  img.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&img, Path("s.png").c_str()));
  ASSERT_EQ(std::pair(img.width, img.height), std::pair(192u, 3u * 96u));  // frames 0, 50, 100
  img.format = PNG_FORMAT_RGB;
  std::vector<png_byte> px(PNG_IMAGE_SIZE(img));
  ASSERT_TRUE(png_image_finish_read(&img, nullptr, px.data(), 0, nullptr));
  for (int k = 0; k < 3; ++k) {
    const auto sheetAt = [&](int x, int y) {
      const png_byte* p = &px[(static_cast<std::size_t>(k * 96 + y) * 192 + x) * 3];
      return std::array<int, 3>{p[0], p[1], p[2]};
    };
    expectPicture(expected[static_cast<std::size_t>(50 * k)].frame, sheetAt,
                  "sheet " + std::to_string(k));
  }
}

// Without --frames: one pass of the program, or sixty frames of the logo. --time fixes the
// clock, and any font folder serves.
TEST_F(RenderDir, DefaultLengthFixedTimeAndFontFolder) {
  PreviewBuilder b(2, 1);
  b.OneLine("AB", 16, 0, 0, 15);  // 62 frames
  b.OneLine("C", 16, 0, 1, 15);   // 125 frames
  ASSERT_TRUE(b.WriteFile(Path("p.tmp")));
  ASSERT_EQ(Render("--raw " + Path("f.raw")), 0);
  EXPECT_EQ(Raw("f.raw", 32, 16).size(), 62u + 125u);
  ASSERT_TRUE(PreviewBuilder(2, 1).WriteFile(Path("empty.tmp")));
  ASSERT_EQ(Render("--raw " + Path("e.raw"), "empty.tmp"), 0);
  EXPECT_EQ(Raw("e.raw", 32, 16).size(), 60u);

  PreviewBuilder clock(6, 1);
  clock.Add(item::ItemKind::DateTime);
  ASSERT_TRUE(clock.WriteFile(Path("c.tmp")));
  fs::rename(Path("font"), Path("glyphs"));
  ASSERT_EQ(Run("--fonts " + Path("glyphs") + " --frames 1 --time \"2025-06-01 12:30:00\" --raw " +
                Path("c.raw") + " " + Path("c.tmp")),
            0)
      << Read("out.txt");
  const auto frames = Raw("c.raw", 96, 16);
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_EQ(ReadText(frames[0].frame, 12, 0, 72), "오후12 30");
}

// Wrong use exits 2, an image or fonts that cannot be read 1 with one line saying which.
TEST_F(RenderDir, ExitStatusesAndMessages) {
  ASSERT_TRUE(PreviewBuilder(2, 1).WriteFile(Path("p.tmp")));
  for (const char* wrong : {"--bogus", "--frames 0", "--time \"2025-13-01 00:00:00\""})
    EXPECT_EQ(Run(std::string(wrong) + " " + Path("p.tmp")), 2) << wrong;
  EXPECT_EQ(Run(""), 2);
  EXPECT_EQ(Render("", "missing.tmp"), 1);
  const std::string message = Read("out.txt");
  EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
  fs::remove(Path("font/한문32.fnt"));
  EXPECT_EQ(Render(""), 1);
  EXPECT_NE(Read("out.txt").find("한문32 OPEN실패"), std::string::npos);
}

#ifdef VARNO_RENDER_BOARD_FONTS
TEST_F(RenderDir, FindsTheBoardFontsBesideTheProgram) {
  PreviewBuilder b(6, 1);
  b.OneLine("\xB0\xA1", 16, 0, 0, 15);  // 가
  ASSERT_TRUE(b.WriteFile(Path("p.tmp")));
  ASSERT_EQ(Run("--frames 1 --raw " + Path("f.raw") + " " + Path("p.tmp")), 0) << Read("out.txt");
  const auto frames = Raw("f.raw", 96, 16);
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_FALSE(Blank(frames[0].frame, 0, 16, 96));
  EXPECT_TRUE(Blank(frames[0].frame, 0, 16, 40));  // centred: columns 40-55
}
#endif
