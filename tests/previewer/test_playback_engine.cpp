#include <gtest/gtest.h>

#include <memory>

#include "engine_test_support.h"
#include "preview_builder.h"
#include "previewer/logo_screen.h"
#include "previewer/playback_engine.h"

using namespace testing_preview;

namespace {

struct Shot {
  FrameBuffer frame;
  int period = 0;
  int item = 0;
  int starts = 0;  // items started before the step
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
      const int item = engine_.itemIndex();
      const int starts = engine_.itemStarts();
      if (engine_.Step()) out.push_back({engine_.front(), engine_.framePeriodMs(), item, starts});
    }
    return out;
  }
  PlaybackEngine& engine() { return engine_; }
  int width() const { return engine_.geometry().width; }

 private:
  FlashImage image_;
  FixedClock clock_;
  PlaybackEngine engine_;
};

const char* kA = "AB";   // 16 dots in the 16-dot font
const char* kB = "xyz";  // 24 dots
const char* kWide = "0123456789ab";
// The logo on a two-tier board of six modules.
const char* kTwoTierLogo =
    ".............................................................................................."
    "..\n"
    "...........RR......RR........RRRRRR........RRRRRRRR........RR......RR........RRRRRR..........."
    "..\n"
    "...........RR......RR........RRRRRR........RRRRRRRR........RR......RR........RRRRRR..........."
    "..\n"
    "...........RR......RR......RR......RR......RR......RR......RRRR....RR......RR......RR........."
    "..\n"
    "...........RR......RR......RR......RR......RR......RR......RRRR....RR......RR......RR........."
    "..\n"
    "...........RR......RR......RR......RR......RR......RR......RR..RR..RR......RR......RR........."
    "..\n"
    "...........RR......RR......RR......RR......RR......RR......RR..RR..RR......RR......RR........."
    "..\n"
    "...........RR......RR......RRRRRRRRRR......RRRRRRRR........RR....RRRR......RR......RR........."
    "..\n"
    "...........RR......RR......RRRRRRRRRR......RRRRRRRR........RR....RRRR......RR......RR........."
    "..\n"
    "...........RR......RR......RR......RR......RR..RR..........RR......RR......RR......RR........."
    "..\n"
    "...........RR......RR......RR......RR......RR..RR..........RR......RR......RR......RR........."
    "..\n"
    ".............RR..RR........RR......RR......RR....RR........RR......RR......RR......RR........."
    "..\n"
    ".............RR..RR........RR......RR......RR....RR........RR......RR......RR......RR........."
    "..\n"
    "...............RR..........RR......RR......RR......RR......RR......RR........RRRRRR..........."
    "..\n"
    "...............RR..........RR......RR......RR......RR......RR......RR........RRRRRR..........."
    "..\n"
    ".............................................................................................."
    "..\n"
    ".............................................................................................."
    "..\n"
    ".........G.G.G.G.G.G.G.G.G.G.G.G.G.G.G.G.G.G.G.G.G.G.G.G.G.G.G.G.G.G.G.G.G.G.G.G.G.G.G.G......"
    "..\n"
    ".............................................................................................."
    "..\n"
    ".............................................................................................."
    "..\n"
    ".............................................................................................."
    "..\n"
    ".........................GGGG...GGGG...GGGGG..G...G...GGG...GGGGG..G...G......................"
    "..\n"
    ".........................G...G..G...G..G......G...G....G....G......G...G......................"
    "..\n"
    ".........................G...G..G...G..G......G...G....G....G......G...G......................"
    "..\n"
    ".........................GGGG...GGGG...GGGG...G...G....G....GGGG...G.G.G......................"
    "..\n"
    ".........................G......G.G....G......G...G....G....G......G.G.G......................"
    "..\n"
    ".........................G......G..G...G.......G.G.....G....G......GG.GG......................"
    "..\n"
    ".........................G......G...G..GGGGG....G.....GGG...GGGGG..G...G......................"
    "..\n"
    ".............................................................................................."
    "..\n"
    ".............................................................................................."
    "..\n"
    ".........G.G.G.G.G.G.G.G.G.G.G.G.G.G.G.G.G.G.G.G.G.G.G.G.G.G.G.G.G.G.G.G.G.G.G.G.G.G.G.G......"
    "..\n"
    ".............................................................................................."
    "..\n";  // 96 dots, wider than a 4-module board

}  // namespace

TEST(PlaybackEngine, NoneEntryHoldsCentredThenNextItemWithoutExit) {
  PreviewBuilder b(6, 1);
  b.OneLine(kA, 16, 2, 2, 15);  // hold 3 s at level 4
  b.OneLine(kB, 16, 0, 0, 15);
  Player p(b);
  const auto shots = p.Frames(188);
  const FrameBuffer centred = RenderText(kA, 40, 0, 16, 96);
  for (int i = 0; i < 187; ++i) {
    ASSERT_TRUE(SameArea(shots[i].frame, centred, 0, 16, 96)) << "frame " << i;
    EXPECT_EQ(shots[i].period, 30);
    EXPECT_EQ(shots[i].item, 0);
  }
  EXPECT_TRUE(SameArea(shots[187].frame, RenderText(kB, 36, 0, 16, 96), 0, 16, 96));
  EXPECT_EQ(shots[187].period, 10);
}

TEST(PlaybackEngine, SpeedCodesMapToFramePeriods) {
  const int expected[] = {10, 20, 30, 40, 40, 40};
  for (int code = 0; code < 6; ++code) {
    PreviewBuilder b(4, 1);
    b.OneLine(kA, 16, code, 0, 15);
    Player p(b);
    EXPECT_EQ(p.Frames(1)[0].period, expected[code]) << "speed code " << code;
  }
}

TEST(PlaybackEngine, SingleItemStartsAgainFromItsEntryAfterItsExit) {
  PreviewBuilder b(2, 1);
  b.OneLine(kA, 1, 0, 0, 0);  // slides in, holds 1 s = 62 frames, slides out to the left
  Player p(b);
  const auto shots = p.Frames(300);
  const FrameBuffer centred = RenderText(kA, 8, 0, 16, 32);
  std::size_t run = 0;
  while (run < shots.size() && shots[run].starts == 1) ++run;
  ASSERT_LT(run, shots.size() / 2);
  // The first run: an entry whose finishing frame is the centred text, the 62 frames of the
  // hold, an exit (whose first frame may still be whole) that ends on an empty board.
  std::size_t entry = 0;
  while (!SameArea(shots[entry].frame, centred, 0, 16, 32)) ++entry;
  EXPECT_GT(entry, 16u);
  std::size_t still = entry;
  while (SameArea(shots[still].frame, centred, 0, 16, 32)) ++still;
  EXPECT_GE(still - entry, 63u);
  EXPECT_LE(still - entry, 64u);
  EXPECT_TRUE(Blank(shots[run - 1].frame, 0, 16, 32));
  // The second run repeats the first frame for frame, entry included.
  for (std::size_t i = 0; i < run; ++i) {
    ASSERT_TRUE(SameArea(shots[run + i].frame, shots[i].frame, 0, 16, 32)) << i;
    ASSERT_EQ(shots[run + i].period, shots[i].period) << i;
  }
  EXPECT_EQ(p.engine().programLoops(), 2);
}

TEST(PlaybackEngine, WideTextHoldsLeftScrollsToItsEndHoldsAgainThenLeaves) {
  PreviewBuilder b(4, 1);  // 64 dots; the text is 96
  b.OneLine(kWide, 16, 1, 0, 15);
  b.OneLine(kA, 16, 1, 0, 15);
  Player p(b);
  const auto shots = p.Frames(62 + 32 + 62 + 1);
  for (int i = 0; i < 62; ++i) {
    ASSERT_TRUE(SameArea(shots[i].frame, RenderText(kWide, 0, 0, 16, 64), 0, 16, 64)) << i;
  }
  // One dot further left each frame until the end of the text meets the right edge.
  for (int k = 1; k <= 32; ++k) {
    ASSERT_TRUE(SameArea(shots[61 + k].frame, RenderText(kWide, -k, 0, 16, 64), 0, 16, 64))
        << "scroll frame " << k;
    EXPECT_EQ(shots[61 + k].period, 20);
  }
  for (int i = 94; i < 156; ++i) {
    ASSERT_TRUE(SameArea(shots[i].frame, RenderText(kWide, -32, 0, 16, 64), 0, 16, 64)) << i;
  }
  EXPECT_EQ(shots[156].item, 1);
}

TEST(PlaybackEngine, WideTextEntersAlignedLeftAndLeavesFromItsEnd) {
  PreviewBuilder b(4, 1);
  b.OneLine(kWide, 1, 1, 0, 0);  // slides in, slides out
  b.OneLine(kA, 16, 1, 0, 15);
  Player p(b);
  const auto shots = p.Frames(500);
  const FrameBuffer left = RenderText(kWide, 0, 0, 16, 64);
  const FrameBuffer end = RenderText(kWide, -32, 0, 16, 64);
  std::size_t i = 0;
  while (!SameArea(shots[i].frame, left, 0, 16, 64)) ++i;  // the entry ends aligned left
  EXPECT_GT(i, 32u);
  std::size_t held = i;
  while (SameArea(shots[held].frame, left, 0, 16, 64)) ++held;
  EXPECT_EQ(held - i, 63u);  // the entry's finishing frame and the 62 of the hold
  for (int k = 1; k <= 32; ++k) {
    ASSERT_TRUE(SameArea(shots[held + k - 1].frame, RenderText(kWide, -k, 0, 16, 64), 0, 16, 64));
  }
  std::size_t atEnd = held + 32;
  while (SameArea(shots[atEnd].frame, end, 0, 16, 64)) ++atEnd;
  EXPECT_GE(atEnd - (held + 32), 62u);  // the second hold
  // The exit moves the end-aligned picture out: its first frames still show the text's end.
  EXPECT_FALSE(Blank(shots[atEnd].frame, 0, 16, 64));
  std::size_t next = atEnd;
  while (shots[next].item == 0) ++next;
  EXPECT_TRUE(Blank(shots[next - 1].frame, 0, 16, 64));
  EXPECT_TRUE(SameArea(shots[next].frame, RenderText(kA, 24, 0, 16, 64), 0, 16, 64));
}

TEST(PlaybackEngine, PassThroughWithoutConnectionLeavesTheBoardBeforeTheNextEnters) {
  PreviewBuilder b(2, 1, false);
  b.OneLine(kA, 0, 0, 0, 0);
  b.OneLine(kB, 0, 0, 0, 0);
  Player p(b);
  const int w = 32, wa = 16;
  const auto shots = p.Frames(w + wa - 1 + 30);
  for (int k = 0; k < w + wa - 1; ++k) {
    ASSERT_TRUE(SameArea(shots[k].frame, RenderText(kA, w - 1 - k, 0, 16, w), 0, 16, w)) << k;
    ASSERT_EQ(shots[k].item, 0);
  }
  for (int k = 0; k < 30; ++k) {
    const Shot& s = shots[w + wa - 1 + k];
    ASSERT_TRUE(SameArea(s.frame, RenderText(kB, w - 1 - k, 0, 16, w), 0, 16, w)) << k;
    EXPECT_EQ(s.item, 1);
  }
}

TEST(PlaybackEngine, PassThroughWithConnectionRunsStraightIntoTheNextItem) {
  PreviewBuilder b(2, 1, true);
  b.OneLine(kA, 0, 0, 0, 0);
  b.OneLine(kB, 0, 1, 0, 0);
  b.OneLine(kA, 16, 0, 0, 15);  // not pass-through: the chain ends with kB
  Player p(b);
  const int w = 32;
  const std::string joined = std::string(kA) + kB;
  const auto shots = p.Frames(72);
  // A and B move as one text: no blank column between them.
  for (int k = 0; k < 48; ++k) {
    ASSERT_TRUE(SameArea(shots[k].frame, RenderText(joined, w - 1 - k, 0, 16, w), 0, 16, w)) << k;
  }
  EXPECT_EQ(shots[15].item, 0);  // A's end reached the right edge
  EXPECT_EQ(shots[16].item, 1);
  EXPECT_EQ(shots[16].period, 20);
  // B is followed by a held item, so B leaves the board completely.
  EXPECT_TRUE(SameArea(shots[70].frame, RenderText(kB, -23, 0, 16, w), 0, 16, w));
  EXPECT_EQ(shots[70].item, 1);
  EXPECT_EQ(shots[71].item, 2);
  EXPECT_TRUE(SameArea(shots[71].frame, RenderText(kA, 8, 0, 16, w), 0, 16, w));
}

TEST(PlaybackEngine, OneLineOnTwoTiersUsesThe32DotFont) {
  PreviewBuilder b(6, 2);
  b.OneLine(
      "\xB0\xA1"
      "A",
      16, 0, 0, 15);  // 32 + 16 dots
  Player p(b);
  const auto shots = p.Frames(1);
  EXPECT_TRUE(SameArea(shots[0].frame,
                       RenderText("\xB0\xA1"
                                  "A",
                                  24, 0, 32, 96),
                       0, 32, 96));
  EXPECT_EQ(CodeAt(shots[0].frame, 24, 0, true), 0xB0A1);
}

TEST(PlaybackEngine, AttributesColourEachCharacter) {
  PreviewBuilder b(2, 1);
  ItemRecord& r = b.OneLine("AB", 16, 0, 0, 15);
  r.body.attrA[0] = Attr(1, 3);  // green on yellow
  r.body.attrA[1] = Attr(3, 1);  // unlit on red
  Player p(b);
  const FrameBuffer f = p.Frames(1)[0].frame;
  EXPECT_EQ(f.at(5, 8), kDotGreen);
  EXPECT_EQ(f.at(5, 15), kDotYellow);  // the glyph's unlit last column shows the background
  EXPECT_EQ(f.at(5, 16), kDotOff);
  EXPECT_EQ(f.at(5, 23), kDotRed);
}

TEST(PlaybackEngine, TwoLineItemRunsBothLinesAndBlanksTheOneThatIsDone) {
  PreviewBuilder b(4, 2);
  ItemRecord& r = b.Add(ItemKind::TwoLine);
  r.header[hdr::kUpperEntry] = 16;
  r.header[hdr::kUpperHold] = 0;  // 62 frames
  r.header[hdr::kUpperExit] = 15;
  r.header[hdr::kLowerEntry] = 16;
  r.header[hdr::kLowerHold] = 1;  // 125 frames
  r.header[hdr::kLowerExit] = 15;
  r.header[hdr::kTwoLineSpeed] = 3;
  PreviewBuilder::SetText(r.body.textA, r.body.attrA, kA, 0);
  PreviewBuilder::SetText(r.body.textB, r.body.attrB, kB, Attr(1));
  b.OneLine("Z", 16, 0, 0, 15);
  Player p(b);
  const auto shots = p.Frames(127);
  const FrameBuffer up = RenderText(kA, 24, 0, 16, 64);
  const FrameBuffer down = RenderText(kB, 20, 16, 16, 64, kDotGreen);
  for (int i = 0; i < 126; ++i) {
    SCOPED_TRACE(i);
    // The last frame is shown at the period of the item that follows.
    ASSERT_EQ(shots[i].period, i < 125 ? 40 : 10);
    ASSERT_EQ(shots[i].item, 0);
    ASSERT_TRUE(SameArea(shots[i].frame, down, 16, 16, 64));
    // The upper line shows through its hold and the step that ends it, then stays blank.
    if (i <= 62) {
      ASSERT_TRUE(SameArea(shots[i].frame, up, 0, 16, 64));
    } else {
      ASSERT_TRUE(Blank(shots[i].frame, 0, 16, 64));
    }
  }
  EXPECT_EQ(shots[126].item, 1);
}

TEST(PlaybackEngine, TitleStaysWhileTheSentencePassesThrough) {
  PreviewBuilder b(2, 2);
  ItemRecord& r = b.Add(ItemKind::TitleSentence);
  r.header[hdr::kLowerEntry] = 0;
  r.header[hdr::kSentenceSpeed] = 0;
  PreviewBuilder::SetText(r.body.textA, r.body.attrA, "T", 0);
  PreviewBuilder::SetText(r.body.textB, r.body.attrB, kA, 0);
  Player p(b);
  const auto shots = p.Frames(32 + 16);
  for (int k = 0; k < 32 + 15; ++k) {
    SCOPED_TRACE(k);
    ASSERT_TRUE(SameArea(shots[k].frame, RenderText("T", 12, 0, 16, 32), 0, 16, 32));
    ASSERT_TRUE(SameArea(shots[k].frame, RenderText(kA, 31 - k, 16, 16, 32), 16, 16, 32));
    ASSERT_EQ(shots[k].period, 10);
  }
  EXPECT_EQ(p.engine().itemStarts(), 2);  // the only item started again
}

TEST(PlaybackEngine, BitmapTenRowsHighLightsOnlyItsRows) {
  Art art;
  for (int r = 0; r < 10; ++r) art.rows.push_back("YYYYYYYYYYYY");
  for (int mode = 0; mode < 2; ++mode) {
    PreviewBuilder b(2, 2);
    b.Bitmap(art, mode, 0, 0);
    Player p(b);
    bool lit = false;
    for (const Shot& s : p.Frames(80)) {
      ASSERT_TRUE(Blank(s.frame, 10, 22, 32)) << "mode " << mode;
      lit = lit || !Blank(s.frame, 0, 10, 32);
    }
    EXPECT_TRUE(lit);
  }
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
}

TEST(PlaybackEngine, ScrolledBitmapsChainLikeTexts) {
  const Art one{{"RRRRRRRRRR", "R........R"}};  // 10 wide
  const Art two{{"GG", "GG"}};
  PreviewBuilder b(2, 1, true);
  b.Bitmap(one, 1, 0, 0);
  b.Bitmap(two, 1, 0, 0);
  b.OneLine(kA, 16, 0, 0, 15);
  Player p(b);
  const auto shots = p.Frames(50);
  // Frame k shows both pictures side by side, the first starting at column 31 - k.
  for (int k = 0; k < 40; ++k) {
    std::string row0(32, '.'), row1(32, '.');
    for (int c = 0; c < 12; ++c) {
      const int x = 31 - k + c;
      if (x < 0 || x > 31) continue;
      row0[static_cast<std::size_t>(x)] = c < 10 ? 'R' : 'G';
      row1[static_cast<std::size_t>(x)] = (c == 0 || c == 9) ? 'R' : c < 10 ? '.' : 'G';
    }
    ASSERT_EQ(ArtOf(shots[k].frame, 0, 2, 32), row0 + "\n" + row1 + "\n") << "frame " << k;
  }
  EXPECT_EQ(shots[9].item, 0);
  EXPECT_EQ(shots[10].item, 1);
}

TEST(PlaybackEngine, AnimationShowsEachFrameEveryFourPeriods) {
  const std::vector<Art> frames = {Art{{"R."}}, Art{{".G"}}, Art{{"YY"}}};
  PreviewBuilder b(2, 1);
  b.Animation(frames, 1);
  b.OneLine(kA, 16, 0, 0, 15);
  Player p(b);
  const auto shots = p.Frames(13);
  const std::string blank(32, '.');
  auto row = [&](const char* two) {
    std::string s = blank;
    s.replace(15, 2, two);
    return s + "\n";
  };
  const std::string expected[12] = {blank + "\n", blank + "\n", blank + "\n", row("R."),
                                    row("R."),    row("R."),    row("R."),    row(".G"),
                                    row(".G"),    row(".G"),    row(".G"),    row("YY")};
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(ArtOf(shots[i].frame, 0, 1, 32), expected[i]) << "frame " << i;
    EXPECT_EQ(shots[i].period, i < 11 ? 20 : 10);
    EXPECT_EQ(shots[i].item, 0);
  }
  EXPECT_EQ(shots[12].item, 1);
}

TEST(PlaybackEngine, ClockItemBlinksItsSeparator) {
  PreviewBuilder b(6, 1);
  ItemRecord& r = b.Add(ItemKind::DateTime);
  r.header[hdr::kHold] = 1;  // 125 frames
  Player p(b, {2025, 3, 7, 0, 30, 0});
  const auto shots = p.Frames(126);
  for (int i = 0; i < 125; ++i) {
    const bool shown = i % 60 >= 30;
    ASSERT_EQ(ReadNarrow(shots[i].frame, 44, 0, 4), shown ? "12:3" : "12 3") << i;
    ASSERT_EQ(shots[i].period, 20);
  }
  // The counter keeps running across items: the next clock frame is number 125.
  EXPECT_EQ(ReadNarrow(shots[125].frame, 44, 0, 4), "12 3");
}

TEST(PlaybackEngine, DDayOnOneTierAppendsToTheText) {
  PreviewBuilder b(6, 1);
  ItemRecord& r = b.Add(ItemKind::DDay);
  PreviewBuilder::SetText(r.body.textA, r.body.attrA, "AB", Attr(1));
  r.body.attrA[2] = Attr(2);  // the appended "D" takes the attribute at its position
  r.header.set16(hdr::kDDayYear, 2025);
  r.header[hdr::kDDayMonth] = 3;
  r.header[hdr::kDDayDay] = 8;
  Player p(b, {2025, 3, 7, 12, 0, 0});
  const auto shots = p.Frames(313);
  EXPECT_EQ(ReadNarrow(shots[0].frame, 28, 0, 5), "ABD-1");
  EXPECT_EQ(shots[0].frame.at(5, 28), kDotGreen);
  EXPECT_EQ(shots[0].frame.at(5, 44), kDotYellow);
  EXPECT_EQ(shots[0].frame.at(5, 52), kDotRed);
  EXPECT_EQ(shots[0].period, 20);
  for (int i = 1; i < 312; ++i) ASSERT_EQ(shots[i].frame, shots[0].frame) << i;
  EXPECT_EQ(p.engine().itemStarts(), 2);
}

TEST(PlaybackEngine, DDayOnTwoTiersWritesTheCountBelow) {
  PreviewBuilder b(6, 2);
  ItemRecord& r = b.Add(ItemKind::DDay);
  PreviewBuilder::SetText(r.body.textA, r.body.attrA, "Exam", Attr(1));
  r.header.set16(hdr::kDDayYear, 2024);
  r.header[hdr::kDDayMonth] = 1;
  r.header[hdr::kDDayDay] = 1;
  Player p(b, {2025, 3, 7, 12, 0, 0});
  const FrameBuffer f = p.Frames(1)[0].frame;
  EXPECT_EQ(ReadNarrow(f, 32, 0, 4), "Exam");
  EXPECT_EQ(ReadNarrow(f, 24, 16, 6), "D-XXXX");
  EXPECT_EQ(f.at(20, 24), kDotRed);
}

TEST(PlaybackEngine, WideDDayTextPassesThrough) {
  PreviewBuilder b(2, 1);
  ItemRecord& r = b.Add(ItemKind::DDay);
  PreviewBuilder::SetText(r.body.textA, r.body.attrA, "AB", 0);
  r.header.set16(hdr::kDDayYear, 2025);
  r.header[hdr::kDDayMonth] = 3;
  r.header[hdr::kDDayDay] = 7;
  Player p(b, {2025, 3, 7, 12, 0, 0});
  const auto shots = p.Frames(32 + 40);
  for (int k = 0; k < 32 + 40 - 1; ++k) {
    ASSERT_TRUE(SameArea(shots[k].frame, RenderText("ABD-0", 31 - k, 0, 16, 32), 0, 16, 32)) << k;
  }
}

TEST(PlaybackEngine, TemperatureAndUnknownKindsAreSkipped) {
  PreviewBuilder b(2, 1);
  b.AddRaw(7);
  b.OneLine(kA, 16, 0, 0, 15);
  b.AddRaw(200);
  Player p(b);
  const auto shots = p.Frames(62 * 3);
  for (const Shot& s : shots) {
    ASSERT_EQ(s.item, 1);
    ASSERT_TRUE(SameArea(s.frame, RenderText(kA, 8, 0, 16, 32), 0, 16, 32));
  }
}

TEST(PlaybackEngine, ProgramWithNothingToShowFallsBackToTheLogo) {
  PreviewBuilder b(6, 1);
  b.AddRaw(7);
  b.AddRaw(9);
  ItemRecord& anim = b.Add(ItemKind::Animation);  // no frames
  anim.header[hdr::kFrames] = 0;
  Player p(b);
  EXPECT_TRUE(p.engine().showingLogo());
  FrameBuffer logo;
  DrawLogoScreen(logo, p.engine().geometry());
  const auto shots = p.Frames(3);
  ASSERT_EQ(shots.size(), 3u);
  for (const Shot& s : shots) EXPECT_TRUE(SameArea(s.frame, logo, 0, 16, 96));
}

TEST(PlaybackEngine, EmptyProgramShowsTheLogoWhateverTheItemTableHolds) {
  PreviewBuilder b(6, 2);
  b.OneLine(kA, 16, 0, 0, 15);
  b.SetCount(0);
  Player p(b);
  EXPECT_TRUE(p.engine().showingLogo());
  const auto shots = p.Frames(60);
  EXPECT_EQ(shots[0].period, 30);
  EXPECT_EQ(ArtOf(shots[0].frame, 0, 32, 96), kTwoTierLogo) << ArtOf(shots[0].frame, 0, 32, 96);
  for (const Shot& shot : shots) ASSERT_EQ(shot.frame, shots[0].frame);
}
