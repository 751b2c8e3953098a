// Entry and exit effects on synthetic pictures: which way each one moves, how many frames
// it takes and how fast it turns, that it ends on its finishing frame, never touches
// anything outside its family's area, and that two lines can move at once.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "sign/effect_copy.h"
#include "sign/effects.h"

using namespace sign;

namespace {

constexpr EffectFamily k32 = EffectFamily::kOneLine32, k16 = EffectFamily::kOneLine16,
                       kUp = EffectFamily::kUpperLine, kLow = EffectFamily::kLowerLine;
constexpr EffectMode kIn = EffectMode::kEntry, kOut = EffectMode::kExit;
constexpr std::uint8_t kSentinel = 0x3F;  // unlit for the surface, but not zero

std::string Name(EffectFamily f, EffectMode m, int code, int width) {
  return "family " + std::to_string(static_cast<int>(f)) + (m == kIn ? " entry " : " exit ") +
         std::to_string(code) + " W " + std::to_string(width);
}

// A picture over the whole buffer; `every` sets how sparse it is.
FrameBuffer Pattern(int every = 7) {
  static constexpr std::uint8_t kColours[] = {kDotRed, kDotGreen, kDotYellow};
  FrameBuffer fb;
  for (int r = 0; r < kFrameRows; ++r) {
    for (int c = 0; c < kFrameColumns; ++c) {
      if ((r * 5 + c * 3) % every < 3) fb.set(r, c, kColours[(r + c) % 3]);
    }
  }
  return fb;
}

bool SameRows(const FrameBuffer& a, const FrameBuffer& b, int top, int rows, int width) {
  for (int r = top; r < top + rows; ++r) {
    if (!std::equal(a.row(r), a.row(r) + width, b.row(r))) return false;
  }
  return true;
}

std::string ArtOfRow(const FrameBuffer& f, int r, int width) {
  std::string s;
  for (int c = 0; c < width; ++c) s.push_back(".GRY"[f.at(r, c) >> 6]);
  return s;
}

using FrameFn = std::function<void(const FrameBuffer&, const EffectState&)>;

// Steps an effect as the engine does, alternating two back buffers filled with a sentinel,
// and calls `frame` after each step. Returns the steps until done (-1: it never ends).
int RunEffect(EffectFamily f, EffectMode m, int code, int level, int width, const FrameBuffer& work,
              const FrameFn& frame = {}) {
  EffectState s;
  StartEffect(s, f, m, code, level, width, 0, width);
  FrameBuffer buffers[2];
  buffers[0].dots.fill(kSentinel);
  buffers[1].dots.fill(kSentinel);
  for (int n = 1; n <= 20000; ++n) {
    FrameBuffer& back = buffers[n % 2];
    const bool done = StepEffect(s, work, back);
    if (frame) frame(back, s);
    if (done) return n;
  }
  return -1;
}

TEST(EffectFrames, MovingFramesByFamilyCodeAndSpeed) {
  // Slides take a frame a dot, vertical slides half a row (a third on the lower line and
  // descending on 16 rows), zooms W / ((6 - level) dots), rotations end a frame after
  // their motion.
  const std::tuple<EffectFamily, EffectMode, int, int, int, int> cases[] = {
      {k32, kIn, kEntryFromRight, 4, 96, 95},
      {k16, kOut, kExitToLeft, 3, 32, 32},
      {k16, kOut, kExitToLeft, 3, 320, 320},
      {k32, kIn, kEntryFromBottom, 4, 96, 61},
      {kLow, kIn, kEntryFromBottom, 4, 96, 43},
      {kUp, kIn, kEntryFromBottom, 4, 96, 29},
      {k16, kIn, kEntryFromBottom, 4, 96, 29},
      {k32, kIn, kEntryFromTop, 4, 96, 61},
      {k16, kIn, kEntryFromTop, 4, 96, 43},
      {kUp, kIn, kEntryFromTop, 4, 96, 29},
      {kLow, kIn, kEntryFromTop, 4, 96, 43},
      {k32, kIn, kEntryRowsOutOfMiddle, 4, 96, 16},
      {k16, kIn, kEntryRowsFromEdges, 4, 96, 8},
      {k32, kIn, kEntryColumnsFromEdges, 4, 96, 48},
      {kLow, kOut, kExitRowsIntoMiddle, 4, 96, 8},
      {kUp, kOut, kExitColumnsApart, 4, 96, 48},
      {k32, kIn, kEntryGrow, 4, 96, 48},
      {k32, kIn, kEntryShrinkAcross, 2, 96, 24},
      {kUp, kOut, kExitEnlarge, 4, 96, 48},
      {kLow, kOut, kExitShrinkAcross, 5, 96, 95},
      {k32, kIn, kEntryRotateFromAbove, 2, 64, 75},
      {k32, kIn, kEntryRotateFromLeft, 2, 64, 90},
      {k16, kOut, kExitRotateUp, 4, 96, 141},
      {kLow, kOut, kExitRotateRight, 5, 96, 481}};
  for (auto [f, m, code, level, width, frames] : cases) {
    EXPECT_EQ(RunEffect(f, m, code, level, width, Pattern()) - 1, frames)
        << Name(f, m, code, width) << " level " << level;
  }
}

TEST(EffectFrames, RotationsTurnByTheSpeedLevel) {
  // family, mode, code, level, degrees per frame
  const std::tuple<EffectFamily, EffectMode, int, int, int> cases[] = {
      {k32, kIn, kEntryRotateFromAbove, 2, 24}, {k16, kIn, kEntryRotateFromBelow, 2, 24},
      {k32, kIn, kEntryRotateFromAbove, 5, 6},  {kUp, kIn, kEntryRotateFromAbove, 2, 16},
      {kLow, kIn, kEntryRotateFromBelow, 5, 4}, {k32, kIn, kEntryRotateFromLeft, 2, -16},
      {k32, kIn, kEntryRotateFromRight, 5, 4},  {k16, kOut, kExitRotateUp, 2, -16},
      {kLow, kOut, kExitRotateRight, 5, -4}};
  const FrameBuffer work = Pattern();
  for (auto [f, m, code, level, turn] : cases) {
    EffectState s;
    StartEffect(s, f, m, code, level, 96, 0, 96);
    FrameBuffer back;
    for (int n = 0, before = s.progress; n < 5; ++n, before = s.progress) {
      StepEffect(s, work, back);
      EXPECT_EQ((s.progress - before + 360) % 360, (turn + 360) % 360) << Name(f, m, code, 96);
    }
  }
}

TEST(EffectFrames, OneLineSlidesFollowTheItemRotationsAndZoomsUseLevelFour) {
  // family, mode, code, item level, level the effect asks for (0: none)
  const std::tuple<EffectFamily, EffectMode, int, int, int> cases[] = {
      {k32, kIn, kEntryFromRight, 2, 2},       {k16, kOut, kExitRowsApart, 5, 5},
      {k32, kIn, kEntryRotateFromBelow, 2, 4}, {k16, kOut, kExitEnlargeAcross, 5, 4},
      {kUp, kIn, kEntryFromBottom, 3, 0},      {kUp, kOut, kExitRotateDown, 3, 0},
      {kLow, kIn, kEntryFromBottom, 3, 0},     {kLow, kOut, kExitRotateDown, 3, 0}};
  for (auto [f, m, code, level, wanted] : cases) {
    EffectState s;
    StartEffect(s, f, m, code, level, 0, 0, 96);
    EXPECT_EQ(EffectSpeedLevel(s), wanted) << Name(f, m, code, 96);
  }
}

// Every code of every family: it ends, draws only inside its area, redraws the whole area
// every frame (nothing of the previous frame in that buffer survives), and its last frame
// is the whole picture (entries) or empty (exits); a code without a driver ends at once.
// Widths: 2, 5, 6 and 63 modules.
class EffectSweep : public ::testing::TestWithParam<int> {};

TEST_P(EffectSweep, EveryEffectStaysInItsAreaAndEndsOnItsFinishingFrame) {
  const int width = GetParam();
  const FrameBuffer work = Pattern(width > 200 ? 17 : 7), empty;
  for (EffectFamily f : {k32, k16, kUp, kLow}) {
    const int top = FamilyTop(f), rows = FamilyRowCount(f);
    for (EffectMode m : {kIn, kOut}) {
      for (int code = 0; code < CodeCount(m); ++code) {
        for (int level : {2, 5}) {
          // Slow levels on the widest board would only repeat the same frames many times over.
          if (width > 200 && level == 5) continue;
          const std::string what = Name(f, m, code, width) + " level " + std::to_string(level);
          bool outside = false, stale = false, finishing = false;
          const int steps = RunEffect(f, m, code, level, width, work, [&](auto& fb, auto& s) {
            for (int r = 0; r < kFrameRows; ++r) {
              const bool inside = r >= top && r < top + rows;
              outside = outside ||
                        std::any_of(fb.row(r) + (inside ? width : 0), fb.row(r) + kFrameColumns,
                                    [](std::uint8_t d) { return d != kSentinel; });
              stale = stale || (inside && std::count(fb.row(r), fb.row(r) + width, kSentinel) > 0);
            }
            if (s.done) finishing = SameRows(fb, m == kIn ? work : empty, top, rows, width);
          });
          EXPECT_EQ(steps > 1, HasEffectDriver(m, code)) << what;
          EXPECT_FALSE(outside) << what;
          EXPECT_FALSE(stale) << what;
          EXPECT_TRUE(finishing) << what;
        }
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Widths, EffectSweep, ::testing::Values(32, 80, 96, 1008));

// Both lines of a two-line item move at once in the same back buffer; each must look
// exactly as if it ran alone.
TEST(EffectLines, UpperAndLowerEffectsDoNotDisturbEachOther) {
  const int width = 96;
  const FrameBuffer work = Pattern();
  const std::pair<int, int> pairs[] = {{kEntryFromRight, kExitToLeft},
                                       {kEntryFromBottom, kExitToBottom},
                                       {kEntryRowsOutOfMiddle, kExitRotateUp},
                                       {kEntryRotateFromAbove, kExitRotateRight},
                                       {kEntryGrow, kExitShrink}};
  for (auto [entry, exit] : pairs) {
    EffectStates together, upperAlone, lowerAlone;
    StartEffect(together.upper, kUp, kIn, entry, 3, 0, 0, width);
    StartEffect(together.lower, kLow, kOut, exit, 3, 0, 0, width);
    upperAlone = lowerAlone = together;
    FrameBuffer both, upper, lower;
    for (int n = 0; n < 3000 && !(together.upper.done && together.lower.done); ++n) {
      if (!together.upper.done) {
        StepEffect(together.For(kUp), work, both);
        StepEffect(upperAlone.upper, work, upper);
      }
      if (!together.lower.done) {
        StepEffect(together.For(kLow), work, both);
        StepEffect(lowerAlone.lower, work, lower);
      }
      ASSERT_TRUE(SameRows(both, upper, 0, 16, width) && SameRows(both, lower, 16, 16, width))
          << "entry " << entry << " exit " << exit << " frame " << n;
    }
    EXPECT_TRUE(together.upper.done && together.lower.done);
  }
}

// The zooms keep the board's proportions: the height is p / (W / 32) with truncating
// divisions, which on a board of an odd number of modules is not p x 32 / W. A fully lit
// picture shows exactly the window the size has reached.
TEST(EffectZoom, WindowFollowsTheBoardsProportions) {
  struct Case {
    EffectMode mode;
    int code, width, frame, top, bottom, left, right;
  } cases[] = {
      {kIn, kEntryGrow, 80, 11, 11, 20, 30, 49},  {kIn, kEntryGrow, 80, 21, 6, 25, 20, 59},
      {kIn, kEntryGrow, 80, 31, 1, 30, 10, 69},   {kIn, kEntryGrow, 96, 25, 8, 23, 24, 71},
      {kOut, kExitShrink, 80, 20, 5, 26, 19, 60}, {kOut, kExitShrink, 80, 35, 13, 18, 34, 45},
      {kOut, kExitShrink, 96, 20, 6, 25, 19, 76},
  };
  FrameBuffer lit;
  lit.dots.fill(kDotRed);
  for (const Case& c : cases) {
    FrameBuffer expected, shown;
    for (int r = c.top; r <= c.bottom; ++r) {
      std::fill(expected.row(r) + c.left, expected.row(r) + c.right + 1, kDotRed);
    }
    int n = c.frame;
    RunEffect(k32, c.mode, c.code, 4, c.width, lit, [&](const FrameBuffer& fb, auto&) {
      if (--n == 0) shown = fb;
    });
    EXPECT_TRUE(SameRows(shown, expected, 0, 32, c.width))
        << Name(k32, c.mode, c.code, c.width) << " frame " << c.frame;
  }
}

TEST(EffectCopy, CosineTableAndSineRelation) {
  for (int d = 0; d < 360; ++d) {
    const double rad = d * 3.14159265358979323846 / 180.0;
    EXPECT_EQ(CosFixed(d), static_cast<int>(std::lround(std::cos(rad) * 65536.0))) << d;
    EXPECT_EQ(SinFixed(d), static_cast<int>(std::lround(std::sin(rad) * 65536.0))) << d;
  }
  EXPECT_EQ(CosFixed(-90), CosFixed(270));
  EXPECT_EQ(CosFixed(450), CosFixed(90));
}

// Only the picture is copied: source dots at or beyond W never enter the frame.
TEST(EffectCopy, CopiesSkipSourcesBeyondThePicture) {
  const EffectArea area{16, 16, 32};
  FrameBuffer src, dst;
  src.set(16, 31, kDotRed);
  src.set(16, 32, kDotGreen);
  CopyBlock b;
  b.sourceX = ToFixed(30);
  b.columns = 4;
  b.rows = 1;
  FixedCopy(area, b, src, dst, true);
  EXPECT_EQ(ArtOfRow(dst, 16, 4), ".R..");
  b.sourceX = 31;
  b.sourceColumnStep = b.sourceRowStep = b.destColumnStep = b.destRowStep = 1;
  DotCopy(area, b, src, dst, true);
  EXPECT_EQ(ArtOfRow(dst, 16, 4), "R...");
}

// Which way each effect moves: an asymmetric glyph (an F touching all four edges) on the
// one-line family of a one-tier board 16 dots wide, at speed level 2, and the first, middle
// and last moving frames of each effect side by side. Two dot rows a character: '▀' the
// upper dot lit, '▄' the lower, '█' both, '.' neither.
constexpr std::array<const char*, 16> kGlyph = {
    "################", "################", "##..............", "##..............",
    "##..............", "##..............", "#########.......", "#########.......",
    "##..............", "##..............", "##..............", "##..............",
    "##..............", "##..............", "##..............", "##.............."};

struct Motion {
  EffectMode mode;
  int code;
  int frames;                       // moving frames, before the finishing one
  std::array<const char*, 8> rows;  // first, middle and last frame
};

// clang-format off
constexpr Motion kMotions[] = {
    {kIn,  kEntryFromRight,            15, {"...............█ ........████████ .███████████████",
                                            "...............█ ........██...... .██.............",
                                            "...............█ ........██...... .██.............",
                                            "...............█ ........████████ .█████████......",
                                            "...............█ ........██...... .██.............",
                                            "...............█ ........██...... .██.............",
                                            "...............█ ........██...... .██.............",
                                            "...............█ ........██...... .██............."}},
    {kIn,  kEntryFromBottom,           29, {"................ ................ ▄▄▄▄▄▄▄▄▄▄▄▄▄▄▄▄",
                                            "................ ................ ██▀▀▀▀▀▀▀▀▀▀▀▀▀▀",
                                            "................ ................ ██..............",
                                            "................ ................ ██▄▄▄▄▄▄▄.......",
                                            "................ ████████████████ ██▀▀▀▀▀▀▀.......",
                                            "................ ██.............. ██..............",
                                            "................ ██.............. ██..............",
                                            "▄▄▄▄▄▄▄▄▄▄▄▄▄▄▄▄ █████████....... ██.............."}},
    {kIn,  kEntryFromTop,              43, {"▀▀.............. ██.............. ██▀▀▀▀▀▀▀▀▀▀▀▀▀▀",
                                            "................ ██.............. ██..............",
                                            "................ ██.............. ██▄▄▄▄▄▄▄.......",
                                            "................ ██.............. ██▀▀▀▀▀▀▀.......",
                                            "................ ................ ██..............",
                                            "................ ................ ██..............",
                                            "................ ................ ██..............",
                                            "................ ................ ▀▀.............."}},
    {kIn,  kEntryRowsOutOfMiddle,       8, {"................ ................ ▄▄▄▄▄▄▄▄▄▄▄▄▄▄▄▄",
                                            "................ ................ ██▀▀▀▀▀▀▀▀▀▀▀▀▀▀",
                                            "................ ▄▄▄▄▄▄▄▄▄▄▄▄▄▄▄▄ ██..............",
                                            "................ ██▀▀▀▀▀▀▀▀▀▀▀▀▀▀ ██▄▄▄▄▄▄▄.......",
                                            "................ ██.............. ██..............",
                                            "................ ▀▀.............. ██..............",
                                            "................ ................ ██..............",
                                            "................ ................ ▀▀.............."}},
    {kIn,  kEntryRowsFromEdges,         8, {"................ ██▄▄▄▄▄▄▄....... ██▀▀▀▀▀▀▀▀▀▀▀▀▀▀",
                                            "................ ▀▀▀▀▀▀▀▀▀....... ██..............",
                                            "................ ................ ██▄▄▄▄▄▄▄.......",
                                            "................ ................ ▀▀▀▀▀▀▀▀▀.......",
                                            "................ ................ ▄▄..............",
                                            "................ ................ ██..............",
                                            "................ ▄▄.............. ██..............",
                                            "................ ██.............. ██.............."}},
    {kIn,  kEntryColumnsFromEdges,      8, {"................ ███..........███ ███████..███████",
                                            "................ ................ █...............",
                                            "................ ................ █...............",
                                            "................ ███..........█.. ███████..█......",
                                            "................ ................ █...............",
                                            "................ ................ █...............",
                                            "................ ................ █...............",
                                            "................ ................ █..............."}},
    {kIn,  kEntryColumnsOutOfMiddle,    8, {"................ .....██████..... .██████████████.",
                                            "................ .....██......... .██.............",
                                            "................ .....██......... .██.............",
                                            "................ .....███........ .███████........",
                                            "................ .....██......... .██.............",
                                            "................ .....██......... .██.............",
                                            "................ .....██......... .██.............",
                                            "................ .....██......... .██............."}},
    {kIn,  kEntryRotateFromAbove,      30, {"................ ▀█.▀▀▄██▄....... ..██....▀██▀▄▄..",
                                            "................ █.......▀....... .██▄.......▀▀▀██",
                                            "................ ................ █▄▀▄███▄........",
                                            "................ ................ █▀....▀▀█.......",
                                            "................ ................ ................",
                                            "................ ................ ................",
                                            "................ ................ ................",
                                            "................ ................ ................"}},
    {kIn,  kEntryRotateFromBelow,      30, {"................ ................ ..██....▀██▀▄▄..",
                                            "................ ...██▄▄▄........ .██▄.......▀▀▀██",
                                            "................ ..██▀.▀▀██▄▄▄... █▄▀▄███▄........",
                                            "................ .█▄▀......▀▀▄█▄▄ █▀....▀▀█.......",
                                            "................ ▄███▀▄▄.......▀▀ ................",
                                            "................ █▀..▀▀███....... ................",
                                            "................ ▀............... ................",
                                            "................ ................ ................"}},
    {kIn,  kEntryRotateFromLeft,       23, {"................ .......██....... ████████▀▀▀▀▀▀▀.",
                                            "................ .......██....... █...............",
                                            "................ .......██....... █...............",
                                            "................ .......██....... ████████........",
                                            "................ █████████....... ██..............",
                                            "................ .......██....... ██..............",
                                            "................ ........██...... ██..............",
                                            "................ ▄█████████...... ██.............."}},
    {kIn,  kEntryRotateFromRight,      23, {"................ ................ █▄▀▀▀▀▀▀▄██████▀",
                                            "................ ................ ██.............▀",
                                            "................ ................ ██▄▄▄▄▄▄........",
                                            "................ ................ ▀█▀▀▀▀▀▀█.......",
                                            "................ ...............█ █...............",
                                            "................ ................ █...............",
                                            "................ ................ █...............",
                                            "................ .......████████▄ ................"}},
    {kIn,  kEntryGrow,                  4, {"................ ................ ................",
                                            "................ ................ ..█▀▀▀▀▀▀▀▀▀▀▀..",
                                            "................ ................ ..█.............",
                                            "................ ......███▀...... ..███████.......",
                                            "........▀....... ......█......... ..█.............",
                                            "................ ................ ..█.............",
                                            "................ ................ ..█.............",
                                            "................ ................ ................"}},
    {kIn,  kEntryGrowAcross,            4, {"........█....... ......████...... ..████████████..",
                                            "........█....... ......█......... ..█.............",
                                            "........█....... ......█......... ..█.............",
                                            "........█....... ......███....... ..███████.......",
                                            "........█....... ......█......... ..█.............",
                                            "........█....... ......█......... ..█.............",
                                            "........█....... ......█......... ..█.............",
                                            "........█....... ......█......... ..█............."}},
    {kIn,  kEntryShrink,                4, {"................ ████████████.... ................",
                                            "................ ████████████.... ................",
                                            "................ ████████████.... ................",
                                            "................ ████████████.... █████████.......",
                                            "................ ................ ................",
                                            "................ ................ ................",
                                            "................ ................ ................",
                                            "................ ................ ................"}},
    {kIn,  kEntryShrinkAcross,          4, {"████████████████ ████████████████ ████████████████",
                                            "................ ................ ................",
                                            "................ ................ ................",
                                            "████████████████ ████████████.... █████████.......",
                                            "................ ................ ................",
                                            "................ ................ ................",
                                            "................ ................ ................",
                                            "................ ................ ................"}},
    {kOut, kExitToLeft,                16, {"████████████████ █████████....... █...............",
                                            "██.............. ................ ................",
                                            "██.............. ................ ................",
                                            "█████████....... ██.............. ................",
                                            "██.............. ................ ................",
                                            "██.............. ................ ................",
                                            "██.............. ................ ................",
                                            "██.............. ................ ................"}},
    {kOut, kExitToBottom,              32, {"████████████████ ................ ................",
                                            "██.............. ................ ................",
                                            "██.............. ................ ................",
                                            "█████████....... ▄▄▄▄▄▄▄▄▄▄▄▄▄▄▄▄ ................",
                                            "██.............. ██▀▀▀▀▀▀▀▀▀▀▀▀▀▀ ................",
                                            "██.............. ██.............. ................",
                                            "██.............. ██▄▄▄▄▄▄▄....... ................",
                                            "██.............. ██▀▀▀▀▀▀▀....... ▄▄▄▄▄▄▄▄▄▄▄▄▄▄▄▄"}},
    {kOut, kExitToTop,                 32, {"████████████████ ██▀▀▀▀▀▀▀....... ▀▀..............",
                                            "██.............. ██.............. ................",
                                            "██.............. ██.............. ................",
                                            "█████████....... ██.............. ................",
                                            "██.............. ▀▀.............. ................",
                                            "██.............. ................ ................",
                                            "██.............. ................ ................",
                                            "██.............. ................ ................"}},
    {kOut, kExitRowsIntoMiddle,         8, {"████████████████ ................ ................",
                                            "██.............. ▄▄▄▄▄▄▄▄▄▄▄▄▄▄▄▄ ................",
                                            "██.............. ██▀▀▀▀▀▀▀▀▀▀▀▀▀▀ ................",
                                            "█████████....... ██.............. ▄▄▄▄▄▄▄▄▄▄▄▄▄▄▄▄",
                                            "██.............. ██.............. ▀▀..............",
                                            "██.............. ██.............. ................",
                                            "██.............. ▀▀.............. ................",
                                            "██.............. ................ ................"}},
    {kOut, kExitRowsApart,              8, {"████████████████ ██.............. ▀▀▀▀▀▀▀▀▀.......",
                                            "██.............. ██▄▄▄▄▄▄▄....... ................",
                                            "██.............. ▀▀▀▀▀▀▀▀▀....... ................",
                                            "█████████....... ................ ................",
                                            "██.............. ................ ................",
                                            "██.............. ▄▄.............. ................",
                                            "██.............. ██.............. ................",
                                            "██.............. ██.............. ▄▄.............."}},
    {kOut, kExitColumnsApart,           8, {"████████████████ █████......█████ █..............█",
                                            "██.............. ................ ................",
                                            "██.............. ................ ................",
                                            "█████████....... █████......█.... █..............█",
                                            "██.............. ................ ................",
                                            "██.............. ................ ................",
                                            "██.............. ................ ................",
                                            "██.............. ................ ................"}},
    {kOut, kExitColumnsIntoMiddle,      8, {"████████████████ ...██████████... .......██.......",
                                            "██.............. ...██........... .......█........",
                                            "██.............. ...██........... .......█........",
                                            "█████████....... ...█████........ .......█........",
                                            "██.............. ...██........... .......█........",
                                            "██.............. ...██........... .......█........",
                                            "██.............. ...██........... .......█........",
                                            "██.............. ...██........... .......█........"}},
    {kOut, kExitRotateUp,              21, {"██▀▀▀▀▀▀████████ ........███▀▀▀.█ ....▀█▄.........",
                                            "██.............. ................ ......▀.........",
                                            "██▄▄▄▄▄▄........ ............▄▄▄█ ................",
                                            "██▀▀▀▀▀▀█....... ......▄▄▄███▀▀▀. ................",
                                            "█............... ...███▀▀▀....... ................",
                                            "█............... ................ ................",
                                            "█............... ................ ................",
                                            "▀............... ................ ................"}},
    {kOut, kExitRotateDown,            21, {"██▀▀▀▀▀▀████████ ................ ................",
                                            "██.............. ................ ................",
                                            "██▄▄▄▄▄▄........ ................ ................",
                                            "██▀▀▀▀▀▀█....... ............▄█.. ................",
                                            "█............... ............▀█▄. ................",
                                            "█............... .............██. ................",
                                            "█............... ..............██ ........▄.......",
                                            "▀............... ...........▄▄███ .....▄██▀▀......"}},
    {kOut, kExitRotateLeft,            21, {"██▀▀▀▀▀▀████████ ....▀█▄......... ................",
                                            "██.............. .....██......... ................",
                                            "██▄▄▄▄▄▄........ ......██........ ................",
                                            "██▀▀▀▀▀▀█....... ...▄▄███▄....... ................",
                                            "█............... ███▀▀▀.██....... ................",
                                            "█............... ........██...... ................",
                                            "█............... ....▄▄▄███▀..... ................",
                                            "▀............... ▄███▀▀▀......... ................"}},
    {kOut, kExitRotateRight,           21, {"██▀▀▀▀▀▀████████ ................ ................",
                                            "██.............. ................ ................",
                                            "██▄▄▄▄▄▄........ ................ ..............▄█",
                                            "██▀▀▀▀▀▀█....... ................ ............▀██.",
                                            "█............... ................ ..............██",
                                            "█............... ................ ...............▀",
                                            "█............... ................ ................",
                                            "▀............... ..............▄▄ ................"}},
    {kOut, kExitEnlarge,                4, {"████████████████ ................ █████████████...",
                                            "██.............. ................ █████████████...",
                                            "██.............. ▄▄▄▄▄▄▄▄▄....... █████████████...",
                                            "█████████....... █████████....... █████████████...",
                                            "██.............. ................ ................",
                                            "██.............. ................ ................",
                                            "██.............. ................ ................",
                                            "██.............. ................ ................"}},
    {kOut, kExitEnlargeAcross,          4, {"████████████████ ████████████████ ████████████████",
                                            "██.............. ................ ................",
                                            "██.............. ................ ................",
                                            "█████████....... █████████....... █████████████...",
                                            "██.............. ................ ................",
                                            "██.............. ................ ................",
                                            "██.............. ................ ................",
                                            "██.............. ................ ................"}},
    {kOut, kExitShrink,                 4, {"████████████████ ................ ................",
                                            "██.............. ..████████████.. ................",
                                            "██.............. ..██............ ................",
                                            "█████████....... ..███████....... ......███▀......",
                                            "██.............. ..██............ ......█.........",
                                            "██.............. ..██............ ................",
                                            "██.............. ..██............ ................",
                                            "██.............. ................ ................"}},
    {kOut, kExitShrinkAcross,           4, {"████████████████ ..████████████.. ......████......",
                                            "██.............. ..██............ ......█.........",
                                            "██.............. ..██............ ......█.........",
                                            "█████████....... ..███████....... ......███.......",
                                            "██.............. ..██............ ......█.........",
                                            "██.............. ..██............ ......█.........",
                                            "██.............. ..██............ ......█.........",
                                            "██.............. ..██............ ......█........."}},
};
// clang-format on

// Rows 0-15 of columns 0-15, two rows a line.
std::vector<std::string> Picture(const FrameBuffer& f) {
  std::vector<std::string> lines;
  for (int r = 0; r < 16; r += 2) {
    std::string line;
    for (int c = 0; c < 16; ++c) {
      const bool upper = f.at(r, c) != 0, lower = f.at(r + 1, c) != 0;
      line += upper && lower ? "█" : upper ? "▀" : lower ? "▄" : ".";
    }
    lines.push_back(line);
  }
  return lines;
}

TEST(EffectMotion, EveryEffectMovesItsOwnWay) {
  FrameBuffer work;
  for (int r = 0; r < 16; ++r) {
    for (int c = 0; c < 16; ++c) {
      if (kGlyph[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)] == '#') {
        work.set(r, c, kDotRed);
      }
    }
  }
  int pinned[2] = {0, 0};
  for (const Motion& m : kMotions) {
    ++pinned[static_cast<int>(m.mode)];
    std::vector<FrameBuffer> frames;
    RunEffect(k16, m.mode, m.code, 2, 16, work, [&](const FrameBuffer& fb, auto& s) {
      if (!s.done) frames.push_back(fb);
    });
    ASSERT_EQ(static_cast<int>(frames.size()), m.frames) << Name(k16, m.mode, m.code, 16);
    const std::vector<std::string> first = Picture(frames.front()),
                                   middle = Picture(frames[(frames.size() - 1) / 2]),
                                   last = Picture(frames.back());
    std::string shown, expected;
    for (std::size_t i = 0; i < first.size(); ++i) {
      shown += first[i] + " " + middle[i] + " " + last[i] + "\n";
      expected += std::string(m.rows[i]) + "\n";
    }
    EXPECT_EQ(shown, expected) << Name(k16, m.mode, m.code, 16) << "\n" << shown;
  }
  // Every code with a driver is pinned.
  EXPECT_EQ(pinned[0], item::kEntryNone - 1);
  EXPECT_EQ(pinned[1], item::kExitNone);
}

}  // namespace
