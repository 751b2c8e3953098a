#pragma once
// Copy primitives of the effects. Each reads the picture (the work buffer) and writes the
// frame (the back buffer) within one area: `rows` rows from frame row `top`, columns 0 to
// width - 1. Block positions are relative to the area's first row; nothing outside the area
// is read or written.

#include <cstdint>

#include "sign/effects.h"
#include "sign/frame_buffer.h"

namespace sign {

// Integer part of a 16.16 value (rounds towards minus infinity).
constexpr int FixedInt(Fixed v) {
  return v >> 16;
}
constexpr Fixed ToFixed(int dots) {
  return static_cast<Fixed>(dots) * kFixedOne;
}

struct EffectArea {
  int top = 0;    // first frame row
  int rows = 32;  // 32 or 16
  int width = 0;  // W
};

// A rectangular copy: `columns` x `rows` source positions from (sourceX, sourceY), each
// landing at (destX, destY) advanced by the destination steps.
struct CopyBlock {
  Fixed sourceX = 0, sourceY = 0, destX = 0, destY = 0;
  int columns = 0, rows = 0;
  Fixed sourceColumnStep = kFixedOne, sourceRowStep = kFixedOne;
  Fixed destColumnStep = kFixedOne, destRowStep = kFixedOne;
};

// Zeroes the area of `frame`.
void ClearArea(const EffectArea& area, FrameBuffer& frame);

// Whole-dot positions and steps; stores the source dot. Only source positions inside the
// area are copied.
void DotCopy(const EffectArea& area, const CopyBlock& block, const FrameBuffer& source,
             FrameBuffer& dest, bool clearFirst);

// 16.16 positions and steps; ORs the source dot. Source columns at or beyond W and source
// rows beyond the area's last row are skipped.
void FixedCopy(const EffectArea& area, const CopyBlock& block, const FrameBuffer& source,
               FrameBuffer& dest, bool clearFirst);

// Turns the whole picture by `degrees` (taken modulo 360) about its centre (row rows / 2,
// column W / 2) and ORs each lit dot in at the rotated place around (centreRow,
// centreColumn), both 16.16 relative to the area. Dots landing outside the area are dropped.
void RotatedCopy(const EffectArea& area, int degrees, Fixed centreRow, Fixed centreColumn,
                 const FrameBuffer& source, FrameBuffer& dest, bool clearFirst);

// cos(d) x 65536 rounded, for whole degrees; d is taken modulo 360.
int CosFixed(int degrees);
// sin(d) x 65536 taken from the same table: cos(d + 270) below 90 degrees, else cos(d - 90).
int SinFixed(int degrees);

}  // namespace sign
