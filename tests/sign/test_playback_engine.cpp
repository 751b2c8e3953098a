#include <gtest/gtest.h>

#include <utility>

#include "sign/playback_engine.h"
#include "tests/support/preview_builder.h"
#include "tests/support/test_fonts.h"

using namespace sign;
using namespace sign_test;

namespace {

struct Shot {
  FrameBuffer frame;
  int period = 0, item = 0, starts = 0;  // starts: items started before the step
};

// Runs a built program on the test fonts at a fixed time.
class Player {
 public:
  explicit Player(const PreviewBuilder& b, LocalTime now = {2025, 3, 7, 9, 5, 0})
      : clock_(now), engine_(image_, TestFonts(), clock_) {
    b.Load(image_);
    engine_.Start();
  }
  // The next n frames; steps that produce no frame are not counted.
  std::vector<Shot> Frames(int n) {
    std::vector<Shot> out;
    for (int guard = 0; static_cast<int>(out.size()) < n && guard < 4 * n + 100; ++guard) {
      const int item = engine_.itemIndex(), starts = engine_.itemStarts();
      if (engine_.Step()) out.push_back({engine_.front(), engine_.framePeriodMs(), item, starts});
    }
    return out;
  }
  PlaybackEngine& engine() { return engine_; }

 private:
  FlashImage image_;
  FixedClock clock_;
  PlaybackEngine engine_;
};

// True when rows [top, top + size) of the board's w columns show text drawn at x alone.
bool Shows(const FrameBuffer& f, std::string_view text, int x, int w, int top = 0, int size = 16,
           std::uint8_t fore = kDotRed) {
  return SameArea(f, RenderText(text, x, top, size, w, fore), top, size, w);
}
// Shots [from, from + count) show text alone at x, x + step, x + 2 step ...
::testing::AssertionResult Moves(const std::vector<Shot>& shots, int from, int count,
                                 std::string_view text, int x, int step, int w, int top = 0) {
  for (int k = 0; k < count; ++k)
    if (!Shows(shots[static_cast<std::size_t>(from + k)].frame, text, x + k * step, w, top))
      return ::testing::AssertionFailure() << "shot " << from + k << " of " << text;
  return ::testing::AssertionSuccess();
}
std::pair<int, int> PeriodItem(const Shot& s) {
  return {s.period, s.item};
}

const char* kA = "AB";   // 16 dots in the 16-dot font
const char* kB = "xyz";  // 24 dots
const char* kWide = "0123456789ab";

}  // namespace

// Temperature and unknown kinds are passed over without a frame of their own.
TEST(PlaybackEngine, NoneEntryHoldsCentredThenNextItemWithoutExit) {
  PreviewBuilder b(6, 1);
  b.AddRaw(7);
  b.OneLine(kA, 16, 2, 2, 15);  // hold 3 s at level 4
  b.AddRaw(200);
  b.OneLine(kB, 16, 0, 0, 15);
  const auto shots = Player(b).Frames(188);
  EXPECT_TRUE(Moves(shots, 0, 187, kA, 40, 0, 96));
  for (int i = 0; i < 187; ++i) EXPECT_EQ(PeriodItem(shots[i]), std::pair(30, 1)) << i;
  EXPECT_TRUE(Shows(shots[187].frame, kB, 36, 96));
  EXPECT_EQ(PeriodItem(shots[187]), std::pair(10, 3));
  for (int code : {1, 3, 4, 5}) {  // speed codes give periods of 10-40 ms
    PreviewBuilder one(4, 1);
    one.OneLine(kA, 16, code, 0, 15);
    EXPECT_EQ(Player(one).Frames(1)[0].period, std::min(10 * (code + 1), 40)) << code;
  }
}

TEST(PlaybackEngine, SingleItemStartsAgainFromItsEntryAfterItsExit) {
  PreviewBuilder b(2, 1);
  b.OneLine(kA, 1, 0, 0, 0);  // slides in, holds 1 s = 62 frames, slides out to the left
  Player p(b);
  const auto shots = p.Frames(300);
  std::size_t run = 0, entry = 0, still;
  while (run < shots.size() && shots[run].starts == 1) ++run;
  ASSERT_LT(run, shots.size() / 2);
  // The first run: an entry whose finishing frame is the centred text, the 62 frames of the
  // hold, an exit (whose first frame may still be whole) that ends on an empty board.
  while (!Shows(shots[entry].frame, kA, 8, 32)) ++entry;
  EXPECT_GT(entry, 16u);
  for (still = entry; Shows(shots[still].frame, kA, 8, 32);) ++still;
  EXPECT_TRUE(still - entry == 63 || still - entry == 64) << still - entry;
  EXPECT_TRUE(Blank(shots[run - 1].frame, 0, 16, 32));
  // The second run repeats the first frame for frame, entry included.
  for (std::size_t i = 0; i < run; ++i) {
    ASSERT_TRUE(SameArea(shots[run + i].frame, shots[i].frame, 0, 16, 32)) << i;
    ASSERT_EQ(shots[run + i].period, shots[i].period) << i;
  }
  EXPECT_EQ(p.engine().programLoops(), 2);
}

// Text wider than the board is aligned left, held, moved a dot a frame until its end meets
// the right edge, held again, then leaves from its end.
TEST(PlaybackEngine, WideTextHoldsLeftScrollsToItsEndHoldsAgainThenLeaves) {
  for (int entry : {16, 1}) {  // shown at once and no exit, or slid in and out
    PreviewBuilder b(4, 1);    // 64 dots; the text is 96
    b.OneLine(kWide, entry, 1, 0, entry == 16 ? 15 : 0);
    b.OneLine(kA, 16, 1, 0, 15);
    const auto shots = Player(b).Frames(500);
    int i = 0, next;
    while (!Shows(shots[i].frame, kWide, 0, 64)) ++i;  // where an entry ends
    EXPECT_TRUE(entry == 16 ? i == 0 : i > 32) << i;
    const int held = i + (entry == 16 ? 62 : 63);  // an entry's finishing frame, then the hold
    EXPECT_TRUE(Moves(shots, i, held - i, kWide, 0, 0, 64) &&
                Moves(shots, held, 32, kWide, -1, -1, 64) &&
                Moves(shots, held + 32, 62, kWide, -32, 0, 64));
    for (next = held + 94; shots[next].item == 0;) ++next;
    // The exit moves the end-aligned picture out: its first frame still shows the text's end.
    EXPECT_EQ(next == held + 94, entry == 16);
    EXPECT_FALSE(Blank(shots[held + 94].frame, 0, 16, 64));
    EXPECT_TRUE(Blank(shots[next - 1].frame, 0, 16, 64) == (entry != 16));
    EXPECT_TRUE(Shows(shots[next].frame, kA, 24, 64));
    for (int k = 0; k <= next; ++k) ASSERT_EQ(shots[k].period, 20) << entry << " " << k;
  }
}

// Without the connection flag A takes 32 + 16 - 1 frames to leave, then B enters at the right
// edge; with it they run as one text.
TEST(PlaybackEngine, PassThroughRunsIntoTheNextItemOnlyWithTheConnection) {
  PreviewBuilder apart(2, 1, false);
  apart.OneLine(kA, 0, 0, 0, 0);
  apart.OneLine(kB, 0, 0, 0, 0);
  const auto alone = Player(apart).Frames(47 + 30);
  EXPECT_TRUE(Moves(alone, 0, 47, kA, 31, -1, 32) && Moves(alone, 47, 30, kB, 31, -1, 32));
  for (int k = 0; k < 47 + 30; ++k) EXPECT_EQ(alone[k].item, k < 47 ? 0 : 1) << k;

  PreviewBuilder b(2, 1, true);
  b.OneLine(kA, 0, 0, 0, 0);
  b.OneLine(kB, 0, 1, 0, 0);
  b.OneLine(kA, 16, 0, 0, 15);  // not pass-through: the chain ends with kB
  const auto shots = Player(b).Frames(72);
  // A and B move as one text: no blank column between them.
  EXPECT_TRUE(Moves(shots, 0, 48, "ABxyz", 31, -1, 32));
  EXPECT_EQ(shots[15].item, 0);  // A's end reached the right edge
  EXPECT_EQ(PeriodItem(shots[16]), std::pair(20, 1));
  // B is followed by a held item, so B leaves the board completely.
  EXPECT_TRUE(Shows(shots[70].frame, kB, -23, 32) && Shows(shots[71].frame, kA, 8, 32));
  EXPECT_EQ(std::pair(shots[70].item, shots[71].item), std::pair(1, 2));
}

// Each character in its colours; one line on two tiers in the 32-dot font.
TEST(PlaybackEngine, AttributesColourEachCharacterAndTwoTiersUseThe32DotFont) {
  PreviewBuilder b(2, 1);
  item::ItemRecord& r = b.OneLine("AB", 16, 0, 0, 15);
  r.body.attrA[0] = Attr(1, 3);  // green on yellow
  r.body.attrA[1] = Attr(3, 1);  // unlit on red
  const FrameBuffer f = Player(b).Frames(1)[0].frame;
  // The glyph's unlit last column shows the background.
  EXPECT_EQ(std::vector<int>({f.at(5, 8), f.at(5, 15), f.at(5, 16), f.at(5, 23)}),
            std::vector<int>({kDotGreen, kDotYellow, kDotOff, kDotRed}));
  PreviewBuilder two(6, 2);
  two.OneLine("\xB0\xA1\x41", 16, 0, 0, 15);  // 가A: 32 + 16 dots
  EXPECT_TRUE(Shows(Player(two).Frames(1)[0].frame, "\xB0\xA1\x41", 24, 96, 0, 32));
}

TEST(PlaybackEngine, TwoLineItemRunsBothLinesAndBlanksTheOneThatIsDone) {
  PreviewBuilder b(4, 2);
  item::ItemRecord& r = b.Text(item::ItemKind::TwoLine, kA, 0, kB, Attr(1));
  PreviewBuilder::Set(
      r, {{item::hdr::kUpperEntry, 16}, {item::hdr::kUpperHold, 0}, {item::hdr::kUpperExit, 15}});
  PreviewBuilder::Set(
      r, {{item::hdr::kLowerEntry, 16}, {item::hdr::kLowerHold, 1}, {item::hdr::kLowerExit, 15}});
  r.header[item::hdr::kTwoLineSpeed] = 3;  // the upper line holds 62 frames, the lower 125
  b.OneLine("Z", 16, 0, 0, 15);
  const auto shots = Player(b).Frames(127);
  for (int i = 0; i < 126; ++i) {
    SCOPED_TRACE(i);
    // The last frame is shown at the period of the item that follows.
    ASSERT_EQ(PeriodItem(shots[i]), std::pair(i < 125 ? 40 : 10, 0));
    ASSERT_TRUE(Shows(shots[i].frame, kB, 20, 64, 16, 16, kDotGreen));
    // The upper line shows through its hold and the step that ends it, then stays blank.
    ASSERT_TRUE(i <= 62 ? Shows(shots[i].frame, kA, 24, 64) : Blank(shots[i].frame, 0, 16, 64));
  }
  EXPECT_EQ(shots[126].item, 1);
}

TEST(PlaybackEngine, TitleStaysWhileTheSentencePassesThrough) {
  PreviewBuilder b(2, 2);
  item::ItemRecord& r = b.Text(item::ItemKind::TitleSentence, "T", 0, kA, 0);
  PreviewBuilder::Set(r, {{item::hdr::kLowerEntry, 0}, {item::hdr::kSentenceSpeed, 0}});
  Player p(b);
  const auto shots = p.Frames(32 + 16);
  EXPECT_TRUE(Moves(shots, 0, 32 + 15, "T", 12, 0, 32));
  EXPECT_TRUE(Moves(shots, 0, 32 + 15, kA, 31, -1, 32, 16));
  for (const Shot& s : shots) EXPECT_EQ(s.period, 10);
  EXPECT_EQ(p.engine().itemStarts(), 2);  // the only item started again
}

TEST(PlaybackEngine, HeldBitmapIsCentredInItsColours) {
  PreviewBuilder b(2, 1);
  b.Bitmap(Art{{"RG.Y", "..R.", "G..."}}, 0, 4, 0);
  Player p(b);
  const auto shots = p.Frames(63);
  EXPECT_EQ(ArtOf(shots[0].frame, 0, 4, 32),
            "..............RG.Y..............\n"
            "................R...............\n"
            "..............G.................\n"
            "................................\n");
  EXPECT_EQ(shots[0].period, 20);  // a held bitmap plays at level 3 whatever its speed
  for (int i = 1; i < 62; ++i) ASSERT_EQ(shots[i].frame, shots[0].frame);
  EXPECT_EQ(p.engine().itemStarts(), 2);
  // A picture taller than the board shows its top rows, each plane read from its own place.
  PreviewBuilder tall(2, 1);
  tall.Bitmap(Art{std::vector<std::string>(20, "RG")}, 0, 0, 0);
  std::string rows;
  for (int r = 0; r < 16; ++r) rows += std::string(15, '.') + "RG" + std::string(15, '.') + "\n";
  EXPECT_EQ(ArtOf(Player(tall).Frames(1)[0].frame, 0, 16, 32), rows);
}

TEST(PlaybackEngine, ScrolledBitmapsChainLikeTexts) {
  PreviewBuilder b(2, 1, true);
  b.Bitmap(Art{{"RRRRRRRRRR", "R........R"}}, 1, 0, 0);  // 10 wide
  b.Bitmap(Art{{"GG", "GG"}}, 1, 0, 0);
  b.OneLine(kA, 16, 0, 0, 15);
  const auto shots = Player(b).Frames(50);
  // Frame k shows both pictures side by side from column 31 - k, and nothing below them.
  for (int k = 0; k < 40; ++k) {
    std::string row0(32, '.'), row1(32, '.'), row2(32, '.');
    for (int c = 0; c < 12; ++c) {
      const auto x = static_cast<std::size_t>(31 - k + c);
      if (x > 31) continue;
      row0[x] = c < 10 ? 'R' : 'G';
      row1[x] = (c == 0 || c == 9) ? 'R' : c < 10 ? '.' : 'G';
    }
    ASSERT_EQ(ArtOf(shots[k].frame, 0, 3, 32), row0 + "\n" + row1 + "\n" + row2 + "\n") << k;
  }
  EXPECT_EQ(std::pair(shots[9].item, shots[10].item), std::pair(0, 1));
}

TEST(PlaybackEngine, AnimationShowsEachFrameEveryFourPeriods) {
  PreviewBuilder b(2, 1);
  b.Animation({Art{{"R."}}, Art{{".G"}}, Art{{"YY"}}}, 1);
  b.OneLine(kA, 16, 0, 0, 15);
  const auto shots = Player(b).Frames(13);
  const char* shown[] = {"..", "R.", ".G", "YY"};  // columns 15-16; frame i shows (i + 1) / 4
  for (int i = 0; i < 12; ++i) {
    const std::string row = std::string(15, '.') + shown[(i + 1) / 4] + std::string(15, '.');
    EXPECT_EQ(ArtOf(shots[i].frame, 0, 1, 32), row + "\n") << "frame " << i;
    EXPECT_EQ(PeriodItem(shots[i]), std::pair(i < 11 ? 20 : 10, 0)) << "frame " << i;
  }
  EXPECT_EQ(shots[12].item, 1);
}

TEST(PlaybackEngine, ClockItemBlinksItsSeparator) {
  PreviewBuilder b(6, 1);
  b.Add(item::ItemKind::DateTime).header[item::hdr::kHold] = 1;  // 125 frames
  Player p(b, {2025, 3, 7, 0, 30, 0});
  const auto shots = p.Frames(126);
  for (int i = 0; i < 125; ++i) {
    ASSERT_EQ(ReadText(shots[i].frame, 44, 0, 32), i % 60 >= 30 ? "12:3" : "12 3") << i;
    ASSERT_EQ(shots[i].period, 20);
  }
  // The counter keeps running across items: the next clock frame is number 125.
  EXPECT_EQ(ReadText(shots[125].frame, 44, 0, 32), "12 3");
  EXPECT_EQ(std::pair(shots[124].starts, shots[125].starts), std::pair(1, 2));
}

// The count is appended on one tier (passing through when too wide), written below on two.
TEST(PlaybackEngine, DDayItemsShowTheCount) {
  const auto dday = [](PreviewBuilder& b, const char* text, int y, int m, int d, std::uint8_t a) {
    item::ItemRecord& r = b.Text(item::ItemKind::DDay, text, a);
    r.header.set16(item::hdr::kDDayYear, static_cast<std::uint16_t>(y));
    return &PreviewBuilder::Set(r, {{item::hdr::kDDayMonth, m}, {item::hdr::kDDayDay, d}});
  };
  const LocalTime noon{2025, 3, 7, 12, 0, 0};
  PreviewBuilder one(6, 1), two(6, 2), narrow(2, 1);
  dday(one, "AB", 2025, 3, 8, Attr(1))->body.attrA[2] = Attr(2);  // "D" takes the attribute there
  Player p(one, noon);
  const auto shots = p.Frames(313);
  const FrameBuffer& f = shots[0].frame;
  EXPECT_EQ(ReadText(f, 28, 0, 40), "ABD-1");
  EXPECT_EQ(std::vector<int>({f.at(5, 28), f.at(5, 44), f.at(5, 52)}),
            std::vector<int>({kDotGreen, kDotYellow, kDotRed}));
  EXPECT_EQ(shots[0].period, 20);
  for (int i = 1; i < 312; ++i) ASSERT_EQ(shots[i].frame, f) << i;
  EXPECT_EQ(p.engine().itemStarts(), 2);

  dday(two, "Exam", 2024, 1, 1, Attr(1));
  const FrameBuffer g = Player(two, noon).Frames(1)[0].frame;
  EXPECT_EQ(ReadText(g, 32, 0, 32), "Exam");
  EXPECT_EQ(ReadText(g, 24, 16, 48), "D-XXXX");
  EXPECT_EQ(g.at(20, 24), kDotRed);

  dday(narrow, "AB", 2025, 3, 7, 0);
  EXPECT_TRUE(Moves(Player(narrow, noon).Frames(32 + 40), 0, 32 + 40 - 1, "ABD-0", 31, -1, 32));
}

// With no items, or none the engine can show, the logo stands, centred and cut at the
// board's edge: on two tiers a red picture over a green one, on one tier rows 0-15 only.
TEST(PlaybackEngine, ProgramWithNothingToShowShowsTheLogo) {
  auto logo = [](const PreviewBuilder& b) {  // the first frame; the logo never changes
    Player p(b);
    EXPECT_TRUE(p.engine().showingLogo());
    const auto shots = p.Frames(60);
    EXPECT_EQ(shots[0].period, 30);
    for (const Shot& s : shots) EXPECT_EQ(s.frame, shots[0].frame);
    return shots[0].frame;
  };
  PreviewBuilder unplayable(6, 2), empty(6, 2);
  unplayable.AddRaw(7);
  unplayable.AddRaw(200);
  unplayable.Add(item::ItemKind::Animation).header[item::hdr::kFrames] = 0;
  empty.OneLine(kA, 16, 0, 0, 15);
  empty.SetCount(0);  // the item table is not read
  const FrameBuffer six = logo(unplayable);
  EXPECT_EQ(logo(empty), six);
  EXPECT_EQ(ArtOf(logo(PreviewBuilder(8, 2)), 0, 32, 96, 16), ArtOf(six, 0, 32, 96));
  EXPECT_EQ(ArtOf(logo(PreviewBuilder(4, 2)), 0, 32, 64), ArtOf(six, 0, 32, 64, 8));
  const std::string art = ArtOf(six, 0, 32, 96), upper = art.substr(0, 16 * 97);
  EXPECT_EQ(upper.find_first_not_of(".R\n"), std::string::npos);
  EXPECT_EQ(art.substr(16 * 97).find_first_not_of(".G\n"), std::string::npos);
  EXPECT_TRUE(upper.find('R') != std::string::npos && art.find('G') != std::string::npos);
  const FrameBuffer oneTier = logo(PreviewBuilder(6, 1));
  EXPECT_TRUE(!Blank(oneTier, 0, 16, 96) && Blank(oneTier, 16, 16, 96));
}
