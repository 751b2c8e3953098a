#include <gtest/gtest.h>

#include "manager/editors/core/pane_text.h"

namespace {

TextAttribute Attr(std::uint8_t b) {
  return TextAttribute::Unpack(b);
}

StyledText Plain(std::u32string_view s, std::uint8_t attr = 0) {
  StyledText t;
  for (char32_t c : s) t.push_back({c, Attr(attr)});
  return t;
}

TEST(PaneQuarters, TwoByteCharactersCarryTheirAttributeOnBothBytes) {
  StyledText t = {{U'가', Attr(0x00)}, {U'A', Attr(0x7C)}, {U'한', Attr(0xC0)}};
  Quarter text{}, attrs{};
  text.fill(0xEE);
  attrs.fill(0xEE);
  EXPECT_EQ(WritePaneQuarters(t, text, attrs), 5u);
  const std::uint8_t wantText[] = {0xB0, 0xA1, 0x41, 0xC7, 0xD1, 0x00};
  const std::uint8_t wantAttr[] = {0x00, 0x00, 0x7C, 0xC0, 0xC0, 0x00};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(text[i], wantText[i]) << i;
    EXPECT_EQ(attrs[i], wantAttr[i]) << i;
  }
  for (std::size_t i = 6; i < kQuarterSize; ++i) {
    ASSERT_EQ(text[i], 0) << i;
    ASSERT_EQ(attrs[i], 0) << i;
  }
}

TEST(PaneQuarters, EveryAttributeSurvivesARoundTrip) {
  StyledText t;
  const std::u32string chars = U"가A나b다1똠 ";
  for (int a = 0; a < 64; ++a) t.push_back({chars[a % chars.size()], Attr(std::uint8_t(a << 2))});
  Quarter text{}, attrs{};
  WritePaneQuarters(t, text, attrs);
  EXPECT_EQ(ReadPaneQuarters(text, attrs), t);
}

TEST(PaneQuarters, ReaderTakesTheLeadBytesAttribute) {
  Quarter text{}, attrs{};
  text[0] = 0xB0, text[1] = 0xA1, text[2] = 'x';
  attrs[0] = 0x40, attrs[1] = 0xFC, attrs[2] = 0x10;
  StyledText got = ReadPaneQuarters(text, attrs);
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0], (StyledChar{U'가', Attr(0x40)}));
  EXPECT_EQ(got[1], (StyledChar{U'x', Attr(0x10)}));
}

TEST(PaneQuarters, DamagedBytesReadAsReplacementCharacters) {
  Quarter text{}, attrs{};
  text[0] = 0xFF, text[1] = 0x20, text[2] = 'a', text[3] = 0xB0;  // undefined pair, lone lead
  StyledText got = ReadPaneQuarters(text, attrs);
  ASSERT_EQ(got.size(), 3u);
  EXPECT_EQ(got[0].ch, U'\uFFFD');
  EXPECT_EQ(got[1].ch, U'a');
  EXPECT_EQ(got[2].ch, U'\uFFFD');
}

TEST(PaneQuarters, LongTextIsCutOnACharacterBoundary) {
  Quarter text{}, attrs{};
  EXPECT_EQ(WritePaneQuarters(Plain(std::u32string(3000, U'x'), 0x40), text, attrs), 2047u);
  EXPECT_EQ(text[2046], 'x');
  EXPECT_EQ(text[2047], 0);
  // One byte of ASCII first makes the syllables end exactly at 2047.
  std::u32string odd = U"x" + std::u32string(1500, U'가');
  EXPECT_EQ(WritePaneQuarters(Plain(odd, 0x80), text, attrs), 2047u);
  // Without it the 1024th syllable would take bytes 2046-2047 and is left out.
  text.fill(1);
  EXPECT_EQ(WritePaneQuarters(Plain(std::u32string(1500, U'가'), 0x80), text, attrs), 2046u);
  EXPECT_EQ(text[2046], 0);
  EXPECT_EQ(text[2047], 0);
  // The control's characters still give attributes up to 2048 positions.
  EXPECT_EQ(attrs[2047], 0x80);
}

TEST(CharacterChecks, WidthsAndBoardGlyphs) {
  EXPECT_EQ(Cp949Width(U'A'), 1u);
  EXPECT_EQ(Cp949Width(U'가'), 2u);
  EXPECT_EQ(Cp949Width(U'똠'), 2u);
  EXPECT_EQ(Cp949Width(U'漢'), 2u);
  EXPECT_EQ(Cp949Width(U'😀'), 0u);
  EXPECT_EQ(Cp949Width(U'\u4E2A'), 0u);  // a Chinese simplified form outside KS X 1001
  EXPECT_EQ(Cp949Width(U'\uFFFD'), 0u);

  EXPECT_TRUE(IsBlankOnBoard(U'똠'));
  EXPECT_FALSE(IsBlankOnBoard(U'가'));
  EXPECT_FALSE(IsBlankOnBoard(U'漢'));
  EXPECT_FALSE(IsBlankOnBoard(U'A'));
  EXPECT_FALSE(IsBlankOnBoard(U'😀'));  // refused, not blank
  EXPECT_EQ(BlankOnBoard(U"똠a똠뷁가"), U"똠뷁");
  EXPECT_EQ(Cp949Bytes(U"가A😀"), 3u);
}

TEST(CharacterChecks, AllHangulSyllablesSplitIntoBoardAndBlank) {
  int board = 0, blank = 0;
  for (char32_t c = 0xAC00; c <= 0xD7A3; ++c) {
    ASSERT_EQ(Cp949Width(c), 2u) << std::hex << unsigned(c);
    (IsBlankOnBoard(c) ? blank : board)++;
  }
  EXPECT_EQ(board, 2350);
  EXPECT_EQ(blank, 8822);
}

TEST(Insertion, LimitCountsCp949Bytes) {
  InsertCheck c = CheckInsertion(U"AB가", 3);
  EXPECT_EQ(c.accepted, U"AB");
  EXPECT_TRUE(c.overLimit);
  c = CheckInsertion(U"A가", 3);
  EXPECT_EQ(c.accepted, U"A가");
  EXPECT_FALSE(c.overLimit);
  // Nothing after the first character that did not fit, even if it would fit.
  c = CheckInsertion(U"가b", 1);
  EXPECT_EQ(c.accepted, U"");
  EXPECT_TRUE(c.overLimit);
  EXPECT_EQ(CheckInsertion(U"x", 0).accepted, U"");
}

TEST(Insertion, UnencodableCharactersAreRefusedAndTheRestKept) {
  InsertCheck c = CheckInsertion(U"가😀나😀\u4E2A다", kNoLimit);
  EXPECT_EQ(c.accepted, U"가나다");
  EXPECT_EQ(c.refused, U"😀\u4E2A");
  EXPECT_FALSE(c.overLimit);
}

TEST(Insertion, LineBreaksBecomeSpaces) {
  EXPECT_EQ(CheckInsertion(U"a\r\nb\tc\u2029", kNoLimit).accepted, U"a  b c ");
}

}  // namespace
