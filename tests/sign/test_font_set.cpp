#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <utility>
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
  for (std::size_t k = 0; k < bytes.size(); ++k) {
    rows[k / rowBytes] = rows[k / rowBytes] << 8 | bytes[k];
  }
  return rows;
}

// Rows of a glyph as the font set gives them; found tells what the fetch returned.
std::vector<std::uint32_t> Fetched(bool found, const std::uint32_t* rows, int size) {
  EXPECT_TRUE(found);
  return std::vector<std::uint32_t>(rows, rows + size);
}

// A pretend previewer folder with the test fonts in font/.
class FontDir : public sign_test::TempDir {
 public:
  FontDir() : TempDir("brellion-fontset") { sign_test::WriteTestFontFiles(path / "font"); }
  fs::path Font(int i) const { return path / "font" / File(i).name; }
  // Overwrites glyph g of file i with the given bytes.
  void Poke(int i, std::size_t g, const std::vector<std::uint8_t>& bytes) const {
    std::fstream f(Font(i), std::ios::binary | std::ios::in | std::ios::out);
    f.seekp(static_cast<std::streamoff>(kFontHeaderBytes + g * File(i).glyphBytes));
    f.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  }
  std::string exeDir() const { return path.string() + "/"; }
};

using Boxes = std::vector<std::pair<std::string, std::string>>;  // (text, caption)

// Loads the fonts from dir; the messages shown.
Boxes Load(FontSet& fonts, const std::string& dir, bool expectLoaded = true) {
  Boxes boxes;
  EXPECT_EQ(fonts.Load(dir, [&](auto& text, auto& caption) { boxes.emplace_back(text, caption); }),
            expectLoaded);
  return boxes;
}

}  // namespace

TEST(FontFiles, TableMatchesTheFileSizes) {
  const std::size_t expected[kFontFileCount] = {
      75200,  75200,  75200,  75200,  1536, 1536, 1536, 1536, 36096,  156416,
      300800, 300800, 300800, 300800, 6144, 6144, 6144, 6144, 144384, 625664};
  for (int i = 0; i < kFontFileCount; ++i) {
    const std::string name = File(i).name;
    EXPECT_EQ(File(i).glyphs * File(i).glyphBytes, expected[i]) << name;
    EXPECT_EQ(File(i).failText, name.substr(0, name.size() - 4) + " OPEN실패");
  }
}

TEST(FontMeasure, WidthsBySize) {
  EXPECT_EQ(MeasureText("AB", 32), 32);
  EXPECT_EQ(MeasureText("AB", 16), 16);
  EXPECT_EQ(MeasureText("\xB0\xA1", 32), 32);  // 가
  EXPECT_EQ(MeasureText("\xB0\xA1", 16), 16);
  EXPECT_EQ(MeasureText("A\xB0\xA1Z", 16), 32);
  // Control bytes count like printable ones; the NUL ends the text.
  EXPECT_EQ(MeasureText(std::string_view("\x01Z\0BB", 5), 16), 16);
  EXPECT_EQ(MeasureText("", 16), 0);
  // "A" then a lead byte with its NUL: two-byte width, and the bytes after the NUL are not
  // taken as text.
  EXPECT_EQ(MeasureText(std::string_view("A\xB0\0ZZZZ", 7), 16), 24);
  EXPECT_EQ(MeasureText(std::string_view("A\xB0", 2), 32), 48);
}

TEST(FontLocate, KsCodeRanges) {
  using T = FontTable;
  const std::tuple<std::uint16_t, FontTable, int> found[] = {
      {0xB0A1, T::Hangul, 0},     {0xC8FE, T::Hangul, 2349}, {0xA1A1, T::Special, 0},
      {0xACFE, T::Special, 1127}, {0xCAA1, T::Hanja, 0},     {0xFDFE, T::Hanja, 4887},
      {'A', T::English, 0x21},    {0x7F, T::English, 95}};
  for (auto [code, table, index] : found) {
    const GlyphLocation at = LocateGlyph(code);
    EXPECT_TRUE(at.found && at.table == table && at.index == index) << std::hex << code;
  }
  for (std::uint16_t missing :
       {0x1F, 0x80, 0xADA1, 0xAFA1, 0xC9A1, 0xFEA1, 0xB0A0, 0xB0FF, 0x80A1, 0xA0A1, 0xFFFE}) {
    EXPECT_FALSE(LocateGlyph(missing).found) << std::hex << missing;
  }
}

TEST(FontLoad, MissingFolderReportsTheFirstFileOnly) {
  FontDir dir;
  fs::remove_all(dir.path / "font");
  FontSet fonts;
  EXPECT_EQ(Load(fonts, dir.exeDir(), false), (Boxes{{"한글굴림체16 OPEN실패", "OPEN실패"}}));
  EXPECT_FALSE(fonts.loaded());
}

TEST(FontLoad, StopsAtTheFirstMissingFileAndTakesAFolderWithoutSlash) {
  FontDir dir;
  FontSet fonts;
  EXPECT_TRUE(Load(fonts, dir.path.string()).empty());
  fs::remove(dir.Font(14));  // 영문굴림체32
  fs::remove(dir.Font(19));
  FontSet other;
  const auto boxes = Load(other, dir.exeDir(), false);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].first, "영문굴림체32 OPEN실패");
}

TEST(FontLoad, ShortFileLeavesUnlitDots) {
  FontDir dir;
  // 한글굴림체16 keeps only ten glyphs.
  fs::resize_file(dir.Font(0), kFontHeaderBytes + 10 * File(0).glyphBytes);
  FontSet fonts;
  Load(fonts, dir.exeDir());
  std::uint32_t rows[32];
  EXPECT_EQ(Fetched(fonts.FetchWide(0xB0, 0xAA, 16, 0, rows), rows, 16), GlyphRows(0, 9));
  EXPECT_EQ(Fetched(fonts.FetchWide(0xB0, 0xAB, 16, 0, rows), rows, 16),  // beyond the file
            std::vector<std::uint32_t>(16, 0));
}

class LoadedFonts : public ::testing::Test {
 protected:
  void SetUp() override { Load(fonts_, dir_.exeDir()); }
  std::vector<std::uint32_t> Wide(std::uint8_t lead, std::uint8_t trail, int size, int style) {
    return Fetched(fonts_.FetchWide(lead, trail, size, style, rows_), rows_, size);
  }
  std::vector<std::uint32_t> Narrow(std::uint8_t code, int size, int style) {
    return Fetched(fonts_.FetchNarrow(code, size, style, rows_), rows_, size);
  }
  FontDir dir_;
  FontSet fonts_;
  std::uint32_t rows_[32];
};

TEST_F(LoadedFonts, GlyphsComeFromTheirTables) {
  for (int style = 0; style < 4; ++style) {
    EXPECT_EQ(Wide(0xB0, 0xA1, 16, style), GlyphRows(style, 0));
    EXPECT_EQ(Wide(0xC8, 0xFE, 32, style), GlyphRows(10 + style, 2349));
    // Special characters and Hanja ignore the style.
    EXPECT_EQ(Wide(0xA1, 0xA1, 16, style), GlyphRows(8, 0));
    EXPECT_EQ(Wide(0xCA, 0xA1, 32, style), GlyphRows(19, 0));
    EXPECT_EQ(Wide(0xFD, 0xFE, 16, style), GlyphRows(9, 4887));
    EXPECT_EQ(Narrow('A', 16, style), GlyphRows(4 + style, 0x21));
    EXPECT_EQ(Narrow(0x7F, 32, style), GlyphRows(14 + style, 95));
  }
  EXPECT_FALSE(fonts_.FetchWide(0xAD, 0xA1, 16, 0, rows_));
  EXPECT_EQ(std::vector<std::uint32_t>(rows_, rows_ + 16), std::vector<std::uint32_t>(16, 0));
  EXPECT_FALSE(fonts_.FetchWide(0xB0, 0x41, 32, 0, rows_));
  EXPECT_FALSE(fonts_.FetchNarrow(0x1F, 16, 0, rows_));
  EXPECT_FALSE(fonts_.FetchNarrow(0x80, 32, 0, rows_));
}

TEST_F(LoadedFonts, DrawsOpaqueCellsWithClipping) {
  // 가 at 32 dots, style 0: row r lights only column r, so every clip is visible.
  std::vector<std::uint8_t> diagonal(128, 0);
  for (std::size_t r = 0; r < 32; ++r) diagonal[r * 4 + r / 8] = 0x80 >> r % 8;
  dir_.Poke(10, 0, diagonal);
  Load(fonts_, dir_.exeDir());

  FrameBuffer fb;
  fb.dots.fill(0x11);  // anything not written stays 0x11
  const FontPen pen{&fb, 64, 32, 0, kDotGreen, kDotRed};
  // Columns [from, to) hold the cell drawn at x where it lies inside the 64 dots, else 0x11.
  auto expectCell = [&](int x, int from, int to) {
    for (int r = 0; r < 32; ++r) {
      for (int c = from; c < to; ++c) {
        const bool inCell = c < 64 && c >= x && c < x + 32;
        ASSERT_EQ(fb.at(r, c), !inCell ? 0x11 : c - x == r ? kDotGreen : kDotRed) << r << "," << c;
      }
    }
  };
  // x = -10: the right 22 columns at columns 0-21.
  EXPECT_EQ(fonts_.DrawChar(pen, -10, 0, 0xB0A1), 32);
  expectCell(-10, 0, 24);
  // x = -32 and x = display width: nothing at all.
  const FrameBuffer before = fb;
  EXPECT_EQ(fonts_.DrawChar(pen, -32, 0, 0xB0A1), 32);
  EXPECT_EQ(fonts_.DrawChar(pen, 64, 0, 0xB0A1), 32);
  EXPECT_TRUE(fb == before);
  // Crossing the right edge: cut at the display width.
  EXPECT_EQ(fonts_.DrawChar(pen, 50, 0, 0xB0A1), 32);
  expectCell(50, 50, 70);
}

TEST_F(LoadedFonts, DrawingStaysInsideTheFrame) {
  FrameBuffer fb;
  const FontPen pen{&fb, 2000, 32, 0, kDotYellow, kDotOff};
  // Lower tier with a 32-dot glyph and the far right of the widest frame: no row or column
  // beyond the frame is touched (the sanitizer build would catch it).
  fonts_.DrawChar(pen, 1000, 16, 0xB0A1);
  fonts_.DrawChar(pen, 1007, 16, 'A');
  bool any = false;
  for (int c = 1000; c < kFrameColumns; ++c) {
    EXPECT_EQ(fb.at(15, c), 0) << c;  // above the glyph: unlit
    any |= fb.at(16, c) != 0 || fb.at(31, c) != 0;
  }
  EXPECT_TRUE(any);
}

TEST_F(LoadedFonts, ControlBytesDrawNothingButAdvance) {
  FrameBuffer fb;
  const FontPen pen{&fb, 128, 16, 2, kDotRed, kDotGreen};
  EXPECT_EQ(fonts_.DrawChar(pen, 0, 0, 0x0A), 8);
  EXPECT_TRUE(fb == FrameBuffer{});
  // A code without a glyph is a blank cell of the background colour.
  EXPECT_EQ(fonts_.DrawChar(pen, 0, 0, 0xC9A1), 16);
  for (int r = 0; r < 16; ++r) {
    for (int c = 0; c < 16; ++c) ASSERT_EQ(fb.at(r, c), kDotGreen);
  }
  EXPECT_EQ(fb.at(0, 16), 0);
  EXPECT_EQ(fb.at(16, 0), 0);
}
