#include "sign/effects.h"

#include <algorithm>
#include <array>
#include <span>

#include "sign/effect_drivers.h"

namespace sign {

namespace {

// Drivers by code, up to the "none" codes. The codes are those stored in item headers; each
// row names its code and the table is checked to be in code order, so a code can never
// silently move.
constexpr std::array<EffectDriver, item::kEntryNone> kEntryDrivers = {{
    {item::kEntryPassThrough, nullptr, nullptr},  // played by the engine
    {kEntryFromRight, EntryFromRightInit, EntryFromRightStep},
    {kEntryFromBottom, EntryFromBottomInit, EntryFromBottomStep},
    {kEntryFromTop, EntryFromTopInit, EntryFromTopStep},
    {kEntryRowsOutOfMiddle, SplitInit, EntryRowsOutOfMiddleStep},
    {kEntryRowsFromEdges, SplitInit, EntryRowsFromEdgesStep},
    {kEntryColumnsFromEdges, SplitInit, EntryColumnsFromEdgesStep},
    {kEntryColumnsOutOfMiddle, SplitInit, EntryColumnsOutOfMiddleStep},
    {kEntryRotateFromAbove, EntryRotateFromAboveInit, EntryRotateVerticalStep},
    {kEntryRotateFromBelow, EntryRotateFromBelowInit, EntryRotateVerticalStep},
    {kEntryRotateFromLeft, EntryRotateFromLeftInit, EntryRotateFromLeftStep},
    {kEntryRotateFromRight, EntryRotateFromRightInit, EntryRotateFromRightStep},
    {kEntryGrow, EntryZoomInit, EntryGrowStep},
    {kEntryGrowAcross, EntryZoomInit, EntryGrowStep},
    {kEntryShrink, EntryZoomInit, EntryShrinkStep},
    {kEntryShrinkAcross, EntryZoomInit, EntryShrinkStep},
}};

constexpr std::array<EffectDriver, item::kExitNone> kExitDrivers = {{
    {kExitToLeft, ExitToLeftInit, ExitToLeftStep},
    {kExitToBottom, ExitToBottomInit, ExitToBottomStep},
    {kExitToTop, ExitToTopInit, ExitToTopStep},
    {kExitRowsIntoMiddle, SplitInit, ExitRowsIntoMiddleStep},
    {kExitRowsApart, SplitInit, ExitRowsApartStep},
    {kExitColumnsApart, SplitInit, ExitColumnsApartStep},
    {kExitColumnsIntoMiddle, SplitInit, ExitColumnsIntoMiddleStep},
    {kExitRotateUp, ExitRotateInit, ExitRotateStep},
    {kExitRotateDown, ExitRotateInit, ExitRotateStep},
    {kExitRotateLeft, ExitRotateInit, ExitRotateStep},
    {kExitRotateRight, ExitRotateInit, ExitRotateStep},
    {kExitEnlarge, ExitZoomInit, ExitEnlargeStep},
    {kExitEnlargeAcross, ExitZoomInit, ExitEnlargeStep},
    {kExitShrink, ExitZoomInit, ExitShrinkStep},
    {kExitShrinkAcross, ExitZoomInit, ExitShrinkStep},
}};

template <std::size_t N>
constexpr bool InCodeOrder(const std::array<EffectDriver, N>& table) {
  for (std::size_t i = 0; i < N; ++i) {
    if (table[i].code != static_cast<int>(i)) return false;
  }
  return true;
}
static_assert(InCodeOrder(kEntryDrivers) && InCodeOrder(kExitDrivers));

const EffectDriver* FindDriver(EffectMode mode, int code) {
  const std::span<const EffectDriver> table = mode == EffectMode::kEntry
                                                  ? std::span<const EffectDriver>(kEntryDrivers)
                                                  : std::span<const EffectDriver>(kExitDrivers);
  if (code < 0 || static_cast<std::size_t>(code) >= table.size()) return nullptr;
  const EffectDriver& d = table[static_cast<std::size_t>(code)];
  return d.init != nullptr ? &d : nullptr;
}

// Entries end on the whole picture, exits on an empty line.
void DrawFinishingFrame(EffectState& s, const FrameBuffer& work, FrameBuffer& back) {
  const EffectArea area = AreaOf(s);
  if (s.mode == EffectMode::kEntry) {
    for (int r = 0; r < area.rows; ++r) {
      std::copy_n(work.row(area.top + r), area.width, back.row(area.top + r));
    }
  } else {
    ClearArea(area, back);
  }
  s.finished = true;
  s.done = true;
}

// Rotations and zooms keep the frame period of level 4 and go faster by their step instead.
int RequestLevel(const EffectState& s, bool ownPace) {
  if (!FamilyIsOneLine(s.family)) return 0;
  return ownPace ? s.speedLevel : 4;
}

void SetCopySteps(EffectState& s, Fixed v) {
  s.sourceColumnStep = s.sourceRowStep = s.destColumnStep = s.destRowStep = v;
}

}  // namespace

CopyBlock BlockOf(const EffectState& s) {
  CopyBlock b;
  b.sourceX = s.sourceX;
  b.sourceY = s.sourceY;
  b.destX = s.destX;
  b.destY = s.destY;
  b.columns = s.columns;
  b.rows = s.rows;
  b.sourceColumnStep = s.sourceColumnStep;
  b.sourceRowStep = s.sourceRowStep;
  b.destColumnStep = s.destColumnStep;
  b.destRowStep = s.destRowStep;
  return b;
}

void UseWholeDotStep(EffectState& s) {
  s.step = 1;
  SetCopySteps(s, 1);
  s.requestedSpeedLevel = RequestLevel(s, true);
}

void UseFixedStep(EffectState& s) {
  s.step = kFixedOne;
  SetCopySteps(s, kFixedOne);
  s.requestedSpeedLevel = RequestLevel(s, true);
}

void UseRotationStep(EffectState& s) {
  s.step = (6 - s.speedLevel) * 2 * kFixedOne;
  s.requestedSpeedLevel = RequestLevel(s, false);
}

void UseZoomStep(EffectState& s) {
  s.step = (6 - s.speedLevel) * kFixedOne;
  SetCopySteps(s, kFixedOne);
  s.requestedSpeedLevel = RequestLevel(s, false);
}

bool HasEffectDriver(EffectMode mode, int code) {
  return FindDriver(mode, code) != nullptr;
}

void StartEffect(EffectState& state, EffectFamily family, EffectMode mode, int code, int speedLevel,
                 int textWidth, int restingX, int boardWidth) {
  state = EffectState{};
  state.family = family;
  state.mode = mode;
  state.code = code;
  // Level 6 would give rotations and zooms a step of 0 and they would never end.
  state.speedLevel = std::clamp(speedLevel, 2, 5);
  // Boards are at least two modules wide; no family is narrower than it is high, so the
  // zooms' W / rows is never 0.
  state.width = std::clamp(boardWidth, FamilyRowCount(family), kFrameColumns);
  state.textWidth = std::clamp(textWidth, 0, state.width);
  state.restingX = restingX;
  if (const EffectDriver* d = FindDriver(mode, code)) d->init(state);
}

bool StepEffect(EffectState& state, const FrameBuffer& work, FrameBuffer& back) {
  const EffectDriver* d = FindDriver(state.mode, state.code);
  if (d != nullptr && !state.finished && d->step(state, work, back)) return false;
  DrawFinishingFrame(state, work, back);
  return true;
}

}  // namespace sign
