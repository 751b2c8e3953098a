// Slides: the picture moves in or out across one edge, unscaled.

#include "sign/effect_drivers.h"

namespace sign {

namespace {

constexpr Fixed kHalfRow = kFixedOne / 2;
constexpr Fixed kThirdRow = kFixedOne / 3;

// Rows per frame of the vertical entries. On 16 rows the descent from the top is slower,
// except on the upper line; the lower line is slower both ways.
Fixed RiseRate(const EffectState& s) {
  return s.family == EffectFamily::kLowerLine ? kThirdRow : kHalfRow;
}
Fixed DescentRate(const EffectState& s) {
  return (s.family == EffectFamily::kOneLine16 || s.family == EffectFamily::kLowerLine) ? kThirdRow
                                                                                        : kHalfRow;
}

// A full-height block from the picture's top-left.
void FullBlock(EffectState& s) {
  s.sourceX = s.sourceY = s.destX = s.destY = 0;
  s.columns = s.width;
  s.rows = RowsOf(s);
}

}  // namespace

// Entry 1: the picture enters from the right edge, column d of the frame showing column 0.
void EntryFromRightInit(EffectState& s) {
  UseWholeDotStep(s);
  FullBlock(s);
  s.progress = s.width - 1;
}

bool EntryFromRightStep(EffectState& s, const FrameBuffer& work, FrameBuffer& back) {
  if (s.progress < 1) return false;
  s.destX = s.progress;
  s.columns = s.width - s.progress;
  DotCopy(AreaOf(s), BlockOf(s), work, back, true);
  s.progress -= s.step;
  return true;
}

// Entry 2: the picture rises from the bottom edge, its top row at destination y.
void EntryFromBottomInit(EffectState& s) {
  UseFixedStep(s);
  FullBlock(s);
  s.destY = ToFixed(RowsOf(s) - 1);
  s.rows = 1;
}

bool EntryFromBottomStep(EffectState& s, const FrameBuffer& work, FrameBuffer& back) {
  if (FixedInt(s.destY) < 1) return false;
  FixedCopy(AreaOf(s), BlockOf(s), work, back, true);
  s.destY -= RiseRate(s);
  s.rows = RowsOf(s) - FixedInt(s.destY);
  return true;
}

// Entry 3: the picture descends from the top edge; its rows from source y show at row 0.
void EntryFromTopInit(EffectState& s) {
  UseFixedStep(s);
  FullBlock(s);
  s.sourceY = ToFixed(RowsOf(s) - 1);
}

bool EntryFromTopStep(EffectState& s, const FrameBuffer& work, FrameBuffer& back) {
  if (FixedInt(s.sourceY) < 1) return false;
  s.rows = RowsOf(s) - FixedInt(s.sourceY);
  FixedCopy(AreaOf(s), BlockOf(s), work, back, true);
  s.sourceY -= DescentRate(s);
  return true;
}

// Exit 0: the picture leaves at the left edge; column s of the picture shows at column 0.
void ExitToLeftInit(EffectState& s) {
  UseWholeDotStep(s);
  FullBlock(s);
}

bool ExitToLeftStep(EffectState& s, const FrameBuffer& work, FrameBuffer& back) {
  if (s.progress >= s.width) return false;
  s.sourceX = s.progress;
  s.columns = s.width - s.progress;
  DotCopy(AreaOf(s), BlockOf(s), work, back, true);
  s.progress += s.step;
  return true;
}

// Exit 1: the picture sinks out at the bottom edge.
void ExitToBottomInit(EffectState& s) {
  UseFixedStep(s);
  FullBlock(s);
}

bool ExitToBottomStep(EffectState& s, const FrameBuffer& work, FrameBuffer& back) {
  if (FixedInt(s.destY) >= RowsOf(s)) return false;
  s.rows = RowsOf(s) - FixedInt(s.destY);
  FixedCopy(AreaOf(s), BlockOf(s), work, back, true);
  s.destY += kHalfRow;
  return true;
}

// Exit 2: the picture rises out at the top edge.
void ExitToTopInit(EffectState& s) {
  UseFixedStep(s);
  FullBlock(s);
}

bool ExitToTopStep(EffectState& s, const FrameBuffer& work, FrameBuffer& back) {
  if (FixedInt(s.sourceY) >= RowsOf(s)) return false;
  s.rows = RowsOf(s) - FixedInt(s.sourceY);
  FixedCopy(AreaOf(s), BlockOf(s), work, back, true);
  s.sourceY += kHalfRow;
  return true;
}

}  // namespace sign
