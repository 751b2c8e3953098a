#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>

#include "manager/editors/core/pane_text.h"
#include "manager/editors/core/picture_items.h"
#include "shared/cp949.h"
#include "tests/support/picture_builders.h"
#include "tests/support/test_fonts.h"

using namespace editors;
using encode::ImportResult;
using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

namespace {

item::TextAttribute Attr(std::uint8_t b) {
  return item::TextAttribute::Unpack(b);
}

Bytes Bmp(int w, int h, encode_test::Rgb c) {
  return encode_test::MakeBmp24(w, h, [c](int, int) { return c; });
}

// Frame k is drawn in colour k % 3 (red, green, yellow), so the planes tell frames apart.
Bytes Gif(int w, int h, int frames) {
  encode_test::GifBuilder b(w, h, {{255, 0, 0}, {0, 255, 0}, {255, 255, 0}, {0, 0, 0}});
  for (int k = 0; k < frames; ++k) {
    b.Gce(10, 0).Image(0, 0, w, h, Bytes(std::size_t(w * h), std::uint8_t(k % 3)));
  }
  return b.Finish();
}

}  // namespace

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

// Stored bytes the editors cannot show read as a new item's choice, so a damaged record
// opens with valid lists; everything else comes back as it was built.
TEST(PictureItems, ReadBackKeepsValuesAndRepairsForeignCodes) {
  const BitmapValues bitmap{
      1, 4, 9, 800, 160, *text::Utf8ToCp949("C:\\그림\\a.bmp"), {23 * 60 + 59, 0}};
  const AnimationValues anim{3, 65535, 1, 255, "/x.gif", {1, 2}};
  const HoldTimeValues hold{true, 0, {600, 601}};
  const item::ItemRecord b = BuildBitmapItem(bitmap);
  EXPECT_EQ(ReadBitmapItem(b.header, b.body), bitmap);
  const item::ItemRecord a = BuildAnimationItem(anim);
  EXPECT_EQ(ReadAnimationItem(a.header, a.body), anim);
  EXPECT_EQ(ReadHoldTimeHeader(BuildHoldTimeHeader(hold), true), hold);

  item::ItemHeader damaged;
  damaged.setKind(item::ItemKind::Bitmap);
  using namespace item::hdr;
  const std::pair<int, int> foreign[] = {{kBitmapMode, 2}, {kSpeed, 5},   {kHold, 10},
                                         {kStartHour, 24}, {kEndHour, 7}, {kEndMinute, 60}};
  for (auto [at, v] : foreign) damaged[at] = std::uint8_t(v);
  const BitmapValues read = ReadBitmapItem(damaged, {});
  EXPECT_EQ(
      std::vector<int>({read.mode, read.speed, read.hold, ReadAnimationItem(damaged, {}).speed,
                        ReadHoldTimeHeader(damaged, false).hold}),
      std::vector<int>({0, 0, kDefaultHoldCode, 0, kDefaultHoldCode}));
  EXPECT_EQ(read.window, DisplayWindow{});
}

TEST(PictureItems, PathsAreStoredOnlyWhenCp949HoldsThemWhole) {
  const std::string longest = "/" + std::string(item::kMaxTextBytes - 1, 'a');
  const std::pair<std::string, ImportResult> rows[] = {
      {"/home/운영/그림.bmp", ImportResult::Ok},
      {longest, ImportResult::Ok},
      {longest + "b", ImportResult::PathTooLong},
      {"/" + std::string(2044, 'a') + "가", ImportResult::Ok},  // 2047 bytes in CP949
      {"/" + std::string(2045, 'a') + "가", ImportResult::PathTooLong},
      {"/home/\U0001F600.bmp", ImportResult::PathNotCp949},
      {"/home/똠방각하/\u0628.bmp", ImportResult::PathNotCp949},
  };
  for (const auto& [utf8, result] : rows) {
    const StoredPath p = PathForItem(utf8);
    EXPECT_EQ(p.result, result) << utf8.size();
    if (result != ImportResult::Ok) {
      EXPECT_TRUE(p.cp949.empty());
      continue;
    }
    EXPECT_EQ(text::Cp949ToUtf8(p.cp949), utf8);
    BitmapValues v;
    v.path = p.cp949;
    EXPECT_EQ(text::ReadTextQuarter(BuildBitmapItem(v).body.textA), p.cp949);  // kept whole
  }
}

// The size and name checks themselves are pinned with the readers; here: what an editor gets.
TEST(PictureItems, BitmapAndAnimationFiles) {
  const sign_test::TempDir dir("picture_items");
  // A file of these bytes in the folder; its path as an item stores it (CP949).
  const auto Write = [&dir](const std::string& utf8Name, const Bytes& bytes) {
    const fs::path p = dir.path / fs::u8path(utf8Name);
    encode_test::WriteFile(p.string(), bytes);
    return *text::Utf8ToCp949(p.string());
  };
  using encode::BitmapOpen;
  const BitmapFile wide = OpenBitmapFile(Write("wide.bmp", Bmp(801, 1, {})), BitmapOpen::New);
  EXPECT_EQ(std::tuple(wide.result, wide.planes.width), std::tuple(ImportResult::TooWide, 0));
  const BitmapFile white =
      OpenBitmapFile(Write("흰색.bmp", Bmp(9, 2, {255, 255, 255})), BitmapOpen::New);
  ASSERT_EQ(white.result, ImportResult::Ok);
  EXPECT_EQ(std::pair(white.width, white.height), std::pair(9, 2));
  EXPECT_EQ(white.planes.red, (Bytes{0xFF, 0x80, 0xFF, 0x80}));
  EXPECT_EQ(white.planes.green, white.planes.red);

  const std::tuple<const char*, Bytes, ImportResult, int> rows[] = {
      {"three.gif", Gif(6, 3, 3), ImportResult::Ok, 3},
      {"single.gif", Gif(6, 3, 1), ImportResult::Ok, 1},  // a one-frame animation
      {"most.gif", Gif(1, 1, 255), ImportResult::Ok, 255},
      {"many.gif", Gif(1, 1, 256), ImportResult::TooManyFrames, 0},
      {"gif.bmp", Gif(6, 3, 3), ImportResult::NotGifName, 0},
      {"picture.gif", Bmp(4, 4, {255, 0, 0}), ImportResult::GifUnreadable, 0},
  };
  for (const auto& [name, bytes, result, frames] : rows) {
    encode::GifDecoder gif;
    ASSERT_TRUE(gif.LoadBytes(Gif(2, 2, 2)));  // an earlier document never survives a refusal
    EXPECT_EQ(OpenAnimationFile(Write(name, bytes), gif), result) << name;
    EXPECT_EQ(gif.FrameCount(), frames) << name;
  }
}

TEST(PictureItems, PlayerWrapsAndNeverIndexesAnEmptyList) {
  encode::GifDecoder gif;
  FramePlayer player(gif);
  EXPECT_FALSE(player.Step().has_value());
  ASSERT_TRUE(gif.LoadBytes(Gif(8, 1, 3)));
  player.Restart();
  for (auto [red, green] : {std::pair{0xFF, 0x00}, {0x00, 0xFF}, {0xFF, 0xFF}, {0xFF, 0x00}}) {
    const std::optional<encode::Planes> p = player.Step();
    ASSERT_TRUE(p.has_value());
    EXPECT_EQ(p->red, Bytes{std::uint8_t(red)});
    EXPECT_EQ(p->green, Bytes{std::uint8_t(green)});
  }
  // A shorter animation loaded under a running player starts it over within its frames.
  ASSERT_TRUE(gif.LoadBytes(Gif(8, 1, 1)));
  EXPECT_TRUE(player.Step().has_value());
  EXPECT_EQ(player.NextFrame(), 0);
  gif.LoadBytes({});
  EXPECT_FALSE(player.Step().has_value());
}
