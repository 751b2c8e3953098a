// Zooms: the picture is scaled about the board's centre. progress is the scaled width p in
// 16.16; the height h follows it in the board's proportions, h = p / (W / rows) (rows 32,
// or 16 on the 16-row families). Scale factors are truncated quotients and never exceed
// one dot per step.

#include <algorithm>
#include <cstdint>

#include "sign/effect_drivers.h"

namespace sign {

namespace {

// W / rows is truncated first, so on a board of an odd number of modules the height runs
// ahead of p x rows / W.
Fixed Height(const EffectState& s, Fixed p) {
  return p / (s.width / RowsOf(s));
}
// p / (W - 1) and h / (rows - 1): the size as a fraction of the full picture, 16.16.
Fixed ColumnScale(const EffectState& s, Fixed p) {
  return p / (s.width - 1);
}
Fixed RowScale(const EffectState& s, Fixed h) {
  return h / (RowsOf(s) - 1);
}
Fixed AtMostOne(Fixed v) {
  return std::min(v, kFixedOne);
}

// Start of a window of size `size` centred in `full` dots, 16.16, never negative.
Fixed CentredStart(int full, Fixed size) {
  return std::max<Fixed>((ToFixed(full) - size) / 2, 0);
}

bool BothDirections(const EffectState& s) {
  return s.mode == EffectMode::kEntry ? (s.code == kEntryGrow || s.code == kEntryShrink)
                                      : (s.code == kExitEnlarge || s.code == kExitShrink);
}

void WholePictureBlock(EffectState& s) {
  s.sourceX = s.sourceY = s.destX = s.destY = 0;
  s.columns = s.width;
  s.rows = RowsOf(s);
  s.sourceColumnStep = s.sourceRowStep = s.destColumnStep = s.destRowStep = kFixedOne;
}

// Leaving zooms scale rows only while the window's first row lies within 1 to rows / 2 - 1;
// near full size the row scale would exceed one dot.
bool RowsScaled(const EffectState& s, Fixed windowTop) {
  const int top = FixedInt(windowTop);
  return top >= 1 && top <= RowsOf(s) / 2 - 1;
}

void ZoomFrame(EffectState& s, const FrameBuffer& work, FrameBuffer& back) {
  FixedCopy(AreaOf(s), BlockOf(s), work, back, true);
}

}  // namespace

// Entries 12-15: p grows from 0 to W.
void EntryZoomInit(EffectState& s) {
  UseZoomStep(s);
  WholePictureBlock(s);
  s.progress = 0;
}

// Entries 12 and 13: the whole picture is drawn into a centred window of width p (and
// height h when both directions).
bool EntryGrowStep(EffectState& s, const FrameBuffer& work, FrameBuffer& back) {
  const Fixed p = s.progress;
  if (FixedInt(p) >= s.width) return false;
  WholePictureBlock(s);
  s.destColumnStep = AtMostOne(ColumnScale(s, p));
  s.destX = CentredStart(s.width, p);
  if (BothDirections(s)) {
    const Fixed h = Height(s, p);
    s.destRowStep = AtMostOne(RowScale(s, h));
    s.destY = CentredStart(RowsOf(s), h);
    if (FixedInt(s.destY) >= RowsOf(s)) s.destY = 0;
  }
  ZoomFrame(s, work, back);
  s.progress += s.step;
  return true;
}

// Entries 14 and 15: a centred window of the picture of width p (and height h) is
// magnified onto the whole line.
bool EntryShrinkStep(EffectState& s, const FrameBuffer& work, FrameBuffer& back) {
  const Fixed p = s.progress;
  if (FixedInt(p) >= s.width) return false;
  WholePictureBlock(s);
  s.sourceColumnStep = AtMostOne(ColumnScale(s, p));
  s.sourceX = CentredStart(s.width, p);
  if (BothDirections(s)) {
    const Fixed h = Height(s, p);
    s.sourceRowStep = AtMostOne(RowScale(s, h));
    s.sourceY = CentredStart(RowsOf(s), h);
  }
  ZoomFrame(s, work, back);
  s.progress += s.step;
  return true;
}

// Exits 11-14: p falls from W - 1 towards 0.
void ExitZoomInit(EffectState& s) {
  UseZoomStep(s);
  WholePictureBlock(s);
  s.progress = ToFixed(s.width - 1);
}

namespace {

// One side of the copy: where its window starts and how far it steps per dot.
struct Window {
  Fixed& x;
  Fixed& y;
  Fixed& columnStep;
  Fixed& rowStep;
};
Window SourceWindow(EffectState& s) {
  return {s.sourceX, s.sourceY, s.sourceColumnStep, s.sourceRowStep};
}
Window DestWindow(EffectState& s) {
  return {s.destX, s.destY, s.destColumnStep, s.destRowStep};
}

// Exits 11-14 shrink a centred window on one side of the copy: on the source side the
// picture is magnified out of the line (11, 12), on the destination side squeezed into
// its middle (13, 14).
bool ExitZoomStep(EffectState& s, const FrameBuffer& work, FrameBuffer& back,
                  Window (*side)(EffectState&)) {
  const Fixed p = s.progress;
  if (FixedInt(p) < 1) return false;
  WholePictureBlock(s);
  const Window w = side(s);
  w.columnStep = ColumnScale(s, p);
  w.x = std::min(CentredStart(s.width, p), ToFixed(s.width / 2));
  if (BothDirections(s)) {
    const Fixed h = Height(s, p);
    const Fixed top = CentredStart(RowsOf(s), h);
    if (RowsScaled(s, top)) {
      w.rowStep = RowScale(s, h);
      w.y = top;
    }
  }
  ZoomFrame(s, work, back);
  s.progress -= s.step;
  return true;
}

}  // namespace

bool ExitEnlargeStep(EffectState& s, const FrameBuffer& work, FrameBuffer& back) {
  return ExitZoomStep(s, work, back, SourceWindow);
}

bool ExitShrinkStep(EffectState& s, const FrameBuffer& work, FrameBuffer& back) {
  return ExitZoomStep(s, work, back, DestWindow);
}

}  // namespace sign
