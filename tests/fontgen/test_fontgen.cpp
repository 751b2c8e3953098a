// The board font tables as the build generated them: sizes, coverage of every code that
// must show, cell layout, and that generating again gives the same bytes.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "shared/cp949.h"
#include "shared/file_io.h"
#include "sign/font_set.h"
#include "tests/support/test_fonts.h"

namespace fs = std::filesystem;
using sign::FontTable;
using sign::kFontFiles;

namespace {

const sign::FontFileInfo& Info(int i) {
  return kFontFiles[static_cast<std::size_t>(i)];
}
fs::path TablePath(const fs::path& dir, int i) {
  return dir / fs::u8path(Info(i).name);
}

// One table's glyphs as dots; cells are read straight from the file bytes.
struct Table {
  explicit Table(int i, const fs::path& dir = BRELLION_FONT_DIR)
      : def(Info(i)),
        bytes(fileio::ReadRegularFile(TablePath(dir, i), 1 << 20)
                  .value_or(std::vector<std::uint8_t>())) {}
  bool complete() const { return bytes.size() == 16 + def.glyphs * def.glyphBytes; }
  bool Lit(int glyph, int row, int col) const {
    const std::size_t at = 16 + static_cast<std::size_t>(glyph) * def.glyphBytes +
                           static_cast<std::size_t>(row * w / 8 + col / 8);
    return (bytes.at(at) >> (7 - col % 8)) & 1;  // a short table throws
  }
  // Whether a dot of rows [r0, r1) and columns [c0, c1) of the glyph is lit.
  bool Ink(int glyph, int r0, int r1, int c0, int c1) const {
    for (int r = r0; r < r1; ++r)
      for (int c = c0; c < c1; ++c)
        if (Lit(glyph, r, c)) return true;
    return false;
  }
  bool AnyInk(int glyph) const { return Ink(glyph, 0, h, 0, w); }
  bool ColumnInk(int glyph, int col) const { return Ink(glyph, 0, h, col, col + 1); }
  bool RowInk(int glyph, int row) const { return Ink(glyph, row, row + 1, 0, w); }
  int BottomRow(int glyph) const {  // -1 for none
    int r = h - 1;
    while (r >= 0 && !RowInk(glyph, r)) --r;
    return r;
  }
  sign::FontFileInfo def;
  std::vector<std::uint8_t> bytes;
  int w = def.table == FontTable::English ? def.size / 2 : def.size, h = def.size,
      glyphs = static_cast<int>(def.glyphs);
};

// Whether code page 949 assigns a character to a code, by the system converter; the spaces
// stay blank by design.
bool MustShow(std::uint16_t code) {
  const char bytes[] = {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
  const std::string u = text::Cp949ToUtf8(std::string_view(bytes, 2).substr(code < 0x100 ? 1 : 0));
  return u > " " && u != "\x7F" && u != "\uFFFD" && u != "\u3000" && u != "\u3164";
}

}  // namespace

// Every code with a character shows ink in every table, read back through the previewer's
// own loader; codes without one, and the spaces by design, stay blank. The header names the
// table and its size; the licences of the source fonts are installed with the tables.
TEST(BoardFontFiles, EveryAssignedCodeHasInkThroughTheLoader) {
  sign::FontSet fonts;
  ASSERT_TRUE(fonts.Load(fs::path(BRELLION_FONT_DIR).parent_path().string() + "/", nullptr));
  for (int i = 0; i < 20; ++i) {
    const Table t(i);
    ASSERT_TRUE(t.complete()) << Info(i).name;
    EXPECT_EQ(
        std::string(t.bytes.begin(), t.bytes.begin() + 10),
        "BRLNFNT1" + std::string(1, static_cast<char>(i + 1)) + static_cast<char>(Info(i).size));
    int required = 0, shown = 0, misread = 0;
    for (int g = 0; g < t.glyphs; ++g) {
      const std::uint16_t code = sign_test::GlyphCode(Info(i), std::size_t(g));
      const bool must = MustShow(code);
      required += must;
      shown += must && t.AnyInk(g);
      EXPECT_TRUE(must || !t.AnyInk(g)) << Info(i).name << " " << std::hex << code;
      std::uint32_t rows[32];
      const bool found =
          code < 0x100
              ? fonts.FetchNarrow(static_cast<std::uint8_t>(code), t.h, Info(i).style, rows)
              : fonts.FetchWide(static_cast<std::uint8_t>(code >> 8),
                                static_cast<std::uint8_t>(code), t.h, Info(i).style, rows);
      for (int r = 0; r < t.h; ++r)
        for (int c = 0; c < t.w; ++c)
          misread += !found || t.Lit(g, r, c) != (rows[r] >> (t.w - 1 - c) & 1);
    }
    EXPECT_EQ(shown, required) << Info(i).name;
    const int expected[] = {2350, 94, 986, 4888};  // by table
    EXPECT_EQ(required, expected[static_cast<int>(Info(i).table)]) << Info(i).name;
    EXPECT_EQ(misread, 0) << Info(i).name;
  }
  for (const char* f : {"xfonts-baekmuk.copyright", "fonts-nanum.copyright", "GPL-2",
                        "fonts-dejavu-core.copyright", "README.md"})
    EXPECT_GT(fs::file_size(fs::path(BRELLION_FONT_DIR) / "licences" / f), 100u) << f;
}

// Each table's cells as they will look side by side: outline Hangul faces leave their last
// column and row free, so neighbours never touch, and sit centred; each Hangul style is its
// own face (한 differs in all four, at both sizes); box-drawing lines reach the cell edges
// and ─ and ┼ share their row, so frames join up; letters share one baseline, descenders go
// below it, and a free column on the right keeps them apart.
TEST(BoardFontLayout, CellsJoinWhereTheyShouldAndNowhereElse) {
  const int han = (0xC7 - 0xB0) * 94 + (0xD1 - 0xA1);
  const int horizontal = (0xA6 - 0xA1) * 94, vertical = horizontal + 1, cross = horizontal + 10;
  std::vector<std::vector<bool>> shapes;  // 한 in the styles of this size so far
  for (int i = 0; i < 20; ++i) {
    const Table t(i);
    const int w = t.w, h = t.h;
    const char* name = Info(i).name;
    if (i == 1 || i == 3 || (i >= 10 && i <= 13)) {  // the outline Hangul faces
      const int margin = w == 32 ? 2 : 1;
      int touching = 0;
      long leftGap = 0, rightGap = 0;
      for (int g = 0; g < t.glyphs; ++g) {
        touching += t.Ink(g, 0, h, w - margin, w) || t.Ink(g, h - margin, h, 0, w);
        int l = 0, r = 0;
        while (l < w && !t.ColumnInk(g, l)) ++l;
        while (r < w && !t.ColumnInk(g, w - 1 - margin - r)) ++r;
        leftGap += l;
        rightGap += r;
      }
      EXPECT_EQ(touching, 0) << name;
      EXPECT_NEAR(static_cast<double>(leftGap - rightGap) / t.glyphs, 0.0, 1.0) << name;
    }
    if (i % 10 < 4) {  // the four Hangul styles of each size
      if (i % 10 == 0) shapes.clear();
      std::vector<bool> dots;
      for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c) dots.push_back(t.Lit(han, r, c));
      for (const auto& earlier : shapes) EXPECT_NE(earlier, dots) << name;
      shapes.push_back(dots);
    }
    if (Info(i).table == FontTable::Special) {
      for (int g : {horizontal, cross})
        EXPECT_TRUE(t.ColumnInk(g, 0) && t.ColumnInk(g, w - 1)) << name;
      for (int g : {vertical, cross}) EXPECT_TRUE(t.RowInk(g, 0) && t.RowInk(g, h - 1)) << name;
      for (int r = 0; r < h; ++r) EXPECT_EQ(t.Lit(horizontal, r, 0), t.Lit(cross, r, 0)) << name;
    }
    if (Info(i).table == FontTable::English) {
      const int base = t.BottomRow('H' - 0x20);
      ASSERT_GT(base, h / 2) << name;
      // Hinting and the overshoot of round letters move a bottom by one dot at most.
      for (char c : std::string("ABEHKLMNTXZabdehklmnxz0123456789"))
        EXPECT_NEAR(t.BottomRow(c - 0x20), base, 1) << name << " " << c;
      for (char c : std::string("gpqy")) EXPECT_GT(t.BottomRow(c - 0x20), base + 1) << name << c;
      for (int g = 1; g < t.glyphs; ++g) EXPECT_FALSE(t.ColumnInk(g, w - 1)) << name << " " << g;
    }
  }
}

class FontgenRun : public ::testing::Test {
 protected:
  int Run(const std::string& args) const {
    const std::string out = " --out '" + dir_.path.string() + "' ";
    return std::system((BRELLION_BIN_DIR "/fontgen" + out + args + " >/dev/null 2>&1").c_str());
  }
  const sign_test::TempDir dir_{"brellion-fontgen"};
};

// Generating again gives the bytes the build installed: the tables do not depend on the
// run, the time or the order of generation. Missing source fonts fail without a table.
TEST_F(FontgenRun, RegeneratesTheSameBytesAndFailsWithoutSourceFonts) {
  EXPECT_NE(Run("--fonts /nonexistent-font-root"), 0);
  EXPECT_FALSE(fs::exists(TablePath(dir_.path, 0)));
  EXPECT_NE(Run("--only 21"), 0);
  ASSERT_EQ(Run("--only 9,5,16"), 0);
  for (int i : {4, 8, 15}) EXPECT_TRUE(Table(i, dir_.path).bytes == Table(i).bytes) << Info(i).name;
  EXPECT_FALSE(fs::exists(TablePath(dir_.path, 0)));  // only what was asked for
}

// A face that maps a character but draws it empty does not leave a blank cell: the next
// face fills it. Here the Hanja face is replaced by one whose Hanja are all empty.
TEST_F(FontgenRun, EmptyGlyphsAreFilledFromTheNextFace) {
  const fs::path root = dir_.path / "fonts", real = BRELLION_FONTGEN_FONTS;
  for (const char* f :
       {"X11/75dpi/gulim16.pcf.gz", "X11/75dpi/batang16.pcf.gz",
        "truetype/naver-d2coding/D2Coding-Ver1.3.2-20180524-all.ttc",
        "truetype/unfonts-core/UnGungseo.ttf", "truetype/nanum/NanumMyeongjoBold.ttf",
        "truetype/woowa-bm/BMJUA_ttf.ttf", "truetype/dejavu/DejaVuSansMono-Bold.ttf"}) {
    fs::create_directories((root / f).parent_path());
    fs::create_symlink(real / f, root / f);
  }
  fs::create_symlink(real / "truetype/woowa-bm/BMJUA_ttf.ttf",
                     root / "truetype/nanum/NanumGothic.ttf");
  ASSERT_EQ(Run("--only 20 --fonts '" + root.string() + "'"), 0);
  const Table t(19, dir_.path);
  ASSERT_TRUE(t.complete());
  int shown = 0;
  for (int g = 0; g < t.glyphs; ++g) shown += t.AnyInk(g);
  EXPECT_EQ(shown, 4888);
  EXPECT_FALSE(t.bytes == Table(19).bytes);  // drawn by another face
}
