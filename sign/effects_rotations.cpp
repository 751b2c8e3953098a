// Rotations: the whole picture turns about its centre while the centre travels in from
// outside the board to its resting place, or from there out. progress holds the angle in
// whole degrees; the centre moves step / 10 a frame.

#include "sign/effect_drivers.h"

namespace sign {

namespace {

// Degrees turned per frame: entries 8 and 9 of the one-line families turn 3 x step, every
// other rotation 2 x step.
int Turn(const EffectState& s) {
  const bool fast = FamilyIsOneLine(s.family) && s.mode == EffectMode::kEntry &&
                    (s.code == kEntryRotateFromAbove || s.code == kEntryRotateFromBelow);
  return (fast ? 3 : 2) * FixedInt(s.step);
}

Fixed Travel(const EffectState& s) {
  return s.step / 10;
}
Fixed RestRow(const EffectState& s) {
  return ToFixed(RowsOf(s) / 2);
}
Fixed RestColumn(const EffectState& s) {
  return ToFixed(s.width / 2);
}

void Draw(const EffectState& s, const FrameBuffer& work, FrameBuffer& back) {
  RotatedCopy(AreaOf(s), s.progress, s.centreRow, s.centreColumn, work, back, true);
}

// Turns forward; true when the angle passed 360 and wrapped.
bool TurnForward(EffectState& s) {
  s.progress += Turn(s);
  if (s.progress < 360) return false;
  s.progress -= 360;
  return true;
}

// Turns backward; true when the angle passed 0 and wrapped.
bool TurnBackward(EffectState& s) {
  s.progress -= Turn(s);
  if (s.progress >= 0) return false;
  s.progress += 360;
  return true;
}

void RotationStart(EffectState& s, int angle) {
  UseRotationStep(s);
  s.progress = angle;
  s.centreRow = RestRow(s);
  s.centreColumn = RestColumn(s);
  s.centreArrived = false;
}

}  // namespace

// Entry 8: the centre comes down from W / 2 above the board, turning forward.
void EntryRotateFromAboveInit(EffectState& s) {
  RotationStart(s, 0);
  s.centreRow = ToFixed(-(s.width / 2));
}

// Entry 9: the centre comes up from W / 2 below the board, turning forward.
void EntryRotateFromBelowInit(EffectState& s) {
  RotationStart(s, 0);
  s.centreRow = ToFixed(s.width / 2 + RowsOf(s));
}

// Entries 8 and 9. The motion ends at the first wrap of the angle that finds the centre at
// rest, so the last turned frame shows the picture in its place.
bool EntryRotateVerticalStep(EffectState& s, const FrameBuffer& work, FrameBuffer& back) {
  Draw(s, work, back);
  if (TurnForward(s) && s.centreArrived) s.finished = true;
  if (!s.centreArrived) {
    const bool fromAbove = s.code == kEntryRotateFromAbove;
    if (fromAbove) {
      s.centreRow += Travel(s);
      s.centreArrived = s.centreRow >= RestRow(s);
    } else {
      s.centreRow -= Travel(s);
      s.centreArrived = s.centreRow < RestRow(s) + kFixedOne;
    }
    if (s.centreArrived) s.centreRow = RestRow(s);
  }
  return true;
}

// Entry 10: the centre comes in from W / 2 left of the board, turning backward.
void EntryRotateFromLeftInit(EffectState& s) {
  RotationStart(s, 359);
  s.centreColumn = ToFixed(-(s.width / 2));
}

bool EntryRotateFromLeftStep(EffectState& s, const FrameBuffer& work, FrameBuffer& back) {
  Draw(s, work, back);
  if (TurnBackward(s) && s.centreArrived) s.finished = true;
  if (!s.centreArrived) {
    s.centreColumn += Travel(s);
    if (s.centreColumn >= RestColumn(s)) {
      s.centreColumn = RestColumn(s);
      s.centreArrived = true;
    }
  }
  return true;
}

// Entry 11: the centre comes in from W / 2 right of the board, turning forward.
void EntryRotateFromRightInit(EffectState& s) {
  RotationStart(s, 0);
  s.centreColumn = ToFixed(s.width + s.width / 2);
}

bool EntryRotateFromRightStep(EffectState& s, const FrameBuffer& work, FrameBuffer& back) {
  Draw(s, work, back);
  if (TurnForward(s) && s.centreArrived) s.finished = true;
  if (!s.centreArrived) {
    s.centreColumn -= Travel(s);
    if (s.centreColumn <= RestColumn(s)) {
      s.centreColumn = RestColumn(s);
      s.centreArrived = true;
    }
  }
  return true;
}

// Exits 7-10: turning backward from 359 degrees, the centre leaves up (7), down (8),
// left (9) or right (10) until it is W / 2 beyond the edge.
void ExitRotateInit(EffectState& s) {
  RotationStart(s, 359);
}

bool ExitRotateStep(EffectState& s, const FrameBuffer& work, FrameBuffer& back) {
  Draw(s, work, back);
  TurnBackward(s);
  const Fixed travel = Travel(s);
  const Fixed halfWidth = ToFixed(s.width / 2);
  switch (s.code) {
    case kExitRotateUp:
      s.centreRow -= travel;
      s.finished = s.centreRow <= -halfWidth;
      break;
    case kExitRotateDown:
      s.centreRow += travel;
      s.finished = s.centreRow >= halfWidth + ToFixed(RowsOf(s));
      break;
    case kExitRotateLeft:
      s.centreColumn -= travel;
      s.finished = s.centreColumn <= -halfWidth;
      break;
    default:  // kExitRotateRight
      s.centreColumn += travel;
      s.finished = s.centreColumn >= ToFixed(s.width) + halfWidth;
      break;
  }
  return true;
}

}  // namespace sign
