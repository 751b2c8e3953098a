#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "sign/font_set.h"
#include "tests/support/test_fonts.h"

using namespace sign;

namespace fs = std::filesystem;

namespace {

const FontFileInfo& File(int i) {
  return kFontFiles[static_cast<std::size_t>(i)];
}

// The rows of glyph g of file i as the test fonts hold them (see TestGlyph).
std::vector<std::uint32_t> GlyphRows(int i, std::size_t g) {
  const std::vector<std::uint8_t> bytes = sign_test::TestGlyph(File(i), g);
  const std::size_t rowBytes = bytes.size() / static_cast<std::size_t>(File(i).size);
  std::vector<std::uint32_t> rows(static_cast<std::size_t>(File(i).size));
  for (std::size_t k = 0; k < bytes.size(); ++k)
    rows[k / rowBytes] = rows[k / rowBytes] << 8 | bytes[k];
  return rows;
}

// A pretend previewer folder with the test fonts in font/, and the fonts loaded from it.
class LoadedFonts : public ::testing::Test {
 protected:
  void SetUp() override {
    sign_test::WriteTestFontFiles(dir_.path / "font");
    EXPECT_TRUE(Load().empty());
  }
  fs::path Font(int i) const { return dir_.path / "font" / File(i).name; }
  // Loads again (from a folder named without its slash when `slash` is false); the texts shown.
  std::vector<std::string> Load(bool expectLoaded = true, bool slash = true) {
    std::vector<std::string> shown;
    fonts_ = FontSet();
    EXPECT_EQ(fonts_.Load(dir_.path.string() + (slash ? "/" : ""),
                          [&](auto& text, auto& caption) {
                            EXPECT_EQ(caption, "OPEN실패");
                            shown.push_back(text);
                          }),
              expectLoaded);
    return shown;
  }
  std::vector<std::uint32_t> Wide(std::uint8_t lead, std::uint8_t trail, int size, int style = 0) {
    EXPECT_TRUE(fonts_.FetchWide(lead, trail, size, style, rows_));
    return {rows_, rows_ + size};
  }
  std::vector<std::uint32_t> Narrow(std::uint8_t code, int size, int style) {
    EXPECT_TRUE(fonts_.FetchNarrow(code, size, style, rows_));
    return {rows_, rows_ + size};
  }
  sign_test::TempDir dir_{"brellion-fontset"};
  FontSet fonts_;
  std::uint32_t rows_[32];
};

}  // namespace

TEST(FontMeasure, WidthsBySize) {
  // Control bytes count like printable ones; NUL ends the text; a cut lead byte is two wide.
  // clang-format off
  const std::tuple<std::string_view, int, int> cases[] = {
      {"AB", 32, 32}, {"AB", 16, 16}, {"\xB0\xA1", 32, 32}, {"\xB0\xA1", 16, 16}, {"", 16, 0},
      {"A\xB0\xA1Z", 16, 32}, {{"\x01Z\0BB", 5}, 16, 16}, {{"A\xB0\0ZZZZ", 7}, 16, 24},
      {{"A\xB0", 2}, 32, 48}};
  // clang-format on
  for (auto [text, size, width] : cases) EXPECT_EQ(MeasureText(text, size), width) << text;
}

TEST_F(LoadedFonts, MissingFilesStopTheLoadAtTheFirstAndShortFilesLeaveUnlitDots) {
  EXPECT_TRUE(Load(true, false).empty());
  fs::remove(Font(14));  // 영문굴림체32, as a FIFO that nobody writes to
  ASSERT_EQ(::mkfifo(Font(14).c_str(), 0600), 0);
  fs::remove(Font(19));
  EXPECT_EQ(Load(false), std::vector<std::string>{"영문굴림체32 OPEN실패"});
  EXPECT_FALSE(fonts_.loaded());

  fs::remove(Font(14));
  sign_test::WriteTestFontFiles(dir_.path / "font");
  fs::resize_file(Font(0), kFontHeaderBytes + 10 * File(0).glyphBytes);  // ten glyphs left
  Load();
  EXPECT_EQ(Wide(0xB0, 0xAA, 16), GlyphRows(0, 9));
  EXPECT_EQ(Wide(0xB0, 0xAB, 16), std::vector<std::uint32_t>(16, 0));
}

TEST_F(LoadedFonts, GlyphsComeFromTheirTables) {
  for (int style = 0; style < 4; ++style) {
    EXPECT_EQ(Wide(0xB0, 0xA1, 16, style), GlyphRows(style, 0));
    EXPECT_EQ(Wide(0xC8, 0xFE, 32, style), GlyphRows(10 + style, 2349));
    // Special characters and Hanja ignore the style.
    EXPECT_EQ(Wide(0xA1, 0xA1, 16, style), GlyphRows(8, 0));
    EXPECT_EQ(Wide(0xAC, 0xFE, 32, style), GlyphRows(18, 1127));
    EXPECT_EQ(Wide(0xCA, 0xA1, 32, style), GlyphRows(19, 0));
    EXPECT_EQ(Wide(0xFD, 0xFE, 16, style), GlyphRows(9, 4887));
    EXPECT_EQ(Narrow('A', 16, style), GlyphRows(4 + style, 0x21));
    EXPECT_EQ(Narrow(0x7F, 32, style), GlyphRows(14 + style, 95));
  }
  // Codes outside the three two-byte ranges and below 0x20 have no glyph: no dots.
  for (int code : {0x1F, 0x80, 0xADA1, 0xAFA1, 0xC9A1, 0xFEA1, 0xB0A0, 0xB0FF, 0xB041, 0x80A1,
                   0xA0A1, 0xFFFE}) {
    rows_[0] = 1;
    const bool fetched =
        code < 0x100 ? fonts_.FetchNarrow(std::uint8_t(code), 16, 0, rows_)
                     : fonts_.FetchWide(std::uint8_t(code >> 8), std::uint8_t(code), 32, 0, rows_);
    EXPECT_FALSE(LocateGlyph(std::uint16_t(code)).found || fetched || rows_[0]) << std::hex << code;
  }
}

TEST_F(LoadedFonts, DrawsOpaqueCellsWithClipping) {
  // 가 at 32 dots, style 0: row r lights only column r, so every clip is visible.
  std::vector<char> diagonal(128, 0);
  for (std::size_t r = 0; r < 32; ++r) diagonal[r * 4 + r / 8] = static_cast<char>(0x80 >> r % 8);
  std::fstream(Font(10), std::ios::binary | std::ios::in | std::ios::out)
      .seekp(static_cast<std::streamoff>(kFontHeaderBytes))
      .write(diagonal.data(), 128);
  Load();
  FrameBuffer fb;
  fb.dots.fill(0x11);  // anything not written stays 0x11
  const FontPen pen{&fb, 64, 32, 0, kDotGreen, kDotRed};
  // Columns [from, to) hold the cell drawn at x where it lies inside the 64 dots, else 0x11.
  auto expectCell = [&](int x, int from, int to) {
    for (int r = 0; r < 32; ++r)
      for (int c = from; c < to; ++c) {
        const bool inCell = c < 64 && c >= x && c < x + 32;
        ASSERT_EQ(fb.at(r, c), !inCell ? 0x11 : c - x == r ? kDotGreen : kDotRed) << r << "," << c;
      }
  };
  EXPECT_EQ(fonts_.DrawChar(pen, -10, 0, 0xB0A1), 32);
  expectCell(-10, 0, 24);
  const FrameBuffer before = fb;  // wholly outside: nothing at all
  EXPECT_EQ(fonts_.DrawChar(pen, -32, 0, 0xB0A1), 32);
  EXPECT_EQ(fonts_.DrawChar(pen, 64, 0, 0xB0A1), 32);
  EXPECT_TRUE(fb == before);
  EXPECT_EQ(fonts_.DrawChar(pen, 50, 0, 0xB0A1), 32);
  expectCell(50, 50, 70);
}

TEST_F(LoadedFonts, ControlBytesAdvanceMissingGlyphsAreBlankAndNothingLeavesTheFrame) {
  FrameBuffer fb, cell;
  const FontPen pen{&fb, 128, 16, 2, kDotRed, kDotGreen};
  EXPECT_EQ(fonts_.DrawChar(pen, 0, 0, 0x0A), 8);
  EXPECT_TRUE(fb == cell);
  EXPECT_EQ(fonts_.DrawChar(pen, 0, 0, 0xC9A1), 16);  // a blank cell of the background colour
  for (int r = 0; r < 16; ++r) std::fill(cell.row(r), cell.row(r) + 16, kDotGreen);
  EXPECT_TRUE(fb == cell);
  // The lower tier and the far right of the widest frame: nothing beyond it is touched (the
  // sanitizer build would catch it), and nothing above the glyph.
  FrameBuffer wide;
  const FontPen far{&wide, 2000, 32, 0, kDotYellow, kDotOff};
  fonts_.DrawChar(far, 1000, 16, 0xB0A1);
  fonts_.DrawChar(far, 1007, 16, 'A');
  bool any = false;
  for (int c = 1000; c < kFrameColumns; ++c) {
    EXPECT_EQ(wide.at(15, c), 0) << c;
    any |= wide.at(16, c) != 0 || wide.at(31, c) != 0;
  }
  EXPECT_TRUE(any);
}
