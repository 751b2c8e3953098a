#include "sign/effect_copy.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace sign {

namespace {

// The table is worked out by the compiler; at run time only its integers are used.
consteval long double CosSeries(long double x) {
  // x in [-pi/4, pi/4] after reduction: the series converges to full precision quickly.
  long double term = 1.0L;
  long double sum = 1.0L;
  for (int n = 1; n < 20; ++n) {
    term *= -x * x / static_cast<long double>((2 * n - 1) * (2 * n));
    sum += term;
  }
  return sum;
}

consteval long double SinSeries(long double x) {
  long double term = x;
  long double sum = x;
  for (int n = 1; n < 20; ++n) {
    term *= -x * x / static_cast<long double>((2 * n) * (2 * n + 1));
    sum += term;
  }
  return sum;
}

consteval long double CosDegrees(int d) {
  constexpr long double kPi = 3.14159265358979323846264338327950288L;
  // Reduce to within 45 degrees of a multiple of 90 so both series stay short.
  const int k = (d + 45) / 90;
  const int q = k % 4;
  const long double r = static_cast<long double>(d - 90 * k) * kPi / 180.0L;
  switch (q) {
    case 0:
      return CosSeries(r);
    case 1:
      return -SinSeries(r);
    case 2:
      return -CosSeries(r);
    default:
      return SinSeries(r);
  }
}

consteval std::array<int, 360> MakeCosTable() {
  std::array<int, 360> table{};
  for (int d = 0; d < 360; ++d) {
    const long double v = CosDegrees(d) * 65536.0L;
    // Round half away from zero.
    table[static_cast<std::size_t>(d)] =
        v >= 0 ? static_cast<int>(v + 0.5L) : -static_cast<int>(-v + 0.5L);
  }
  return table;
}

constexpr std::array<int, 360> kCosTable = MakeCosTable();
static_assert(kCosTable[0] == 65536 && kCosTable[90] == 0 && kCosTable[180] == -65536);
static_assert(kCosTable[60] == 32768 && kCosTable[300] == 32768 && kCosTable[270] == 0);
static_assert(kCosTable[45] == 46341);

int Wrap360(int degrees) {
  const int d = degrees % 360;
  return d < 0 ? d + 360 : d;
}

bool InsideRows(const EffectArea& area, int r) {
  return r >= 0 && r < area.rows;
}
bool InsideColumns(const EffectArea& area, int c) {
  return c >= 0 && c < area.width;
}

// The copy loop shared by the three rectangular copies; `Int` turns a position into a dot
// index, `orIn` chooses OR-ing over storing.
template <typename Int>
void CopyRect(const EffectArea& area, const CopyBlock& b, const FrameBuffer& source,
              FrameBuffer& dest, bool orIn, Int toDot) {
  for (int i = 0; i < b.rows; ++i) {
    const std::int64_t sy =
        static_cast<std::int64_t>(b.sourceY) + std::int64_t{i} * b.sourceRowStep;
    const std::int64_t dy = static_cast<std::int64_t>(b.destY) + std::int64_t{i} * b.destRowStep;
    const int sr = toDot(sy);
    const int dr = toDot(dy);
    if (!InsideRows(area, sr) || !InsideRows(area, dr)) continue;
    const std::uint8_t* from = source.row(area.top + sr);
    std::uint8_t* to = dest.row(area.top + dr);
    for (int j = 0; j < b.columns; ++j) {
      const int sc =
          toDot(static_cast<std::int64_t>(b.sourceX) + std::int64_t{j} * b.sourceColumnStep);
      const int dc = toDot(static_cast<std::int64_t>(b.destX) + std::int64_t{j} * b.destColumnStep);
      if (!InsideColumns(area, sc) || !InsideColumns(area, dc)) continue;
      if (orIn) {
        to[dc] |= from[sc];
      } else {
        to[dc] = from[sc];
      }
    }
  }
}

int WholeDot(std::int64_t v) {
  return static_cast<int>(std::clamp<std::int64_t>(v, -1, kFrameColumns));
}
int FixedDot(std::int64_t v) {
  return static_cast<int>(std::clamp<std::int64_t>(v >> 16, -1, kFrameColumns));
}

}  // namespace

int CosFixed(int degrees) {
  return kCosTable[static_cast<std::size_t>(Wrap360(degrees))];
}

int SinFixed(int degrees) {
  const int d = Wrap360(degrees);
  return d < 90 ? CosFixed(d + 270) : CosFixed(d - 90);
}

void ClearArea(const EffectArea& area, FrameBuffer& frame) {
  const int width = std::clamp(area.width, 0, kFrameColumns);
  for (int r = 0; r < area.rows; ++r) {
    const int fr = area.top + r;
    if (fr < 0 || fr >= kFrameRows) continue;
    std::fill_n(frame.row(fr), width, std::uint8_t{0});
  }
}

void DotCopy(const EffectArea& area, const CopyBlock& block, const FrameBuffer& source,
             FrameBuffer& dest, bool clearFirst) {
  if (clearFirst) ClearArea(area, dest);
  CopyRect(area, block, source, dest, false, WholeDot);
}

void FixedCopy(const EffectArea& area, const CopyBlock& block, const FrameBuffer& source,
               FrameBuffer& dest, bool clearFirst) {
  if (clearFirst) ClearArea(area, dest);
  CopyRect(area, block, source, dest, true, FixedDot);
}

void RotatedCopy(const EffectArea& area, int degrees, Fixed centreRow, Fixed centreColumn,
                 const FrameBuffer& source, FrameBuffer& dest, bool clearFirst) {
  if (clearFirst) ClearArea(area, dest);
  const std::int64_t cosA = CosFixed(degrees);
  const std::int64_t sinA = SinFixed(degrees);
  const int half = area.rows / 2;
  const int mid = area.width / 2;
  for (int r = 0; r < area.rows; ++r) {
    const std::uint8_t* from = source.row(area.top + r);
    const std::int64_t u = r - half;
    for (int c = 0; c < area.width; ++c) {
      const std::uint8_t dot = from[c];
      if (dot == 0) continue;
      const std::int64_t v = c - mid;
      const std::int64_t row = ((u * cosA - v * sinA + centreRow) >> 16);
      const std::int64_t col = ((v * cosA + u * sinA + centreColumn) >> 16);
      if (row < 0 || row >= area.rows || col < 0 || col >= area.width) continue;
      dest.row(area.top + static_cast<int>(row))[col] |= dot;
    }
  }
}

}  // namespace sign
