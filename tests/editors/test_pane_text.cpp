#include <gtest/gtest.h>

#include "manager/editors/core/pane_text.h"

namespace {

item::TextAttribute Attr(std::uint8_t b) {
  return item::TextAttribute::Unpack(b);
}

StyledText Plain(std::u32string_view s, std::uint8_t attr) {
  StyledText t;
  for (char32_t c : s) t.push_back({c, Attr(attr)});
  return t;
}

TEST(PaneQuarters, TwoByteCharactersCarryTheirAttributeOnBothBytes) {
  const StyledText t = {{U'가', Attr(0x00)}, {U'A', Attr(0x7C)}, {U'한', Attr(0xC0)}};
  item::Quarter text, attrs;
  text.fill(0xEE);
  attrs.fill(0xEE);
  EXPECT_EQ(WritePaneQuarters(t, text, attrs), 5u);
  // Everything after the text is cleared.
  EXPECT_EQ(text, (item::Quarter{0xB0, 0xA1, 0x41, 0xC7, 0xD1}));
  EXPECT_EQ(attrs, (item::Quarter{0x00, 0x00, 0x7C, 0xC0, 0xC0}));
}

TEST(PaneQuarters, EveryAttributeSurvivesARoundTrip) {
  StyledText t;
  const std::u32string chars = U"가A나b다1똠 ";
  for (int a = 0; a < 64; ++a) t.push_back({chars[a % chars.size()], Attr(std::uint8_t(a << 2))});
  item::Quarter text{}, attrs{};
  WritePaneQuarters(t, text, attrs);
  EXPECT_EQ(ReadPaneQuarters(text, attrs), t);
}

TEST(PaneQuarters, ReaderTakesTheLeadBytesAttribute) {
  item::Quarter text{}, attrs{};
  text[0] = 0xB0, text[1] = 0xA1, text[2] = 'x';
  attrs[0] = 0x40, attrs[1] = 0xFC, attrs[2] = 0x10;
  EXPECT_EQ(ReadPaneQuarters(text, attrs), (StyledText{{U'가', Attr(0x40)}, {U'x', Attr(0x10)}}));
}

TEST(PaneQuarters, DamagedBytesReadAsReplacementCharacters) {
  item::Quarter text{}, attrs{};
  text[0] = 0xFF, text[1] = 0x20, text[2] = 'a', text[3] = 0xB0;  // undefined pair, lone lead
  EXPECT_EQ(ReadPaneQuarters(text, attrs), Plain(U"\uFFFDa\uFFFD", 0));
}

TEST(PaneQuarters, LongTextIsCutOnACharacterBoundary) {
  item::Quarter text{}, attrs{};
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
  const struct {
    char32_t ch;
    std::size_t width;
    bool blank;
  } cases[] = {{U'A', 1, false},      {U'가', 2, false}, {U'똠', 2, true},
               {U'漢', 2, false},     {U'😀', 0, false},  // refused, not blank
               {U'\u4E2A', 0, false},                    // Chinese simplified, not in KS X 1001
               {U'\uFFFD', 0, false}};
  for (const auto& c : cases) {
    EXPECT_EQ(Cp949Width(c.ch), c.width) << std::hex << unsigned(c.ch);
    EXPECT_EQ(IsBlankOnBoard(c.ch), c.blank) << std::hex << unsigned(c.ch);
  }
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

TEST(Insertion, LimitEncodingAndLineBreaks) {
  const struct {
    std::u32string_view input;
    std::size_t room;
    std::u32string_view accepted, refused;
    bool overLimit;
  } cases[] = {
      {U"AB가", 3, U"AB", U"", true},  // the limit counts CP949 bytes
      {U"A가", 3, U"A가", U"", false},
      {U"가b", 1, U"", U"", true},  // nothing after the first character that did not fit
      {U"x", 0, U"", U"", true},
      {U"가😀나😀\u4E2A다", kNoLimit, U"가나다", U"😀\u4E2A", false},  // each refused once
      {U"a\r\nb\tc\u2029", kNoLimit, U"a  b c ", U"", false},       // line breaks become spaces
      {U"가\u00A0나", 5, U"가 나", U"", false},  // a web page's no-break space: a plain one
  };
  for (const auto& c : cases) {
    const InsertCheck got = CheckInsertion(c.input, c.room);
    SCOPED_TRACE(testing::Message() << "row " << &c - cases);
    EXPECT_EQ(got.accepted, c.accepted);
    EXPECT_EQ(got.refused, c.refused);
    EXPECT_EQ(got.overLimit, c.overLimit);
  }
}

}  // namespace
