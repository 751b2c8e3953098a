#include <gif_lib.h>
#include <gtest/gtest.h>
#include <png.h>
#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/test_fonts.h"
#include "tests/support/preview_builder.h"
#include "sign/playback_engine.h"

using namespace sign;

namespace fs = std::filesystem;
using namespace sign_test;

namespace {

class RenderDir : public ::testing::Test {
 protected:
  void SetUp() override { WriteTestFontFiles(dir_.path / "font"); }
  std::string Path(const std::string& name) const { return dir_.Path(name); }
  // Runs varno-render with the arguments; returns its exit status.
  int Run(const std::string& args) const {
    const std::string cmd =
        std::string(BRELLION_BIN_DIR) + "/varno-render " + args + " > " + Path("out.txt") + " 2>&1";
    const int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  // Runs it with the test fonts on an image in the folder.
  int Render(const std::string& args, const std::string& image = "p.tmp") const {
    return Run("--fonts " + Path("font") + " " + args + " " + Path(image));
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  const TempDir dir_{"brellion-varno-render"};
};

// Raw output split into frames: the period and the dots.
struct RawFrame {
  int period = 0;
  FrameBuffer frame;
};
std::vector<RawFrame> SplitRaw(const std::string& raw, int w, int rows) {
  std::vector<RawFrame> out;
  const std::size_t size = 1 + static_cast<std::size_t>(w * rows);
  for (std::size_t at = 0; at + size <= raw.size(); at += size) {
    RawFrame& f = out.emplace_back();
    f.period = static_cast<std::uint8_t>(raw[at]);
    for (int r = 0; r < rows; ++r) {
      raw.copy(reinterpret_cast<char*>(f.frame.row(r)), w, at + 1 + r * w);
    }
  }
  EXPECT_EQ(raw.size() % size, 0u);
  return out;
}

}  // namespace

TEST_F(RenderDir, RawFramesAreTheEnginesFrames) {
  PreviewBuilder b(4, 2, true);
  b.OneLine("AB", 0, 1, 0, 0, Attr(1));
  b.OneLine("Hi", 16, 0, 0, 15, Attr(2, 1));
  ASSERT_TRUE(b.WriteFile(Path("p.tmp")));
  ASSERT_EQ(Render("--frames 150 --raw " + Path("f.raw")), 0) << Read("out.txt");
  const auto frames = SplitRaw(Read("f.raw"), 64, 32);
  ASSERT_EQ(frames.size(), 150u);

  FlashImage image;
  b.Load(image);
  FixedClock clock({2025, 1, 1, 0, 0, 0});
  PlaybackEngine engine(image, TestFonts(), clock);
  engine.Start();
  for (const RawFrame& f : frames) {
    while (!engine.Step()) {
    }
    ASSERT_EQ(f.period, engine.framePeriodMs());
    ASSERT_TRUE(SameArea(f.frame, engine.front(), 0, 32, 64));
  }
}

TEST_F(RenderDir, DefaultLengthIsOnePassOfTheProgramOrSixtyLogoFrames) {
  PreviewBuilder b(2, 1);
  b.OneLine("AB", 16, 0, 0, 15);  // 62 frames
  b.OneLine("C", 16, 0, 1, 15);   // 125 frames
  ASSERT_TRUE(b.WriteFile(Path("p.tmp")));
  ASSERT_EQ(Render("--raw " + Path("f.raw")), 0);
  EXPECT_EQ(SplitRaw(Read("f.raw"), 32, 16).size(), 62u + 125u);
  ASSERT_TRUE(PreviewBuilder(2, 1).WriteFile(Path("empty.tmp")));
  ASSERT_EQ(Render("--raw " + Path("e.raw"), "empty.tmp"), 0);
  EXPECT_EQ(SplitRaw(Read("e.raw"), 32, 16).size(), 60u);
}

TEST_F(RenderDir, FixedTimeDrivesTheClock) {
  PreviewBuilder b(6, 1);
  b.Add(item::ItemKind::DateTime);
  ASSERT_TRUE(b.WriteFile(Path("p.tmp")));
  ASSERT_EQ(Render("--frames 31 --time \"2025-06-01 12:30:00\" --raw " + Path("f.raw")), 0);
  const auto frames = SplitRaw(Read("f.raw"), 96, 16);
  ASSERT_EQ(frames.size(), 31u);
  EXPECT_EQ(ReadText(frames[0].frame, 12, 0, 72), "오후12 30");
  EXPECT_EQ(ReadText(frames[30].frame, 12, 0, 72), "오후12:30");
}

TEST_F(RenderDir, GifHasEveryFrameAtItsPeriodAndTheSurfaceColours) {
  PreviewBuilder b(2, 1);
  b.OneLine("A", 16, 3, 0, 15, Attr(2));  // yellow, 40 ms
  ASSERT_TRUE(b.WriteFile(Path("p.tmp")));
  // A font folder with another name is found too.
  fs::rename(Path("font"), Path("glyphs"));
  ASSERT_EQ(
      Run("--fonts " + Path("glyphs") + " --frames 5 --gif " + Path("a.gif") + " " + Path("p.tmp")),
      0)
      << Read("out.txt");
  int error = 0;
  GifFileType* gif = DGifOpenFileName(Path("a.gif").c_str(), &error);
  ASSERT_NE(gif, nullptr);
  ASSERT_EQ(DGifSlurp(gif), GIF_OK);
  EXPECT_EQ(gif->SWidth, 96);
  EXPECT_EQ(gif->SHeight, 48);
  ASSERT_EQ(gif->ImageCount, 5);
  for (int i = 0; i < gif->ImageCount; ++i) {
    GraphicsControlBlock gcb;
    ASSERT_EQ(DGifSavedExtensionToGCB(gif, i, &gcb), GIF_OK);
    EXPECT_EQ(gcb.DelayTime, 4);
  }
  // The character stands at column 12; its row 5 is lit from column 12 to 18.
  const SavedImage& first = gif->SavedImages[0];
  const ColorMapObject* map = first.ImageDesc.ColorMap ? first.ImageDesc.ColorMap : gif->SColorMap;
  auto colour = [&](int x, int y) {
    const GifColorType c = map->Colors[first.RasterBits[y * 96 + x]];
    return (c.Red << 16) | (c.Green << 8) | c.Blue;
  };
  EXPECT_EQ(colour(12 * 3 + 1, 5 * 3 + 2), 0xFFFF00);
  EXPECT_EQ(colour(19 * 3, 5 * 3), 0x000000);
  DGifCloseFile(gif, &error);
}

TEST_F(RenderDir, SheetStacksEveryKthFrame) {
  PreviewBuilder b(2, 2);
  b.OneLine("AB", 0, 0, 0, 0);
  ASSERT_TRUE(b.WriteFile(Path("p.tmp")));
  ASSERT_EQ(Render("--frames 10 --every 4 --sheet " + Path("s.png")), 0);
  png_image img{};
  img.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&img, Path("s.png").c_str()));
  EXPECT_EQ(img.width, 96u);
  EXPECT_EQ(img.height, 3u * 96u);  // frames 0, 4 and 8
  img.format = PNG_FORMAT_RGB;
  std::vector<png_byte> px(PNG_IMAGE_SIZE(img));
  ASSERT_TRUE(png_image_finish_read(&img, nullptr, px.data(), 0, nullptr));
  // Frame 4 shows the first column of "A" (pass-through from column 31) at column 27.
  const FrameBuffer ref = RenderText("AB", 27, 0, 32, 32);
  for (int r = 0; r < 32; ++r) {
    for (int c = 0; c < 32; ++c) {
      const std::size_t at = (static_cast<std::size_t>(96 + r * 3 + 1) * 96 + c * 3 + 1) * 3;
      ASSERT_EQ(px[at] != 0, ref.at(r, c) != 0) << r << "," << c;
    }
  }
}

TEST_F(RenderDir, ExitStatusesAndMessages) {
  ASSERT_TRUE(PreviewBuilder(2, 1).WriteFile(Path("p.tmp")));
  EXPECT_EQ(Run("--help"), 0);
  EXPECT_NE(Read("out.txt").find("usage: varno-render"), std::string::npos);
  for (const char* wrong :
       {"--bogus", "--frames 0", "--frames x", "--every 2", "--time \"2025-13-01 00:00:00\""}) {
    EXPECT_EQ(Run(std::string(wrong) + " " + Path("p.tmp")), 2) << wrong;
  }
  EXPECT_EQ(Run(""), 2);
  EXPECT_EQ(Run(Path("p.tmp") + " " + Path("p.tmp")), 2);
  EXPECT_EQ(Render("", "missing.tmp"), 1);
  const std::string message = Read("out.txt");
  EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
  EXPECT_EQ(Run("--fonts " + Path("nofonts") + " " + Path("p.tmp")), 1);
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
  const auto frames = SplitRaw(Read("f.raw"), 96, 16);
  ASSERT_EQ(frames.size(), 1u);
  EXPECT_FALSE(Blank(frames[0].frame, 0, 16, 96));
  EXPECT_TRUE(Blank(frames[0].frame, 0, 16, 40));  // centred: columns 40-55
}
#endif
