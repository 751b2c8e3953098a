// The tables the build generates, read back through the previewer's own loader: catches a
// generator and a loader that disagree on the file layout.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "previewer/font_set.h"

namespace {

bool AnyInk(const std::uint32_t* rows, int n) {
  for (int r = 0; r < n; ++r) {
    if (rows[r] != 0) return true;
  }
  return false;
}

class InstalledFonts : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    fonts_ = new FontSet;
    const std::string previewDir = std::filesystem::path(BRELLION_FONT_DIR).parent_path();
    loaded_ = fonts_->Load(
        previewDir, [](const std::string& text, const std::string&) { ADD_FAILURE() << text; });
  }
  static void TearDownTestSuite() {
    delete fonts_;
    fonts_ = nullptr;
  }
  void SetUp() override { ASSERT_TRUE(loaded_) << "fonts not built in " << BRELLION_FONT_DIR; }

  static FontSet* fonts_;
  static bool loaded_;
};
FontSet* InstalledFonts::fonts_ = nullptr;
bool InstalledFonts::loaded_ = false;

TEST_F(InstalledFonts, EveryHangulSyllableHasInkInEveryStyle) {
  std::uint32_t rows[32];
  for (int size : {16, 32}) {
    for (int style = 0; style < kFontStyleCount; ++style) {
      int empty = 0;
      for (int lead = 0xB0; lead <= 0xC8; ++lead) {
        for (int trail = 0xA1; trail <= 0xFE; ++trail) {
          ASSERT_TRUE(fonts_->FetchWide(static_cast<std::uint8_t>(lead),
                                        static_cast<std::uint8_t>(trail), size, style, rows));
          if (!AnyInk(rows, size)) ++empty;
        }
      }
      EXPECT_EQ(empty, 0) << "size " << size << " style " << style;
    }
  }
}

TEST_F(InstalledFonts, LettersDigitsSymbolsAndHanjaHaveInk) {
  std::uint32_t rows[32];
  for (int size : {16, 32}) {
    for (int style = 0; style < kFontStyleCount; ++style) {
      for (int c = 0x21; c <= 0x7E; ++c) {
        ASSERT_TRUE(fonts_->FetchNarrow(static_cast<std::uint8_t>(c), size, style, rows));
        EXPECT_TRUE(AnyInk(rows, size)) << "size " << size << " style " << style << " " << c;
      }
      ASSERT_TRUE(fonts_->FetchNarrow(' ', size, style, rows));
      EXPECT_FALSE(AnyInk(rows, size));
    }
    // Ideographic space is blank by design; the circle, a box corner and the first and last
    // Hanja are not.
    ASSERT_TRUE(fonts_->FetchWide(0xA1, 0xA1, size, 0, rows));
    EXPECT_FALSE(AnyInk(rows, size));
    for (auto [lead, trail] : {std::pair{0xA1, 0xDB}, {0xA6, 0xA3}, {0xCA, 0xA1}, {0xFD, 0xFE}}) {
      ASSERT_TRUE(fonts_->FetchWide(static_cast<std::uint8_t>(lead),
                                    static_cast<std::uint8_t>(trail), size, 0, rows));
      EXPECT_TRUE(AnyInk(rows, size)) << std::hex << lead << trail << " size " << std::dec << size;
    }
  }
}

TEST_F(InstalledFonts, StylesAreDifferentFaces) {
  // 한 in the four styles: each style is its own table, so no two look the same.
  for (int size : {16, 32}) {
    std::vector<std::vector<std::uint32_t>> shapes;
    for (int style = 0; style < kFontStyleCount; ++style) {
      std::vector<std::uint32_t> rows(32);
      ASSERT_TRUE(fonts_->FetchWide(0xC7, 0xD1, size, style, rows.data()));
      for (const auto& earlier : shapes) EXPECT_NE(earlier, rows) << "size " << size;
      shapes.push_back(rows);
    }
  }
}

}  // namespace
