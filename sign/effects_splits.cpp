// Splits: the picture's two halves (upper/lower or left/right) move towards or away from
// each other. Vertical splits count whole rows in 16.16, horizontal ones whole dots.

#include "sign/effect_drivers.h"

namespace sign {

namespace {

int HalfRows(const EffectState& s) {
  return RowsOf(s) / 2;
}
int HalfWidth(const EffectState& s) {
  return s.width / 2;
}

// Copies `rows` full-width picture rows from `from` to `to` (relative rows).
void CopyRows(const EffectState& s, int from, int to, int rows, const FrameBuffer& work,
              FrameBuffer& back) {
  CopyBlock b;
  b.sourceY = ToFixed(from);
  b.destY = ToFixed(to);
  b.columns = s.width;
  b.rows = rows;
  FixedCopy(AreaOf(s), b, work, back, false);
}

// Copies `columns` full-height picture columns from `from` to `to`.
void CopyColumns(const EffectState& s, int from, int to, int columns, const FrameBuffer& work,
                 FrameBuffer& back) {
  CopyBlock b;
  b.sourceX = from;
  b.destX = to;
  b.columns = columns;
  b.rows = RowsOf(s);
  b.sourceColumnStep = b.sourceRowStep = b.destColumnStep = b.destRowStep = 1;
  DotCopy(AreaOf(s), b, work, back, false);
}

// Runs one frame of a vertical split with p whole rows of progress, or reports its end.
template <typename Draw>
bool RowSplitFrame(EffectState& s, FrameBuffer& back, Draw draw) {
  const int p = FixedInt(s.progress);
  if (p >= HalfRows(s)) return false;
  ClearArea(AreaOf(s), back);
  draw(p);
  s.progress += s.step;
  return true;
}

template <typename Draw>
bool ColumnSplitFrame(EffectState& s, FrameBuffer& back, Draw draw) {
  const int p = s.progress;
  if (p >= HalfWidth(s)) return false;
  ClearArea(AreaOf(s), back);
  draw(p);
  s.progress += s.step;
  return true;
}

bool IsColumnSplit(const EffectState& s) {
  return s.mode == EffectMode::kEntry
             ? (s.code == kEntryColumnsFromEdges || s.code == kEntryColumnsOutOfMiddle)
             : (s.code == kExitColumnsApart || s.code == kExitColumnsIntoMiddle);
}

}  // namespace

void SplitInit(EffectState& s) {
  if (IsColumnSplit(s)) {
    UseWholeDotStep(s);
  } else {
    UseFixedStep(s);
  }
  s.progress = 0;
}

// Entry 4: the upper half's top rows and the lower half's bottom rows grow out of the
// middle row.
bool EntryRowsOutOfMiddleStep(EffectState& s, const FrameBuffer& work, FrameBuffer& back) {
  const int h = HalfRows(s);
  const int r = RowsOf(s);
  return RowSplitFrame(s, back, [&](int p) {
    CopyRows(s, 0, h - p, p, work, back);
    CopyRows(s, r - p, h, p, work, back);
  });
}

// Entry 5: the halves slide in from the top and bottom edges.
bool EntryRowsFromEdgesStep(EffectState& s, const FrameBuffer& work, FrameBuffer& back) {
  const int h = HalfRows(s);
  const int r = RowsOf(s);
  return RowSplitFrame(s, back, [&](int p) {
    CopyRows(s, h - p, 0, p, work, back);
    CopyRows(s, h, r - p, p, work, back);
  });
}

// Entry 6: the halves slide in from the left and right edges.
bool EntryColumnsFromEdgesStep(EffectState& s, const FrameBuffer& work, FrameBuffer& back) {
  const int m = HalfWidth(s);
  return ColumnSplitFrame(s, back, [&](int p) {
    CopyColumns(s, m - p, 0, p, work, back);
    CopyColumns(s, m, s.width - p, p, work, back);
  });
}

// Entry 7: the halves grow out of the middle column.
bool EntryColumnsOutOfMiddleStep(EffectState& s, const FrameBuffer& work, FrameBuffer& back) {
  const int m = HalfWidth(s);
  return ColumnSplitFrame(s, back, [&](int p) {
    CopyColumns(s, 0, m - p, p, work, back);
    CopyColumns(s, s.width - p, m, p, work, back);
  });
}

// Exit 3: both halves close into the middle row.
bool ExitRowsIntoMiddleStep(EffectState& s, const FrameBuffer& work, FrameBuffer& back) {
  const int h = HalfRows(s);
  return RowSplitFrame(s, back, [&](int p) {
    CopyRows(s, 0, p, h - p, work, back);
    CopyRows(s, h + p, h, h - p, work, back);
  });
}

// Exit 4: the halves move apart, up and down.
bool ExitRowsApartStep(EffectState& s, const FrameBuffer& work, FrameBuffer& back) {
  const int h = HalfRows(s);
  return RowSplitFrame(s, back, [&](int p) {
    CopyRows(s, p, 0, h - p, work, back);
    CopyRows(s, h, h + p, h - p, work, back);
  });
}

// Exit 5: the halves move apart, left and right.
bool ExitColumnsApartStep(EffectState& s, const FrameBuffer& work, FrameBuffer& back) {
  const int m = HalfWidth(s);
  return ColumnSplitFrame(s, back, [&](int p) {
    CopyColumns(s, p, 0, m - p, work, back);
    CopyColumns(s, m, m + p, m - p, work, back);
  });
}

// Exit 6: the halves close into the middle column.
bool ExitColumnsIntoMiddleStep(EffectState& s, const FrameBuffer& work, FrameBuffer& back) {
  const int m = HalfWidth(s);
  return ColumnSplitFrame(s, back, [&](int p) {
    CopyColumns(s, 0, p, m - p, work, back);
    CopyColumns(s, m + p, m, m - p, work, back);
  });
}

}  // namespace sign
