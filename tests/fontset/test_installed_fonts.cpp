// The tables the build generates, read back through the previewer's own loader: catches a
// generator and a loader that disagree on the file layout. (What the tables hold is
// checked on their bytes by the fontgen tests.)
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "sign/font_set.h"

using namespace sign;

namespace {

class InstalledFonts : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const std::string previewDir = std::filesystem::path(BRELLION_FONT_DIR).parent_path();
    loaded_ = fonts_.Load(
        previewDir, [](const std::string& text, const std::string&) { ADD_FAILURE() << text; });
  }
  void SetUp() override { ASSERT_TRUE(loaded_) << "fonts not built in " << BRELLION_FONT_DIR; }

  static inline FontSet fonts_;
  static inline bool loaded_ = false;
};

// Every glyph of every table, fetched by its code, has the rows the file stores for it.
TEST_F(InstalledFonts, EveryGlyphIsTheOneItsFileHolds) {
  for (const FontFileInfo& info : kFontFiles) {
    std::ifstream in(std::filesystem::path(BRELLION_FONT_DIR) / info.name, std::ios::binary);
    const std::vector<std::uint8_t> file{std::istreambuf_iterator<char>(in), {}};
    ASSERT_EQ(file.size(), kFontHeaderBytes + info.glyphs * info.glyphBytes) << info.name;
    const std::size_t rowBytes = info.glyphBytes / static_cast<std::size_t>(info.size);
    const int firstLead = info.table == FontTable::Special  ? 0xA1
                          : info.table == FontTable::Hangul ? 0xB0
                                                            : 0xCA;
    int wrong = 0;
    for (std::size_t g = 0; g < info.glyphs; ++g) {
      std::uint32_t rows[32];
      const auto lead = static_cast<std::uint8_t>(firstLead + g / 94);
      const auto trail = static_cast<std::uint8_t>(0xA1 + g % 94);
      const bool found =
          info.table == FontTable::English
              ? fonts_.FetchNarrow(static_cast<std::uint8_t>(0x20 + g), info.size, info.style, rows)
              : fonts_.FetchWide(lead, trail, info.size, info.style, rows);
      const std::uint8_t* stored = &file[kFontHeaderBytes + g * info.glyphBytes];
      for (std::size_t r = 0; r < static_cast<std::size_t>(info.size); ++r) {
        std::uint32_t word = 0;
        for (std::size_t k = 0; k < rowBytes; ++k) word = word << 8 | stored[r * rowBytes + k];
        wrong += !found || rows[r] != word;
      }
    }
    EXPECT_EQ(wrong, 0) << info.name;
  }
}

TEST_F(InstalledFonts, StylesAreDifferentFaces) {
  // 한 in the four styles: each style is its own table, so no two look the same.
  for (int size : {16, 32}) {
    std::vector<std::vector<std::uint32_t>> shapes;
    for (int style = 0; style < kFontStyleCount; ++style) {
      std::vector<std::uint32_t> rows(32);
      ASSERT_TRUE(fonts_.FetchWide(0xC7, 0xD1, size, style, rows.data()));
      for (const auto& earlier : shapes) EXPECT_NE(earlier, rows) << "size " << size;
      shapes.push_back(rows);
    }
  }
}

}  // namespace
