// Entry and exit effects on synthetic pictures: frame counts, finishing frames, symmetry,
// two lines at once, and that no frame touches anything outside its family's area.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "previewer/effect_copy.h"
#include "previewer/effects.h"

namespace {

constexpr std::uint8_t kSentinel = 0x3F;  // unlit for the surface, but not zero
constexpr EffectFamily kFamilies[] = {EffectFamily::kOneLine32, EffectFamily::kOneLine16,
                                      EffectFamily::kUpperLine, EffectFamily::kLowerLine};

std::string Name(EffectFamily f, EffectMode m, int code, int width) {
  return "family " + std::to_string(static_cast<int>(f)) +
         (m == EffectMode::kEntry ? " entry " : " exit ") + std::to_string(code) + " W " +
         std::to_string(width);
}

// A picture over the whole buffer; `every` sets how sparse it is.
FrameBuffer Pattern(int every = 7) {
  FrameBuffer fb;
  static constexpr std::uint8_t kColours[] = {kDotRed, kDotGreen, kDotYellow};
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
  FrameBuffer fb;
  const int top = FamilyTop(f);
  const int rows = FamilyRowCount(f);
  for (int r = 0; r < rows; ++r) {
    for (int c = 0; c < width; ++c) {
      const int rr = std::min(r, rows - 1 - r);
      const int cc = std::min(c, width - 1 - c);
      fb.set(top + r, c, base.at(rr, cc));
    }
  }
  return fb;
}

// True when anything outside the family's area differs from the sentinel fill.
bool TouchesOutside(const FrameBuffer& fb, EffectFamily f, int width) {
  const auto clean = [](const std::uint8_t* from, int count) {
    return std::all_of(from, from + count, [](std::uint8_t d) { return d == kSentinel; });
  };
  for (int r = 0; r < kFrameRows; ++r) {
    const bool inside = r >= FamilyTop(f) && r < FamilyTop(f) + FamilyRowCount(f);
    if (inside ? !clean(fb.row(r) + width, kFrameColumns - width)
               : !clean(fb.row(r), kFrameColumns)) {
      return true;
    }
  }
  return false;
}

// Entries end on the whole picture, exits on an empty area.
bool IsFinishingFrame(const FrameBuffer& fb, const FrameBuffer& work, EffectFamily f, EffectMode m,
                      int width) {
  for (int r = FamilyTop(f); r < FamilyTop(f) + FamilyRowCount(f); ++r) {
    for (int c = 0; c < width; ++c) {
      if (fb.at(r, c) != (m == EffectMode::kEntry ? work.at(r, c) : 0)) return false;
    }
  }
  return true;
}

// Steps an effect as the engine does, alternating two back buffers, and calls `frame` after
// each step. Returns the number of steps until done (or -1 if it never ends).
int RunEffect(EffectFamily f, EffectMode m, int code, int level, int width, const FrameBuffer& work,
              const std::function<void(const FrameBuffer&, const EffectState&)>& frame = {},
              int cap = 20000) {
  EffectState s;
  StartEffect(s, f, m, code, level, width, 0, width);
  FrameBuffer a, b;
  a.dots.fill(kSentinel);
  b.dots.fill(kSentinel);
  for (int n = 1; n <= cap; ++n) {
    FrameBuffer& back = (n % 2) ? a : b;
    const bool done = StepEffect(s, work, back);
    if (frame) frame(back, s);
    if (done) return n;
  }
  return -1;
}

// Moving frames of an effect: steps before the finishing one.
int MovingFrames(EffectFamily f, EffectMode m, int code, int level, int width) {
  return RunEffect(f, m, code, level, width, Pattern()) - 1;
}

TEST(EffectFrameCounts, EntryFromRightTakesWidthMinusOneFrames) {
  const FrameBuffer work = Pattern();
  int n = 0;
  const int steps = RunEffect(EffectFamily::kOneLine32, EffectMode::kEntry, 1, 4, 96, work,
                              [&](const FrameBuffer& fb, const EffectState&) {
                                ++n;
                                if (n == 1) {  // column 0 of the picture at the right edge
                                  for (int r = 0; r < 32; ++r) {
                                    EXPECT_EQ(fb.at(r, 95), work.at(r, 0));
                                    EXPECT_EQ(fb.at(r, 94), 0);
                                  }
                                }
                              });
  EXPECT_EQ(steps, 96);  // 95 moving frames, then the picture at rest
}

TEST(EffectFrameCounts, EntryFromBottomRisesHalfOrAThirdOfARow) {
  EXPECT_EQ(MovingFrames(EffectFamily::kOneLine32, EffectMode::kEntry, 2, 4, 96), 61);
  EXPECT_EQ(MovingFrames(EffectFamily::kLowerLine, EffectMode::kEntry, 2, 4, 96), 43);
  EXPECT_EQ(MovingFrames(EffectFamily::kUpperLine, EffectMode::kEntry, 2, 4, 96), 29);
  EXPECT_EQ(MovingFrames(EffectFamily::kOneLine16, EffectMode::kEntry, 2, 4, 96), 29);
  // The descent from the top is slower on 16 rows except on the upper line.
  EXPECT_EQ(MovingFrames(EffectFamily::kOneLine32, EffectMode::kEntry, 3, 4, 96), 61);
  EXPECT_EQ(MovingFrames(EffectFamily::kOneLine16, EffectMode::kEntry, 3, 4, 96), 43);
  EXPECT_EQ(MovingFrames(EffectFamily::kUpperLine, EffectMode::kEntry, 3, 4, 96), 29);
  EXPECT_EQ(MovingFrames(EffectFamily::kLowerLine, EffectMode::kEntry, 3, 4, 96), 43);
}

TEST(EffectFrameCounts, ExitToLeftEmptiesTheBoardAfterWidthFrames) {
  const FrameBuffer work = Pattern();
  for (int width : {32, 96, 320}) {
    int n = 0;
    const int steps =
        RunEffect(EffectFamily::kOneLine16, EffectMode::kExit, 0, 3, width, work,
                  [&](const FrameBuffer& fb, const EffectState&) {
                    if (++n == width) {  // only the last picture column is left, at column 0
                      for (int r = 0; r < 16; ++r) EXPECT_EQ(fb.at(r, 0), work.at(r, width - 1));
                    }
                  });
    EXPECT_EQ(steps, width + 1);
  }
}

TEST(EffectFrameCounts, ZoomsTakeWidthOverStepFrames) {
  // Level 4: two dots a frame; level 2: four.
  EXPECT_EQ(MovingFrames(EffectFamily::kOneLine32, EffectMode::kEntry, 12, 4, 96), 48);
  EXPECT_EQ(MovingFrames(EffectFamily::kOneLine32, EffectMode::kEntry, 15, 2, 96), 24);
  EXPECT_EQ(MovingFrames(EffectFamily::kUpperLine, EffectMode::kExit, 11, 4, 96), 48);
  EXPECT_EQ(MovingFrames(EffectFamily::kLowerLine, EffectMode::kExit, 14, 5, 96), 95);
}

TEST(EffectRotation, DegreesPerFrameFollowTheSpeedLevel) {
  struct Case {
    EffectFamily family;
    EffectMode mode;
    int code;
    int level;
    int turn;
  };
  const Case cases[] = {
      {EffectFamily::kOneLine32, EffectMode::kEntry, 8, 2, 24},
      {EffectFamily::kOneLine16, EffectMode::kEntry, 9, 2, 24},
      {EffectFamily::kOneLine32, EffectMode::kEntry, 8, 5, 6},
      {EffectFamily::kUpperLine, EffectMode::kEntry, 8, 2, 16},
      {EffectFamily::kLowerLine, EffectMode::kEntry, 9, 5, 4},
      {EffectFamily::kOneLine32, EffectMode::kEntry, 10, 2, -16},
      {EffectFamily::kOneLine32, EffectMode::kEntry, 11, 5, 4},
      {EffectFamily::kOneLine16, EffectMode::kExit, 7, 2, -16},
      {EffectFamily::kLowerLine, EffectMode::kExit, 10, 5, -4},
  };
  const FrameBuffer work = Pattern();
  for (const Case& c : cases) {
    EffectState s;
    StartEffect(s, c.family, c.mode, c.code, c.level, 96, 0, 96);
    FrameBuffer back;
    int before = s.progress;
    for (int n = 0; n < 5; ++n) {
      StepEffect(s, work, back);
      EXPECT_EQ((s.progress - before + 360) % 360, (c.turn + 360) % 360)
          << Name(c.family, c.mode, c.code, 96);
      before = s.progress;
    }
  }
}

TEST(EffectRotation, FinishesOneFrameAfterItsMotion) {
  for (int code : {8, 10}) {
    EffectState s;
    StartEffect(s, EffectFamily::kOneLine32, EffectMode::kEntry, code, 2, 0, 0, 64);
    const FrameBuffer work = Pattern();
    FrameBuffer back;
    int n = 0;
    while (!s.finished && n < 10000) {
      EXPECT_FALSE(StepEffect(s, work, back));
      ++n;
    }
    ASSERT_TRUE(s.finished);
    // The last turned frame shows the picture at its resting place, nearly upright.
    EXPECT_TRUE(s.centreArrived);
    EXPECT_FALSE(s.done);
    EXPECT_TRUE(StepEffect(s, work, back));
    for (int r = 0; r < 32; ++r) {
      for (int c = 0; c < 64; ++c) ASSERT_EQ(back.at(r, c), work.at(r, c));
    }
  }
}

TEST(EffectFramePeriod, OneLineSlidesFollowTheItemRotationsAndZoomsUseLevelFour) {
  EffectState s;
  StartEffect(s, EffectFamily::kOneLine32, EffectMode::kEntry, 1, 2, 0, 0, 96);
  EXPECT_EQ(EffectSpeedLevel(s), 2);
  StartEffect(s, EffectFamily::kOneLine16, EffectMode::kExit, 4, 5, 0, 0, 96);
  EXPECT_EQ(EffectSpeedLevel(s), 5);
  StartEffect(s, EffectFamily::kOneLine32, EffectMode::kEntry, 9, 2, 0, 0, 96);
  EXPECT_EQ(EffectSpeedLevel(s), 4);
  StartEffect(s, EffectFamily::kOneLine16, EffectMode::kExit, 12, 5, 0, 0, 96);
  EXPECT_EQ(EffectSpeedLevel(s), 4);
  for (EffectFamily f : {EffectFamily::kUpperLine, EffectFamily::kLowerLine}) {
    StartEffect(s, f, EffectMode::kEntry, 2, 3, 0, 0, 96);
    EXPECT_EQ(EffectSpeedLevel(s), 0);
    StartEffect(s, f, EffectMode::kExit, 8, 3, 0, 0, 96);
    EXPECT_EQ(EffectSpeedLevel(s), 0);
  }
}

// Every code of every family: it ends, draws only inside its area, redraws the whole area
// every frame (nothing of the previous frame in that buffer survives), and its last frame
// is the whole picture (entries) or empty (exits). Widths: 1, 2, 6 and 63 modules.
class EffectSweep : public ::testing::TestWithParam<int> {};

TEST_P(EffectSweep, EveryEffectStaysInItsAreaAndEndsOnItsFinishingFrame) {
  const int width = GetParam();
  const FrameBuffer work = Pattern(width > 200 ? 17 : 7);
  // Slow levels on the widest board would only repeat the same frames many times over.
  const std::vector<int> levels = width > 200 ? std::vector<int>{2} : std::vector<int>{2, 5};
  for (EffectFamily f : kFamilies) {
    for (EffectMode m : {EffectMode::kEntry, EffectMode::kExit}) {
      for (int code = 0; code <= 15; ++code) {
        if (!HasEffectDriver(m, code)) continue;
        for (int level : levels) {
          const std::string what = Name(f, m, code, width);
          bool outside = false;
          bool stale = false;
          bool finishing = false;
          const int steps = RunEffect(
              f, m, code, level, width, work, [&](const FrameBuffer& fb, const EffectState& s) {
                outside = outside || TouchesOutside(fb, f, width);
                for (int r = FamilyTop(f); r < FamilyTop(f) + FamilyRowCount(f) && !stale; ++r) {
                  stale = std::find(fb.row(r), fb.row(r) + width, kSentinel) != fb.row(r) + width;
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

INSTANTIATE_TEST_SUITE_P(Widths, EffectSweep, ::testing::Values(16, 32, 96, 1008));

TEST(EffectCodes, CodesWithoutADriverFinishAtOnce) {
  const FrameBuffer work = Pattern();
  EXPECT_FALSE(HasEffectDriver(EffectMode::kEntry, 0));
  EXPECT_FALSE(HasEffectDriver(EffectMode::kEntry, 16));
  EXPECT_FALSE(HasEffectDriver(EffectMode::kExit, 15));
  EXPECT_FALSE(HasEffectDriver(EffectMode::kExit, -1));
  EXPECT_TRUE(HasEffectDriver(EffectMode::kEntry, 15));
  EXPECT_TRUE(HasEffectDriver(EffectMode::kExit, 14));
  EXPECT_EQ(RunEffect(EffectFamily::kOneLine32, EffectMode::kEntry, 16, 4, 96, work), 1);
  EXPECT_EQ(RunEffect(EffectFamily::kUpperLine, EffectMode::kExit, 15, 4, 96, work), 1);
  EXPECT_EQ(RunEffect(EffectFamily::kLowerLine, EffectMode::kExit, 200, 4, 96, work), 1);
}

TEST(EffectSymmetry, SplitsOfAMirrorImagePictureStayMirrorImages) {
  struct Split {
    EffectMode mode;
    int code;
    bool columns;  // left/right halves; otherwise upper/lower
  };
  const Split splits[] = {
      {EffectMode::kEntry, 4, false}, {EffectMode::kEntry, 5, false}, {EffectMode::kEntry, 6, true},
      {EffectMode::kEntry, 7, true},  {EffectMode::kExit, 3, false},  {EffectMode::kExit, 4, false},
      {EffectMode::kExit, 5, true},   {EffectMode::kExit, 6, true},
  };
  const int width = 80;
  for (EffectFamily f : kFamilies) {
    const FrameBuffer work = MirrorPattern(f, width);
    const int top = FamilyTop(f);
    const int rows = FamilyRowCount(f);
    for (const Split& sp : splits) {
      int lit = 0;
      int asymmetric = 0;
      RunEffect(f, sp.mode, sp.code, 3, width, work,
                [&](const FrameBuffer& fb, const EffectState&) {
                  for (int r = 0; r < rows; ++r) {
                    for (int c = 0; c < width; ++c) {
                      const std::uint8_t mirror =
                          sp.columns ? fb.at(top + r, width - 1 - c) : fb.at(top + rows - 1 - r, c);
                      if (fb.at(top + r, c) != mirror) ++asymmetric;
                      if (fb.at(top + r, c) != 0) ++lit;
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
  for (const auto& [entry, exit] : pairs) {
    EffectStates together, upperAlone, lowerAlone;
    StartEffect(together.upper, EffectFamily::kUpperLine, EffectMode::kEntry, entry, 3, 0, 0,
                width);
    StartEffect(together.lower, EffectFamily::kLowerLine, EffectMode::kExit, exit, 3, 0, 0, width);
    upperAlone = together;
    lowerAlone = together;
    FrameBuffer both, upper, lower;
    for (int n = 0; n < 3000 && !(EffectDone(together.upper) && EffectDone(together.lower)); ++n) {
      if (!EffectDone(together.upper)) {
        StepEffect(together.For(EffectFamily::kUpperLine), work, both);
        StepEffect(upperAlone.upper, work, upper);
      }
      if (!EffectDone(together.lower)) {
        StepEffect(together.For(EffectFamily::kLowerLine), work, both);
        StepEffect(lowerAlone.lower, work, lower);
      }
      for (int r = 0; r < 32; ++r) {
        const FrameBuffer& alone = r < 16 ? upper : lower;
        for (int c = 0; c < width; ++c) {
          ASSERT_EQ(both.at(r, c), alone.at(r, c))
              << "entry " << entry << " exit " << exit << " frame " << n << " row " << r;
        }
      }
    }
    EXPECT_TRUE(EffectDone(together.upper) && EffectDone(together.lower));
  }
}

// Exits other than the rotations start from the picture as it stood during the hold, so
// the line does not jump when it starts to leave.
TEST(EffectMotion, ExitsStartFromTheStandingPicture) {
  const FrameBuffer work = Pattern();
  for (EffectFamily f : kFamilies) {
    for (int code : {0, 1, 2, 3, 4, 5, 6, 11, 12, 13, 14}) {
      int n = 0;
      RunEffect(f, EffectMode::kExit, code, 3, 96, work,
                [&](const FrameBuffer& fb, const EffectState&) {
                  if (++n == 1) {
                    EXPECT_TRUE(IsFinishingFrame(fb, work, f, EffectMode::kEntry, 96))
                        << Name(f, EffectMode::kExit, code, 96);
                  }
                });
    }
  }
}

// Growing zooms draw the picture only inside a centred window of the current size.
TEST(EffectMotion, GrowingZoomStaysInsideItsCentredWindow) {
  const FrameBuffer work = Pattern();
  const int width = 96;
  for (int code : {12, 13}) {
    int frames = 0;
    RunEffect(EffectFamily::kOneLine32, EffectMode::kEntry, code, 4, width, work,
              [&](const FrameBuffer& fb, const EffectState& s) {
                if (s.done) return;
                ++frames;
                const int p = FixedInt(s.progress - s.step);  // size this frame was drawn at
                const int h = code == 12 ? p * 32 / width : 32;
                int lit = 0;
                for (int r = 0; r < 32; ++r) {
                  for (int c = 0; c < width; ++c) {
                    if (fb.at(r, c) == 0) continue;
                    ++lit;
                    EXPECT_GE(c, (width - p) / 2 - 1) << code << " p " << p;
                    EXPECT_LE(c, (width + p) / 2 + 1) << code << " p " << p;
                    EXPECT_GE(r, (32 - h) / 2 - 1) << code << " p " << p;
                    EXPECT_LE(r, (32 + h) / 2 + 1) << code << " p " << p;
                  }
                }
                EXPECT_GT(lit, 0);
              });
    EXPECT_EQ(frames, 48);
  }
}

TEST(EffectCopy, CosineTableAndSineRelation) {
  for (int d = 0; d < 360; ++d) {
    const double c = std::cos(d * 3.14159265358979323846 / 180.0) * 65536.0;
    EXPECT_EQ(CosFixed(d), static_cast<int>(std::lround(c))) << d;
    const double s = std::sin(d * 3.14159265358979323846 / 180.0) * 65536.0;
    EXPECT_EQ(SinFixed(d), static_cast<int>(std::lround(s))) << d;
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
  b.destX = 0;
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
