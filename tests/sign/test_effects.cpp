// Entry and exit effects on synthetic pictures: frame counts, finishing frames, symmetry,
// two lines at once, and that no frame touches anything outside its family's area.

#include <gtest/gtest.h>

#include <algorithm>
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
constexpr EffectFamily kFamilies[] = {k32, k16, kUp, kLow};
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

// A picture that is its own mirror image left to right (within W) and top to bottom
// (within the family's rows).
FrameBuffer MirrorPattern(EffectFamily f, int width) {
  const FrameBuffer base = Pattern(5);
  const int rows = FamilyRowCount(f);
  FrameBuffer fb;
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < width; ++c) {
      fb.set(FamilyTop(f) + r, c, base.at(std::min(r, rows - 1 - r), std::min(c, width - 1 - c)));
    }
  }
  return fb;
}

// True when anything outside the family's area differs from the sentinel fill.
bool TouchesOutside(const FrameBuffer& fb, EffectFamily f, int width) {
  for (int r = 0; r < kFrameRows; ++r) {
    const bool inside = r >= FamilyTop(f) && r < FamilyTop(f) + FamilyRowCount(f);
    if (std::any_of(fb.row(r) + (inside ? width : 0), fb.row(r) + kFrameColumns,
                    [](std::uint8_t d) { return d != kSentinel; })) {
      return true;
    }
  }
  return false;
}

// Entries end on the whole picture, exits on an empty area.
bool IsFinishingFrame(const FrameBuffer& fb, const FrameBuffer& work, EffectFamily f, EffectMode m,
                      int width) {
  static const FrameBuffer kEmpty;
  for (int r = FamilyTop(f); r < FamilyTop(f) + FamilyRowCount(f); ++r) {
    if (!std::equal(fb.row(r), fb.row(r) + width, (m == kIn ? work : kEmpty).row(r))) return false;
  }
  return true;
}

using FrameFn = std::function<void(const FrameBuffer&, const EffectState&)>;

// Steps an effect as the engine does, alternating two back buffers, and calls `frame` after
// each step. Returns the number of steps until done (or -1 if it never ends).
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

// Frame n (from 1) of an effect on `work`.
FrameBuffer NthFrame(EffectFamily f, EffectMode m, int code, int level, int width,
                     const FrameBuffer& work, int n) {
  FrameBuffer out;
  RunEffect(f, m, code, level, width, work, [&](const FrameBuffer& fb, auto&) {
    if (--n == 0) out = fb;
  });
  return out;
}

// Moving frames of an effect: steps before the finishing one.
int MovingFrames(EffectFamily f, EffectMode m, int code, int level, int width) {
  return RunEffect(f, m, code, level, width, Pattern()) - 1;
}

TEST(EffectFrameCounts, SlidesTakeAFrameADot) {
  const FrameBuffer work = Pattern();
  // Entry 1 from the right: 95 moving frames on 96 dots, then the picture at rest; the first
  // shows column 0 of the picture at the right edge.
  EXPECT_EQ(RunEffect(k32, kIn, 1, 4, 96, work), 96);
  const FrameBuffer first = NthFrame(k32, kIn, 1, 4, 96, work, 1);
  for (int r = 0; r < 32; ++r) {
    EXPECT_EQ(first.at(r, 95), work.at(r, 0));
    EXPECT_EQ(first.at(r, 94), 0);
  }
  // Exit 0 to the left empties the board after W frames; frame W shows only the last
  // picture column, at column 0.
  for (int width : {32, 96, 320}) {
    EXPECT_EQ(RunEffect(k16, kOut, 0, 3, width, work), width + 1);
    const FrameBuffer last = NthFrame(k16, kOut, 0, 3, width, work, width);
    for (int r = 0; r < 16; ++r) EXPECT_EQ(last.at(r, 0), work.at(r, width - 1)) << width;
  }
}

TEST(EffectFrameCounts, EntryFromBottomRisesHalfOrAThirdOfARow) {
  // Entry 2 rises from the bottom; entry 3 descends from the top, slower on 16 rows except
  // on the upper line.
  const std::tuple<EffectFamily, int, int> cases[] = {{k32, 2, 61}, {kLow, 2, 43}, {kUp, 2, 29},
                                                      {k16, 2, 29}, {k32, 3, 61},  {k16, 3, 43},
                                                      {kUp, 3, 29}, {kLow, 3, 43}};
  for (auto [f, code, frames] : cases) {
    EXPECT_EQ(MovingFrames(f, kIn, code, 4, 96), frames) << Name(f, kIn, code, 96);
  }
}

TEST(EffectFrameCounts, ZoomsTakeWidthOverStepFrames) {
  // Level 4: two dots a frame; level 2: four.
  EXPECT_EQ(MovingFrames(k32, kIn, 12, 4, 96), 48);
  EXPECT_EQ(MovingFrames(k32, kIn, 15, 2, 96), 24);
  EXPECT_EQ(MovingFrames(kUp, kOut, 11, 4, 96), 48);
  EXPECT_EQ(MovingFrames(kLow, kOut, 14, 5, 96), 95);
}

TEST(EffectRotation, DegreesPerFrameFollowTheSpeedLevel) {
  // family, mode, code, level, degrees per frame
  const std::tuple<EffectFamily, EffectMode, int, int, int> cases[] = {
      {k32, kIn, 8, 2, 24}, {k16, kIn, 9, 2, 24},   {k32, kIn, 8, 5, 6},
      {kUp, kIn, 8, 2, 16}, {kLow, kIn, 9, 5, 4},   {k32, kIn, 10, 2, -16},
      {k32, kIn, 11, 5, 4}, {k16, kOut, 7, 2, -16}, {kLow, kOut, 10, 5, -4}};
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

TEST(EffectRotation, FinishesOneFrameAfterItsMotion) {
  const FrameBuffer work = Pattern();
  for (int code : {8, 10}) {
    EffectState s;
    StartEffect(s, k32, kIn, code, 2, 0, 0, 64);
    FrameBuffer back;
    for (int n = 0; !s.finished && n < 10000; ++n) EXPECT_FALSE(StepEffect(s, work, back));
    ASSERT_TRUE(s.finished);
    // The last turned frame shows the picture at its resting place, nearly upright.
    EXPECT_TRUE(s.centreArrived);
    EXPECT_FALSE(s.done);
    EXPECT_TRUE(StepEffect(s, work, back));
    for (int r = 0; r < 32; ++r) {
      ASSERT_TRUE(std::equal(back.row(r), back.row(r) + 64, work.row(r)));
    }
  }
}

TEST(EffectFramePeriod, OneLineSlidesFollowTheItemRotationsAndZoomsUseLevelFour) {
  // family, mode, code, item level, level the effect asks for (0: none)
  const std::tuple<EffectFamily, EffectMode, int, int, int> cases[] = {
      {k32, kIn, 1, 2, 2}, {k16, kOut, 4, 5, 5}, {k32, kIn, 9, 2, 4},  {k16, kOut, 12, 5, 4},
      {kUp, kIn, 2, 3, 0}, {kUp, kOut, 8, 3, 0}, {kLow, kIn, 2, 3, 0}, {kLow, kOut, 8, 3, 0}};
  for (auto [f, m, code, level, wanted] : cases) {
    EffectState s;
    StartEffect(s, f, m, code, level, 0, 0, 96);
    EXPECT_EQ(EffectSpeedLevel(s), wanted) << Name(f, m, code, 96);
  }
}

// Every code of every family: it ends, draws only inside its area, redraws the whole area
// every frame (nothing of the previous frame in that buffer survives), and its last frame
// is the whole picture (entries) or empty (exits). Widths: 2, 5, 6 and 63 modules.
class EffectSweep : public ::testing::TestWithParam<int> {};

TEST_P(EffectSweep, EveryEffectStaysInItsAreaAndEndsOnItsFinishingFrame) {
  const int width = GetParam();
  const FrameBuffer work = Pattern(width > 200 ? 17 : 7);
  for (EffectFamily f : kFamilies) {
    for (EffectMode m : {kIn, kOut}) {
      for (int code = 0; code <= 15; ++code) {
        for (int level : {2, 5}) {
          // Slow levels on the widest board would only repeat the same frames many times over.
          if (!HasEffectDriver(m, code) || (width > 200 && level == 5)) continue;
          const std::string what = Name(f, m, code, width) + " level " + std::to_string(level);
          bool outside = false, stale = false, finishing = false;
          const int steps = RunEffect(f, m, code, level, width, work, [&](auto& fb, auto& s) {
            outside = outside || TouchesOutside(fb, f, width);
            for (int r = FamilyTop(f); r < FamilyTop(f) + FamilyRowCount(f); ++r) {
              stale = stale || std::count(fb.row(r), fb.row(r) + width, kSentinel) > 0;
            }
            if (s.done) finishing = IsFinishingFrame(fb, work, f, m, width);
          });
          ASSERT_GT(steps, 1) << what;
          EXPECT_FALSE(outside) << what;
          EXPECT_FALSE(stale) << what;
          EXPECT_TRUE(finishing) << what;
        }
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Widths, EffectSweep, ::testing::Values(32, 80, 96, 1008));

TEST(EffectCodes, CodesWithoutADriverFinishAtOnce) {
  for (int code = -1; code <= 16; ++code) {
    EXPECT_EQ(HasEffectDriver(kIn, code), code >= 1 && code <= 15) << code;
    EXPECT_EQ(HasEffectDriver(kOut, code), code >= 0 && code <= 14) << code;
  }
  EXPECT_EQ(RunEffect(k32, kIn, 16, 4, 96, Pattern()), 1);
  EXPECT_EQ(RunEffect(kUp, kOut, 15, 4, 96, Pattern()), 1);
  EXPECT_EQ(RunEffect(kLow, kOut, 200, 4, 96, Pattern()), 1);
}

TEST(EffectSymmetry, SplitsOfAMirrorImagePictureStayMirrorImages) {
  // Entries 4-5 and exits 3-4 split into upper and lower halves, entries 6-7 and exits 5-6
  // into left and right halves.
  struct Split {
    EffectMode mode;
    int code;
    bool columns;  // left and right halves; otherwise upper and lower
  } splits[] = {{kIn, 4, false},  {kIn, 5, false},  {kIn, 6, true},  {kIn, 7, true},
                {kOut, 3, false}, {kOut, 4, false}, {kOut, 5, true}, {kOut, 6, true}};
  const int width = 80;
  for (EffectFamily f : kFamilies) {
    const int top = FamilyTop(f), rows = FamilyRowCount(f);
    for (const Split& sp : splits) {
      int lit = 0, asymmetric = 0;
      RunEffect(f, sp.mode, sp.code, 3, width, MirrorPattern(f, width), [&](auto& fb, auto&) {
        for (int r = 0; r < rows; ++r) {
          for (int c = 0; c < width; ++c) {
            const std::uint8_t mirror =
                sp.columns ? fb.at(top + r, width - 1 - c) : fb.at(top + rows - 1 - r, c);
            asymmetric += fb.at(top + r, c) != mirror;
            lit += fb.at(top + r, c) != 0;
          }
        }
      });
      EXPECT_GT(lit, 0) << Name(f, sp.mode, sp.code, width);
      EXPECT_EQ(asymmetric, 0) << Name(f, sp.mode, sp.code, width);
    }
  }
}

// Both lines of a two-line item move at once in the same back buffer; each must look
// exactly as if it ran alone.
TEST(EffectLines, UpperAndLowerEffectsDoNotDisturbEachOther) {
  const int width = 96;
  const FrameBuffer work = Pattern();
  const std::pair<int, int> pairs[] = {{1, 0}, {2, 1}, {4, 7}, {8, 10}, {12, 13}, {9, 3}};
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
      for (int r = 0; r < 32; ++r) {
        const FrameBuffer& alone = r < 16 ? upper : lower;
        ASSERT_TRUE(std::equal(both.row(r), both.row(r) + width, alone.row(r)))
            << "entry " << entry << " exit " << exit << " frame " << n << " row " << r;
      }
    }
    EXPECT_TRUE(together.upper.done && together.lower.done);
  }
}

// Exits other than the rotations start from the picture as it stood during the hold, so
// the line does not jump when it starts to leave.
TEST(EffectMotion, ExitsStartFromTheStandingPicture) {
  const FrameBuffer work = Pattern();
  for (EffectFamily f : kFamilies) {
    for (int code : {0, 1, 2, 3, 4, 5, 6, 11, 12, 13, 14}) {
      EXPECT_TRUE(IsFinishingFrame(NthFrame(f, kOut, code, 3, 96, work, 1), work, f, kIn, 96))
          << Name(f, kOut, code, 96);
    }
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
      {kIn, 12, 80, 11, 11, 20, 30, 49}, {kIn, 12, 80, 21, 6, 25, 20, 59},
      {kIn, 12, 80, 31, 1, 30, 10, 69},  {kIn, 12, 96, 25, 8, 23, 24, 71},
      {kOut, 13, 80, 20, 5, 26, 19, 60}, {kOut, 13, 80, 35, 13, 18, 34, 45},
      {kOut, 13, 96, 20, 6, 25, 19, 76},
  };
  FrameBuffer lit;
  lit.dots.fill(kDotRed);
  for (const Case& c : cases) {
    FrameBuffer expected;
    for (int r = c.top; r <= c.bottom; ++r) {
      std::fill(expected.row(r) + c.left, expected.row(r) + c.right + 1, kDotRed);
    }
    const FrameBuffer shown = NthFrame(k32, c.mode, c.code, 4, c.width, lit, c.frame);
    for (int r = 0; r < 32; ++r) {
      EXPECT_TRUE(std::equal(shown.row(r), shown.row(r) + c.width, expected.row(r)))
          << Name(k32, c.mode, c.code, c.width) << " frame " << c.frame << " row " << r;
    }
  }
}

// Growing zooms draw the picture only inside a centred window of the current size.
TEST(EffectMotion, GrowingZoomStaysInsideItsCentredWindow) {
  const int width = 96;
  for (int code : {12, 13}) {
    int frames = 0;
    RunEffect(k32, kIn, code, 4, width, Pattern(), [&](const FrameBuffer& fb, auto& s) {
      if (s.done) return;
      ++frames;
      const int p = FixedInt(s.progress - s.step);  // size this frame was drawn at
      const int h = code == 12 ? p * 32 / width : 32;
      int lit = 0;
      for (int r = 0; r < 32; ++r) {
        for (int c = 0; c < width; ++c) {
          if (fb.at(r, c) == 0) continue;
          ++lit;
          EXPECT_TRUE(c >= (width - p) / 2 - 1 && c <= (width + p) / 2 + 1 &&
                      r >= (32 - h) / 2 - 1 && r <= (32 + h) / 2 + 1)
              << code << " p " << p << " at " << r << "," << c;
        }
      }
      EXPECT_GT(lit, 0);
    });
    EXPECT_EQ(frames, 48);
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

TEST(EffectCopy, RotatedCopyTurnsAboutTheCentre) {
  // A dot right of the centre (row 16, column W/2 + 4) turns to above it at 90 degrees.
  const EffectArea area{0, 32, 64};
  FrameBuffer src, dst;
  src.set(16, 36, kDotGreen);
  RotatedCopy(area, 90, ToFixed(16), ToFixed(32), src, dst, true);
  EXPECT_EQ(dst.at(12, 32), kDotGreen);
  dst.clear();
  RotatedCopy(area, 0, ToFixed(16), ToFixed(32) + ToFixed(10), src, dst, true);
  EXPECT_EQ(dst.at(16, 46), kDotGreen);
  // Landing outside the area drops the dot instead of writing elsewhere.
  dst.clear();
  RotatedCopy(area, 0, ToFixed(16), ToFixed(60), src, dst, true);
  EXPECT_EQ(dst, FrameBuffer{});
}

TEST(EffectCopy, FixedCopyOrsAndSkipsSourcesOutsideThePicture) {
  const EffectArea area{16, 16, 32};
  FrameBuffer src, dst;
  src.set(16, 31, kDotRed);
  src.set(16, 32, kDotRed);  // beyond W: never copied
  dst.set(16, 1, kDotGreen);
  CopyBlock b;
  b.sourceX = ToFixed(30);
  b.columns = 4;
  b.rows = 1;
  FixedCopy(area, b, src, dst, false);
  EXPECT_EQ(dst.at(16, 1), kDotYellow);  // OR-ed over what was there
  EXPECT_EQ(dst.at(16, 2), 0);
  dst.clear();
  b.sourceX = 31;
  b.columns = 3;
  b.sourceColumnStep = b.sourceRowStep = b.destColumnStep = b.destRowStep = 1;
  DotCopy(area, b, src, dst, true);
  EXPECT_EQ(dst.at(16, 0), kDotRed);
  EXPECT_EQ(dst.at(16, 1), 0);
}

}  // namespace
