#pragma once
// Entry and exit effects of text lines. An effect moves the line's final picture, already
// composed in the work FrameBuffer, into the back FrameBuffer one frame per step. The engine
// owns the states, composes the picture, selects the back buffer before a step and flips after.
//
// Coordinates used by an effect are relative to its family's first row; positions are whole
// dots or 16.16 fixed point (0x10000 is one dot). All run-time arithmetic is integer.

#include <array>
#include <cstdint>

#include "shared/codes.h"
#include "sign/frame_buffer.h"

namespace sign {

// The four sets of rows an effect can work on.
enum class EffectFamily : std::uint8_t {
  kOneLine32 = 0,  // one-line text on a two-tier board: rows 0-31
  kOneLine16 = 1,  // one-line text on a one-tier board: rows 0-15
  kUpperLine = 2,  // line 1 of two-line and title items: rows 0-15
  kLowerLine = 3,  // line 2 of two-line, title and D-day items: rows 16-31
};

// First frame row of the family.
constexpr int FamilyTop(EffectFamily f) {
  return f == EffectFamily::kLowerLine ? 16 : 0;
}
// Number of rows of the family (32 or 16).
constexpr int FamilyRowCount(EffectFamily f) {
  return f == EffectFamily::kOneLine32 ? 32 : 16;
}
// One-line families may change the frame period; line families never do.
constexpr bool FamilyIsOneLine(EffectFamily f) {
  return f == EffectFamily::kOneLine32 || f == EffectFamily::kOneLine16;
}

enum class EffectMode : std::uint8_t { kEntry = 0, kExit = 1 };

// Codes are the item header's (item::kEntryEffectCount and item::kExitEffectCount of
// them, never renumbered). Every code has a driver except the pass-through entry and the
// two "none" codes, which the engine plays itself.
enum EntryCode : int {
  kEntryFromRight = 1,
  kEntryFromBottom,
  kEntryFromTop,
  kEntryRowsOutOfMiddle,
  kEntryRowsFromEdges,
  kEntryColumnsFromEdges,
  kEntryColumnsOutOfMiddle,
  kEntryRotateFromAbove,
  kEntryRotateFromBelow,
  kEntryRotateFromLeft,
  kEntryRotateFromRight,
  kEntryGrow,
  kEntryGrowAcross,  // horizontally only
  kEntryShrink,
  kEntryShrinkAcross,
};
enum ExitCode : int {
  kExitToLeft = 0,
  kExitToBottom,
  kExitToTop,
  kExitRowsIntoMiddle,
  kExitRowsApart,
  kExitColumnsApart,
  kExitColumnsIntoMiddle,
  kExitRotateUp,
  kExitRotateDown,
  kExitRotateLeft,
  kExitRotateRight,
  kExitEnlarge,
  kExitEnlargeAcross,
  kExitShrink,
  kExitShrinkAcross,
};
static_assert(kEntryShrinkAcross + 1 == item::kEntryNone &&
              kExitShrinkAcross + 1 == item::kExitNone);
constexpr int CodeCount(EffectMode m) {
  return m == EffectMode::kEntry ? item::kEntryEffectCount : item::kExitEffectCount;
}

// 16.16 fixed-point value.
using Fixed = std::int32_t;
inline constexpr Fixed kFixedOne = 0x10000;

// The running state of one effect. One set serves both one-line families, one the upper
// line and one the lower line, so the two lines of an item can move at the same time.
struct EffectState {
  // Set by StartEffect.
  EffectFamily family = EffectFamily::kOneLine32;
  EffectMode mode = EffectMode::kEntry;
  int code = 0;
  int speedLevel = 4;  // 2 (fastest) to 5
  int width = 0;       // board width W in dots
  int textWidth = 0;   // width of the line's text, at most W
  int restingX = 0;    // x where the text rests when centred

  // Block copied per frame (positions relative to the family's first row).
  Fixed sourceX = 0, sourceY = 0, destX = 0, destY = 0;
  int columns = 0, rows = 0;
  Fixed sourceColumnStep = kFixedOne, sourceRowStep = kFixedOne;
  Fixed destColumnStep = kFixedOne, destRowStep = kFixedOne;

  // Running value: a distance, a row, an angle (whole degrees) or a size (dots or 16.16).
  Fixed progress = 0;
  // Rotations: where the picture's centre is drawn (16.16, relative rows).
  Fixed centreRow = 0, centreColumn = 0;
  // Per-frame increment: 1, 0x10000, or (6 - speed level) x k x 0x10000 (rotations k = 2,
  // zooms k = 1).
  Fixed step = 0;
  bool centreArrived = false;  // rotations in: the centre has reached its resting place

  // Speed level the frame period should follow while this effect runs; 0 leaves it as is.
  int requestedSpeedLevel = 0;
  bool finished = false;  // the motion has ended; the next step draws the finishing frame
  bool done = false;      // the finishing frame has been drawn
};

// The engine's three effect states.
struct EffectStates {
  EffectState oneLine;
  EffectState upper;
  EffectState lower;

  EffectState& For(EffectFamily f) {
    return f == EffectFamily::kUpperLine ? upper : f == EffectFamily::kLowerLine ? lower : oneLine;
  }
};

// True when `code` of `mode` has a driver.
bool HasEffectDriver(EffectMode mode, int code);

// Resets `state` and starts effect `code` of `mode` on `family`. Call after the line's final
// picture is in the work buffer. speedLevel is taken into 2-5, boardWidth into the range
// from the family's row count to 1008. A code without a driver runs no init; its first step
// draws the finishing frame.
void StartEffect(EffectState& state, EffectFamily family, EffectMode mode, int code, int speedLevel,
                 int textWidth, int restingX, int boardWidth);

// Draws one frame into `back` from `work`, touching only the family's rows and columns
// 0 to W - 1. When the motion has ended it draws the finishing frame instead (entries: the
// whole work picture; exits: an empty frame) and sets done. Returns the done flag.
bool StepEffect(EffectState& state, const FrameBuffer& work, FrameBuffer& back);

// Speed level (2-6) whose frame period the effect wants, or 0 to keep the current one.
// One-line families: the item's level for slides and splits, level 4 for rotations and
// zooms. Line families: always 0. Valid from StartEffect on.
inline int EffectSpeedLevel(const EffectState& state) {
  return state.requestedSpeedLevel;
}

}  // namespace sign
