// Entry and exit effects on synthetic pictures: how each one moves, how many frames it
// takes and how fast it turns, that it ends on its finishing frame inside its family's
// area, and that two lines can move at once.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "sign/effect_copy.h"
#include "sign/effects.h"
#include "tests/support/test_fonts.h"

using namespace sign;
using sign_test::SameArea;

namespace {

constexpr EffectFamily k32 = EffectFamily::kOneLine32, k16 = EffectFamily::kOneLine16,
                       kUp = EffectFamily::kUpperLine, kLow = EffectFamily::kLowerLine;
constexpr EffectMode kIn = EffectMode::kEntry, kOut = EffectMode::kExit;
constexpr std::uint8_t kSentinel = 0x3F;  // unlit for the surface, but not zero

std::string Name(EffectFamily f, EffectMode m, int code, int width, int level = 0) {
  return "family " + std::to_string(static_cast<int>(f)) + (m == kIn ? " entry " : " exit ") +
         std::to_string(code) + " W " + std::to_string(width) + " level " + std::to_string(level);
}

// A picture over the whole buffer; `every` sets how sparse it is.
FrameBuffer Pattern(int every = 7) {
  static constexpr std::uint8_t kColours[] = {kDotRed, kDotGreen, kDotYellow};
  FrameBuffer fb;
  for (int r = 0; r < kFrameRows; ++r)
    for (int c = 0; c < kFrameColumns; ++c)
      if ((r * 5 + c * 3) % every < 3) fb.set(r, c, kColours[(r + c) % 3]);
  return fb;
}

using FrameFn = std::function<void(const FrameBuffer&, const EffectState&)>;

// Steps an effect as the engine does, alternating two back buffers filled with a sentinel,
// and calls `frame` after each step. Returns the steps until done (-1: it never ends).
int RunEffect(EffectFamily f, EffectMode m, int code, int level, int width, const FrameBuffer& work,
              const FrameFn& frame = {}) {
  EffectState s;
  StartEffect(s, f, m, code, level, width, 0, width);
  FrameBuffer buffers[2];
  for (FrameBuffer& b : buffers) b.dots.fill(kSentinel);
  for (int n = 1; n <= 20000; ++n) {
    FrameBuffer& back = buffers[n % 2];
    const bool done = StepEffect(s, work, back);
    if (frame) frame(back, s);
    if (done) return n;
  }
  return -1;
}

// Slides take a frame a dot, vertical slides half a row (a third on the lower line and, as
// EffectMotion shows, descending on 16 rows), zooms W / ((6 - level) dots), rotations end a
// frame after their motion; each rotation turns by its family's and level's step; and the
// engine plays each effect at the speed level it asks for.
TEST(EffectFrames, MovingFramesTurnsAndSpeedByFamilyCodeAndLevel) {
  // family, mode, code, level, width, moving frames
  // clang-format off
  const std::tuple<EffectFamily, EffectMode, int, int, int, int> frames[] = {
      {k32, kIn, kEntryFromRight, 4, 96, 95},        {k16, kOut, kExitToLeft, 3, 320, 320},
      {k32, kIn, kEntryFromBottom, 4, 96, 61},       {kLow, kIn, kEntryFromBottom, 4, 96, 43},
      {kUp, kIn, kEntryFromBottom, 4, 96, 29},       {k32, kIn, kEntryFromTop, 4, 96, 61},
      {kUp, kIn, kEntryFromTop, 4, 96, 29},          {kLow, kIn, kEntryFromTop, 4, 96, 43},
      {k32, kIn, kEntryRowsOutOfMiddle, 4, 96, 16},  {k32, kIn, kEntryColumnsFromEdges, 4, 96, 48},
      {kLow, kOut, kExitRowsIntoMiddle, 4, 96, 8},   {kUp, kOut, kExitColumnsApart, 4, 96, 48},
      {k32, kIn, kEntryGrow, 4, 96, 48},             {k32, kIn, kEntryShrinkAcross, 2, 96, 24},
      {kUp, kOut, kExitEnlarge, 4, 96, 48},          {kLow, kOut, kExitShrinkAcross, 5, 96, 95},
      {k32, kIn, kEntryRotateFromAbove, 2, 64, 75},  {k32, kIn, kEntryRotateFromLeft, 2, 64, 90},
      {k16, kOut, kExitRotateUp, 4, 96, 141},        {kLow, kOut, kExitRotateRight, 5, 96, 481}};
  // clang-format on
  for (auto [f, m, code, level, width, n] : frames)
    EXPECT_EQ(RunEffect(f, m, code, level, width, Pattern()) - 1, n)
        << Name(f, m, code, width, level);
  // family, mode, code, item level, degrees per frame (0: not checked), and the level the
  // effect asks the engine to play at: one-line slides follow the item, one-line rotations
  // and zooms use level four, the two-line families ask for none.
  // clang-format off
  const std::tuple<EffectFamily, EffectMode, int, int, int, int> turns[] = {
      {k32, kIn, kEntryRotateFromAbove, 2, 24, 4}, {k16, kIn, kEntryRotateFromBelow, 2, 24, 4},
      {k32, kIn, kEntryRotateFromAbove, 5, 6, 4},  {kUp, kIn, kEntryRotateFromAbove, 2, 16, 0},
      {kLow, kIn, kEntryRotateFromBelow, 5, 4, 0}, {k32, kIn, kEntryRotateFromLeft, 2, -16, 4},
      {k32, kIn, kEntryRotateFromRight, 5, 4, 4},  {k16, kOut, kExitRotateUp, 2, -16, 4},
      {kLow, kOut, kExitRotateRight, 5, -4, 0},    {k32, kIn, kEntryFromRight, 2, 0, 2},
      {k16, kOut, kExitRowsApart, 5, 0, 5},        {k16, kOut, kExitEnlargeAcross, 5, 0, 4},
      {kUp, kIn, kEntryFromBottom, 3, 0, 0},       {kLow, kIn, kEntryFromBottom, 3, 0, 0}};
  // clang-format on
  const FrameBuffer work = Pattern();
  for (auto [f, m, code, level, turn, asked] : turns) {
    EffectState s;
    StartEffect(s, f, m, code, level, 96, 0, 96);
    EXPECT_EQ(EffectSpeedLevel(s), asked) << Name(f, m, code, 96, level);
    FrameBuffer back;
    for (int n = 0, before = s.progress; turn != 0 && n < 5; ++n, before = s.progress) {
      StepEffect(s, work, back);
      EXPECT_EQ((s.progress - before + 360) % 360, (turn + 360) % 360)
          << Name(f, m, code, 96, level);
    }
  }
}

// Every code of every family: it ends, draws only inside its area, redraws the whole area
// every frame (nothing of the previous frame in that buffer survives), and its last frame
// is the whole picture (entries) or empty (exits); a code without a driver ends at once.
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
          bool outside = false, stale = false, finishing = false;
          const int steps = RunEffect(f, m, code, level, width, work, [&](auto& fb, auto& s) {
            for (int r = 0; r < kFrameRows; ++r) {
              const bool inside = r >= top && r < top + rows;
              outside = outside ||
                        std::any_of(fb.row(r) + (inside ? width : 0), fb.row(r) + kFrameColumns,
                                    [](std::uint8_t d) { return d != kSentinel; });
              stale = stale || (inside && std::count(fb.row(r), fb.row(r) + width, kSentinel) > 0);
            }
            if (s.done) finishing = SameArea(fb, m == kIn ? work : empty, top, rows, width);
          });
          SCOPED_TRACE(Name(f, m, code, width, level));
          EXPECT_EQ(steps > 1, HasEffectDriver(m, code));
          EXPECT_FALSE(outside);
          EXPECT_FALSE(stale);
          EXPECT_TRUE(finishing);
        }
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Widths, EffectSweep, ::testing::Values(32, 80, 96, 1008));

// Both lines of a two-line item move at once in the same back buffer; each must look
// exactly as if it ran alone.
TEST(EffectLines, UpperAndLowerEffectsDoNotDisturbEachOther) {
  const FrameBuffer work = Pattern();
  // clang-format off
  const std::pair<int, int> pairs[] = {
      {kEntryFromRight, kExitToLeft}, {kEntryFromBottom, kExitToBottom}, {kEntryGrow, kExitShrink},
      {kEntryRowsOutOfMiddle, kExitRotateUp}, {kEntryRotateFromAbove, kExitRotateRight}};
  // clang-format on
  for (auto [entry, exit] : pairs) {
    EffectStates together, alone;
    StartEffect(together.upper, kUp, kIn, entry, 3, 0, 0, 96);
    StartEffect(together.lower, kLow, kOut, exit, 3, 0, 0, 96);
    alone = together;
    FrameBuffer both, upper, lower;
    for (int n = 0; n < 3000 && !(together.upper.done && together.lower.done); ++n) {
      for (EffectFamily f : {kUp, kLow}) {
        if (together.For(f).done) continue;
        StepEffect(together.For(f), work, both);
        StepEffect(f == kUp ? alone.upper : alone.lower, work, f == kUp ? upper : lower);
      }
      ASSERT_TRUE(SameArea(both, upper, 0, 16, 96) && SameArea(both, lower, 16, 16, 96))
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
    for (int r = c.top; r <= c.bottom; ++r)
      std::fill(expected.row(r) + c.left, expected.row(r) + c.right + 1, kDotRed);
    int n = c.frame;
    RunEffect(k32, c.mode, c.code, 4, c.width, lit, [&](const FrameBuffer& fb, auto&) {
      if (--n == 0) shown = fb;
    });
    EXPECT_TRUE(SameArea(shown, expected, 0, 32, c.width))
        << Name(k32, c.mode, c.code, c.width) << " frame " << c.frame;
  }
}

TEST(EffectCopy, CosineTableAndCopiesSkipSourcesBeyondThePicture) {
  for (int d = 0; d < 360; ++d) {
    const double rad = d * 3.14159265358979323846 / 180.0;
    EXPECT_EQ(CosFixed(d), static_cast<int>(std::lround(std::cos(rad) * 65536.0))) << d;
    EXPECT_EQ(SinFixed(d), static_cast<int>(std::lround(std::sin(rad) * 65536.0))) << d;
  }
  EXPECT_EQ(std::pair(CosFixed(-90), CosFixed(450)), std::pair(CosFixed(270), CosFixed(90)));
  // Only the picture is copied: source dots at or beyond W never enter the frame.
  const EffectArea area{16, 16, 32};
  FrameBuffer src, dst;
  src.set(16, 31, kDotRed);
  src.set(16, 32, kDotGreen);
  CopyBlock b;
  b.sourceX = ToFixed(30);
  b.columns = 4;
  b.rows = 1;
  FixedCopy(area, b, src, dst, true);
  EXPECT_EQ(std::vector<int>(dst.row(16), dst.row(16) + 4), (std::vector<int>{0, kDotRed, 0, 0}));
  b.sourceX = 31;
  b.sourceColumnStep = b.sourceRowStep = b.destColumnStep = b.destRowStep = 1;
  DotCopy(area, b, src, dst, true);
  EXPECT_EQ(std::vector<int>(dst.row(16), dst.row(16) + 4), (std::vector<int>{kDotRed, 0, 0, 0}));
}

// Which way each effect moves: an F touching all four edges of the one-line family of a
// one-tier board 16 dots wide, at speed level 2. Entries 1-15, then exits 0-14, five a row:
// each named by its mode, code and count of moving frames over its middle moving frame, a
// character for each 2 x 2 dots.
constexpr const char* kMotionPictures = R"(
in1 15    in2 29    in3 43    in4 8     in5 8
....████  ........  █.......  ........  █▄▄▄▖...
....█...  ........  █.......  ........  ▀▀▀▀▘...
....█...  ........  █.......  ▄▄▄▄▄▄▄▄  ........
....████  ........  █.......  █▀▀▀▀▀▀▀  ........
....█...  ████████  ........  █.......  ........
....█...  █.......  ........  ▀.......  ........
....█...  █.......  ........  ........  ▄.......
....█...  ████▌...  ........  ........  █.......

in6 8     in7 8     in8 30    in9 30    in10 23
█▌....▐█  ..▐██▌..  ▜▝▚█▖...  ........  ...▐▌...
........  ..▐▌....  ▌...▘...  .▐▙▄....  ...▐▌...
........  ..▐▌....  ........  .█▘▀█▄▖.  ...▐▌...
█▌....▐.  ..▐█....  ........  ▐▞...▀▟▄  ...▐▌...
........  ..▐▌....  ........  ▟█▚▖...▀  ████▌...
........  ..▐▌....  ........  ▛.▀█▌...  ...▐▌...
........  ..▐▌....  ........  ▘.......  ....█...
........  ..▐▌....  ........  ........  ▟████...

in11 23   in12 4    in13 4    in14 4    in15 4
........  ........  ...██...  ██████..  ████████
........  ........  ...▌....  ██████..  ........
........  ........  ...▌....  ██████..  ........
........  ...█▛...  ...█▌...  ██████..  ██████..
.......▐  ...▌....  ...▌....  ........  ........
........  ........  ...▌....  ........  ........
........  ........  ...▌....  ........  ........
...▐███▙  ........  ...▌....  ........  ........

out0 16   out1 32   out2 32   out3 8    out4 8
████▌...  ........  █▀▀▀▘...  ........  █.......
........  ........  █.......  ▄▄▄▄▄▄▄▄  █▄▄▄▖...
........  ........  █.......  █▀▀▀▀▀▀▀  ▀▀▀▀▘...
█.......  ▄▄▄▄▄▄▄▄  █.......  █.......  ........
........  █▀▀▀▀▀▀▀  ▀.......  █.......  ........
........  █.......  ........  █.......  ▄.......
........  █▄▄▄▖...  ........  ▀.......  █.......
........  █▀▀▀▘...  ........  ........  █.......

out5 8    out6 8    out7 21   out8 21   out9 21
██▌..▐██  .▐████▌.  ....█▛▀▐  ........  ..▜▖....
........  .▐▌.....  ........  ........  ..▐▌....
........  .▐▌.....  ......▄▟  ........  ...█....
██▌..▐..  .▐██....  ...▄▟█▀▘  ......▟.  .▗▟█▖...
........  .▐▌.....  .▐█▀▘...  ......▜▖  █▛▀▐▌...
........  .▐▌.....  ........  ......▐▌  ....█...
........  .▐▌.....  ........  .......█  ..▄▟█▘..
........  .▐▌.....  ........  .....▗▟█  ▟█▀▘....

out10 21  out11 4   out12 4   out13 4   out14 4
........  ........  ████████  ........  .██████.
........  ........  ........  .██████.  .█......
........  ▄▄▄▄▖...  ........  .█......  .█......
........  ████▌...  ████▌...  .███▌...  .███▌...
........  ........  ........  .█......  .█......
........  ........  ........  .█......  .█......
........  ........  ........  .█......  .█......
.......▄  ........  ........  ........  .█......)";

// Rows 0-15 of columns 0-15, a character for each 2 x 2 dots.
std::vector<std::string> Picture(const FrameBuffer& f) {
  static const char* kQuads[] = {".", "▘", "▝", "▀", "▖", "▌", "▞", "▛",
                                 "▗", "▚", "▐", "▜", "▄", "▙", "▟", "█"};
  std::vector<std::string> lines(8);
  for (int r = 0; r < 16; r += 2)
    for (int c = 0; c < 16; c += 2)
      lines[r / 2] += kQuads[(f.at(r, c) != 0) | (f.at(r, c + 1) != 0) << 1 |
                             (f.at(r + 1, c) != 0) << 2 | (f.at(r + 1, c + 1) != 0) << 3];
  return lines;
}

TEST(EffectMotion, EveryEffectMovesItsOwnWay) {
  static_assert(item::kEntryNone - 1 + item::kExitNone == 30);
  FrameBuffer work;  // an F: two full rows, a 9-dot bar at rows 6-7, a 2-dot stem
  for (int r = 0; r < 16; ++r)
    for (int c = 0; c < (r < 2 ? 16 : r == 6 || r == 7 ? 9 : 2); ++c) work.set(r, c, kDotRed);
  std::string shown;
  for (int first = 0; first < 30; first += 5) {
    std::vector<std::string> lines(9);  // the labels, then the eight picture rows
    for (int n = first; n < first + 5; ++n) {
      const bool entry = n < 15;
      const int code = entry ? n + 1 : n - 15;
      std::vector<FrameBuffer> frames;
      RunEffect(k16, entry ? kIn : kOut, code, 2, 16, work, [&](const FrameBuffer& fb, auto& s) {
        if (!s.done) frames.push_back(fb);
      });
      char label[16];
      std::snprintf(label, sizeof label, "%-8s",
                    (std::string(entry ? "in" : "out") + std::to_string(code) + " " +
                     std::to_string(frames.size()))
                        .c_str());
      if (frames.empty()) frames.resize(1);
      const std::vector<std::string> picture = Picture(frames[(frames.size() - 1) / 2]);
      for (std::size_t k = 0; k < 9; ++k)
        lines[k] += (n > first ? "  " : "") + (k ? picture[k - 1] : std::string(label));
    }
    for (std::string& line : lines) shown += "\n" + line.substr(0, line.find_last_not_of(' ') + 1);
    shown += first < 25 ? "\n" : "";
  }
  EXPECT_EQ(shown, kMotionPictures) << shown;
}

}  // namespace
