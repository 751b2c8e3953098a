#include <gtest/gtest.h>

#include <tuple>

#include "manager/editors/core/pane_text.h"

namespace {

item::TextAttribute Attr(std::uint8_t b) {
  return item::TextAttribute::Unpack(b);
}

TEST(PaneQuarters, WriteAndReadBack) {
  const StyledText t = {{U'가', Attr(0x00)}, {U'A', Attr(0x7C)}, {U'한', Attr(0xC0)}};
  item::Quarter text, attrs;
  text.fill(0xEE);
  attrs.fill(0xEE);
  // Two-byte characters carry their attribute on both bytes; the rest is cleared.
  EXPECT_EQ(WritePaneQuarters(t, text, attrs), 5u);
  EXPECT_EQ(text, (item::Quarter{0xB0, 0xA1, 0x41, 0xC7, 0xD1}));
  EXPECT_EQ(attrs, (item::Quarter{0x00, 0x00, 0x7C, 0xC0, 0xC0}));

  // The reader takes the lead byte's attribute; damaged bytes read as U+FFFD.
  text = {0xB0, 0xA1, 'x', 0xFF, 0x20, 'a', 0xB0};  // undefined pair, lone lead
  attrs = {0x40, 0xFC, 0x10};
  EXPECT_EQ(ReadPaneQuarters(text, attrs), (StyledText{{U'가', Attr(0x40)},
                                                       {U'x', Attr(0x10)},
                                                       {U'\uFFFD', Attr(0)},
                                                       {U'a', Attr(0)},
                                                       {U'\uFFFD', Attr(0)}}));

  // The text is cut on a character boundary (pinned with the quarter writer); the attributes
  // of a syllable cut off at the end still fill all 2048 positions.
  EXPECT_EQ(WritePaneQuarters(StyledText(1500, {U'가', Attr(0x80)}), text, attrs), 2046u);
  EXPECT_EQ(attrs[2047], 0x80);
}

TEST(CharacterChecks, WidthsAndBoardGlyphs) {
  const std::tuple<char32_t, std::size_t, bool> cases[] = {
      {U'A', 1, false},      {U'가', 2, false}, {U'똠', 2, true},
      {U'漢', 2, false},     {U'😀', 0, false},  // refused, not blank
      {U'\u4E2A', 0, false},                    // Chinese simplified, not in KS X 1001
      {U'\uFFFD', 0, false}};
  for (const auto& [ch, width, blank] : cases) {
    EXPECT_EQ(Cp949Width(ch), width) << std::hex << unsigned(ch);
    EXPECT_EQ(IsBlankOnBoard(ch), blank) << std::hex << unsigned(ch);
  }
  EXPECT_EQ(BlankOnBoard(U"똠a똠뷁가"), U"똠뷁");
  EXPECT_EQ(Cp949Bytes(U"가A😀"), 3u);
  // KS X 1001 has 2350 of the 11172 syllables; the sign has glyphs for those only.
  int blank = 0;
  for (char32_t c = 0xAC00; c <= 0xD7A3; ++c) {
    ASSERT_EQ(Cp949Width(c), 2u) << std::hex << unsigned(c);
    blank += IsBlankOnBoard(c);
  }
  EXPECT_EQ(blank, 11172 - 2350);
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
