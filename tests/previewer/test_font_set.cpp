#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "previewer/font_set.h"

namespace fs = std::filesystem;

namespace {

// A byte every glyph of every file can be told apart by.
std::uint8_t PatternByte(int file, std::size_t glyph, std::size_t k) {
  return static_cast<std::uint8_t>(glyph * 7 + k * 13 + static_cast<std::size_t>(file) * 31 +
                                   (glyph >> 8) * 3);
}

class FontDir {
 public:
  FontDir() {
    static int counter = 0;
    root_ = fs::temp_directory_path() /
            ("brellion-fontset-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
    fs::remove_all(root_);
    fs::create_directories(root_ / "font");
  }
  ~FontDir() {
    std::error_code ec;
    fs::remove_all(root_, ec);
  }
  // Writes file i with its 16-byte header and the first `glyphs` glyphs of the pattern.
  void Write(int i, std::size_t glyphs) const {
    const FontFileInfo& info = kFontFiles[static_cast<std::size_t>(i)];
    std::ofstream out(root_ / "font" / info.name, std::ios::binary);
    const std::string header(kFontHeaderBytes, '\xEE');  // must never show up as dots
    out.write(header.data(), static_cast<std::streamsize>(header.size()));
    for (std::size_t g = 0; g < glyphs; ++g) {
      for (std::size_t k = 0; k < info.glyphBytes; ++k)
        out.put(static_cast<char>(PatternByte(i, g, k)));
    }
  }
  void WriteAll() const {
    for (int i = 0; i < kFontFileCount; ++i)
      Write(i, kFontFiles[static_cast<std::size_t>(i)].glyphs);
  }
  // Overwrites glyph g of file i with the given bytes.
  void Poke(int i, std::size_t g, const std::vector<std::uint8_t>& bytes) const {
    const FontFileInfo& info = kFontFiles[static_cast<std::size_t>(i)];
    std::fstream f(root_ / "font" / info.name, std::ios::binary | std::ios::in | std::ios::out);
    f.seekp(static_cast<std::streamoff>(kFontHeaderBytes + g * info.glyphBytes));
    f.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  }
  void Remove(int i) const {
    fs::remove(root_ / "font" / kFontFiles[static_cast<std::size_t>(i)].name);
  }
  std::string exeDir() const { return root_.string() + "/"; }
  const fs::path& root() const { return root_; }

 private:
  fs::path root_;
};

struct Recorded {
  std::vector<std::pair<std::string, std::string>> boxes;
  FontMessageFn fn() {
    return [this](const std::string& text, const std::string& caption) {
      boxes.emplace_back(text, caption);
    };
  }
};

std::uint32_t ExpectedRow(int file, std::size_t glyph, int row) {
  const FontFileInfo& info = kFontFiles[static_cast<std::size_t>(file)];
  const std::size_t rowBytes = info.glyphBytes / static_cast<std::size_t>(info.size);
  std::uint32_t w = 0;
  for (std::size_t b = 0; b < rowBytes; ++b) {
    w = (w << 8) | PatternByte(file, glyph, static_cast<std::size_t>(row) * rowBytes + b);
  }
  return w;
}

}  // namespace

TEST(FontFiles, TableMatchesTheFileSizes) {
  const std::size_t expected[kFontFileCount] = {
      75200,  75200,  75200,  75200,  1536, 1536, 1536, 1536, 36096,  156416,
      300800, 300800, 300800, 300800, 6144, 6144, 6144, 6144, 144384, 625664};
  for (int i = 0; i < kFontFileCount; ++i) {
    const FontFileInfo& f = kFontFiles[static_cast<std::size_t>(i)];
    EXPECT_EQ(f.glyphs * f.glyphBytes, expected[i]) << f.name;
    EXPECT_EQ(std::string(f.failText),
              std::string(f.name).substr(0, std::string(f.name).size() - 4) + " OPEN실패");
  }
}

TEST(FontMeasure, WidthsBySize) {
  EXPECT_EQ(MeasureText("AB", 32), 32);
  EXPECT_EQ(MeasureText("AB", 16), 16);
  EXPECT_EQ(MeasureText("\xB0\xA1", 32), 32);  // 가
  EXPECT_EQ(MeasureText("\xB0\xA1", 16), 16);
  EXPECT_EQ(MeasureText("A\xB0\xA1"
                        "B",
                        16),
            32);
  // Control bytes count like printable ones; the NUL ends the text.
  EXPECT_EQ(MeasureText(std::string_view("\x01"
                                         "A\0BB",
                                         5),
                        16),
            16);
  EXPECT_EQ(MeasureText("", 16), 0);
  EXPECT_EQ(MeasureText(static_cast<const char*>(nullptr), 16), 0);
}

TEST(FontMeasure, LoneLeadByteDoesNotReadPastTheEnd) {
  // "A" then a lead byte with its NUL: two-byte width, and the bytes after the NUL are not
  // taken as text.
  EXPECT_EQ(MeasureText(std::string_view("A\xB0\0ZZZZ", 7), 16), 24);
  EXPECT_EQ(MeasureText(std::string_view("A\xB0", 2), 32), 48);
}

TEST(FontLocate, KsCodeRanges) {
  EXPECT_EQ(LocateGlyph(0xB0A1).table, FontTable::Hangul);
  EXPECT_EQ(LocateGlyph(0xB0A1).index, 0);
  EXPECT_EQ(LocateGlyph(0xC8FE).index, 2349);
  EXPECT_EQ(LocateGlyph(0xA1A1).table, FontTable::Special);
  EXPECT_EQ(LocateGlyph(0xA1A1).index, 0);
  EXPECT_EQ(LocateGlyph(0xACFE).index, 1127);
  EXPECT_EQ(LocateGlyph(0xCAA1).table, FontTable::Hanja);
  EXPECT_EQ(LocateGlyph(0xCAA1).index, 0);
  EXPECT_EQ(LocateGlyph(0xFDFE).index, 4887);
  EXPECT_EQ(LocateGlyph('A').table, FontTable::English);
  EXPECT_EQ(LocateGlyph('A').index, 0x21);
  EXPECT_EQ(LocateGlyph(0x7F).index, 95);
  for (std::uint16_t missing :
       {0x1F, 0x80, 0xADA1, 0xAFA1, 0xC9A1, 0xFEA1, 0xB0A0, 0xB0FF, 0x80A1, 0xA0A1, 0xFFFE}) {
    EXPECT_FALSE(LocateGlyph(missing).found) << std::hex << missing;
  }
}

TEST(FontLoad, MissingFolderReportsTheFirstFileOnly) {
  FontDir dir;
  fs::remove_all(dir.root() / "font");
  FontSet fonts;
  Recorded rec;
  EXPECT_FALSE(fonts.Load(dir.exeDir(), rec.fn()));
  ASSERT_EQ(rec.boxes.size(), 1u);
  EXPECT_EQ(rec.boxes[0].first, "한글굴림체16 OPEN실패");
  EXPECT_EQ(rec.boxes[0].second, "OPEN실패");
  EXPECT_FALSE(fonts.loaded());
}

TEST(FontLoad, StopsAtTheFirstMissingFile) {
  FontDir dir;
  dir.WriteAll();
  dir.Remove(14);  // 영문굴림체32
  dir.Remove(19);
  FontSet fonts;
  Recorded rec;
  EXPECT_FALSE(fonts.Load(dir.exeDir(), rec.fn()));
  ASSERT_EQ(rec.boxes.size(), 1u);
  EXPECT_EQ(rec.boxes[0].first, "영문굴림체32 OPEN실패");
}

TEST(FontLoad, FolderWithoutTrailingSlash) {
  FontDir dir;
  dir.WriteAll();
  FontSet fonts;
  Recorded rec;
  EXPECT_TRUE(fonts.Load(dir.root().string(), rec.fn()));
  EXPECT_TRUE(rec.boxes.empty());
}

TEST(FontLoad, ShortFileLeavesUnlitDots) {
  FontDir dir;
  dir.WriteAll();
  dir.Write(0, 10);  // only ten Hangul glyphs in 한글굴림체16
  FontSet fonts;
  Recorded rec;
  ASSERT_TRUE(fonts.Load(dir.exeDir(), rec.fn()));
  std::uint32_t rows[32];
  ASSERT_TRUE(fonts.FetchWide(0xB0, 0xAA, 16, 0, rows));  // glyph 9: present
  EXPECT_EQ(rows[3], ExpectedRow(0, 9, 3));
  ASSERT_TRUE(fonts.FetchWide(0xB0, 0xAB, 16, 0, rows));  // glyph 10: beyond the file
  for (int r = 0; r < 16; ++r) EXPECT_EQ(rows[r], 0u);
  EXPECT_EQ(fonts.table(0).size(), 75200u);
}

class LoadedFonts : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_.WriteAll();
    Recorded rec;
    ASSERT_TRUE(fonts_.Load(dir_.exeDir(), rec.fn()));
  }
  FontDir dir_;
  FontSet fonts_;
};

TEST_F(LoadedFonts, WideGlyphsComeFromTheirTables) {
  std::uint32_t rows[32];
  for (int style = 0; style < 4; ++style) {
    ASSERT_TRUE(fonts_.FetchWide(0xB0, 0xA1, 16, style, rows));
    for (int r = 0; r < 16; ++r) EXPECT_EQ(rows[r], ExpectedRow(style, 0, r));
    ASSERT_TRUE(fonts_.FetchWide(0xC8, 0xFE, 32, style, rows));
    for (int r = 0; r < 32; ++r) EXPECT_EQ(rows[r], ExpectedRow(10 + style, 2349, r));
    // Special characters and Hanja ignore the style.
    ASSERT_TRUE(fonts_.FetchWide(0xA1, 0xA1, 16, style, rows));
    EXPECT_EQ(rows[5], ExpectedRow(8, 0, 5));
    ASSERT_TRUE(fonts_.FetchWide(0xCA, 0xA1, 32, style, rows));
    EXPECT_EQ(rows[31], ExpectedRow(19, 0, 31));
    ASSERT_TRUE(fonts_.FetchWide(0xFD, 0xFE, 16, style, rows));
    EXPECT_EQ(rows[15], ExpectedRow(9, 4887, 15));
  }
  EXPECT_FALSE(fonts_.FetchWide(0xAD, 0xA1, 16, 0, rows));
  for (int r = 0; r < 16; ++r) EXPECT_EQ(rows[r], 0u);
  EXPECT_FALSE(fonts_.FetchWide(0xB0, 0x41, 32, 0, rows));
}

TEST_F(LoadedFonts, NarrowGlyphsComeFromTheirTables) {
  std::uint32_t rows[32];
  for (int style = 0; style < 4; ++style) {
    ASSERT_TRUE(fonts_.FetchNarrow('A', 16, style, rows));
    for (int r = 0; r < 16; ++r) EXPECT_EQ(rows[r], ExpectedRow(4 + style, 0x21, r));
    ASSERT_TRUE(fonts_.FetchNarrow(0x7F, 32, style, rows));
    for (int r = 0; r < 32; ++r) EXPECT_EQ(rows[r], ExpectedRow(14 + style, 95, r));
  }
  EXPECT_FALSE(fonts_.FetchNarrow(0x1F, 16, 0, rows));
  EXPECT_FALSE(fonts_.FetchNarrow(0x80, 32, 0, rows));
}

TEST_F(LoadedFonts, DrawsOpaqueCellsWithClipping) {
  // 가 at 32 dots, style 0: row r lights only column r, so every clip is visible.
  std::vector<std::uint8_t> diagonal(128, 0);
  for (int r = 0; r < 32; ++r) {
    diagonal[static_cast<std::size_t>(r * 4 + r / 8)] = static_cast<std::uint8_t>(0x80 >> (r % 8));
  }
  dir_.Poke(10, 0, diagonal);
  Recorded rec;
  ASSERT_TRUE(fonts_.Load(dir_.exeDir(), rec.fn()));

  FrameBuffer fb;
  for (auto& d : fb.dots) d = 0x11;  // anything not written stays 0x11
  FontPen pen{&fb, 64, 32, 0, kDotGreen, kDotRed};

  // x = -10: the right 22 columns at columns 0-21.
  EXPECT_EQ(fonts_.DrawChar(pen, -10, 0, 0xB0A1), 32);
  for (int r = 0; r < 32; ++r) {
    for (int c = 0; c < 24; ++c) {
      std::uint8_t want = 0x11;
      if (c < 22) want = (c == r - 10) ? kDotGreen : kDotRed;
      ASSERT_EQ(fb.at(r, c), want) << r << "," << c;
    }
  }

  // x = -32 and x = display width: nothing at all.
  const FrameBuffer before = fb;
  EXPECT_EQ(fonts_.DrawChar(pen, -32, 0, 0xB0A1), 32);
  EXPECT_EQ(fonts_.DrawChar(pen, 64, 0, 0xB0A1), 32);
  EXPECT_TRUE(fb == before);

  // Crossing the right edge: cut at the display width.
  EXPECT_EQ(fonts_.DrawChar(pen, 50, 0, 0xB0A1), 32);
  for (int r = 0; r < 32; ++r) {
    for (int c = 50; c < 70; ++c) {
      std::uint8_t want = 0x11;
      if (c < 64) want = (c - 50 == r) ? kDotGreen : kDotRed;
      ASSERT_EQ(fb.at(r, c), want) << r << "," << c;
    }
  }
}

TEST_F(LoadedFonts, DrawingStaysInsideTheFrame) {
  FrameBuffer fb;
  FontPen pen{&fb, 2000, 32, 0, kDotYellow, kDotOff};
  // Lower tier with a 32-dot glyph and the far right of the widest frame: no row or column
  // beyond the frame is touched (the sanitizer build would catch it).
  fonts_.DrawChar(pen, 1000, 16, 0xB0A1);
  fonts_.DrawChar(pen, 1007, 16, 'A');
  // Row 15 is above the glyph and stays unlit.
  for (int c = 1000; c < kFrameColumns; ++c) EXPECT_EQ(fb.at(15, c), 0) << c;
  bool any = false;
  for (int c = 1000; c < kFrameColumns; ++c) any |= fb.at(16, c) != 0 || fb.at(31, c) != 0;
  EXPECT_TRUE(any);
}

TEST_F(LoadedFonts, ControlBytesDrawNothingButAdvance) {
  FrameBuffer fb;
  FontPen pen{&fb, 128, 16, 2, kDotRed, kDotGreen};
  EXPECT_EQ(fonts_.DrawChar(pen, 0, 0, 0x0A), 8);
  for (auto d : fb.dots) ASSERT_EQ(d, 0);
  // A code without a glyph is a blank cell of the background colour.
  EXPECT_EQ(fonts_.DrawChar(pen, 0, 0, 0xC9A1), 16);
  for (int r = 0; r < 16; ++r) {
    for (int c = 0; c < 16; ++c) ASSERT_EQ(fb.at(r, c), kDotGreen);
  }
  EXPECT_EQ(fb.at(0, 16), 0);
  EXPECT_EQ(fb.at(16, 0), 0);
}

TEST_F(LoadedFonts, NarrowGlyphDotsFollowTheirBits) {
  FrameBuffer fb;
  FontPen pen{&fb, 128, 16, 1, kDotYellow, kDotOff};
  EXPECT_EQ(fonts_.DrawChar(pen, 3, 16, 'Z'), 8);
  for (int r = 0; r < 16; ++r) {
    const std::uint32_t word = ExpectedRow(5, 'Z' - 0x20, r);
    for (int c = 0; c < 8; ++c) {
      const bool lit = (word >> (7 - c)) & 1;
      ASSERT_EQ(fb.at(16 + r, 3 + c), lit ? kDotYellow : kDotOff);
    }
  }
}
