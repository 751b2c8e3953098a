#include <benchmark/benchmark.h>

#include <QImage>

#include "sign/qt/led_surface.h"

using namespace sign;

namespace {

// What the playback thread does per frame on the widest board: paint the surface and take
// the copy handed to the window.
void BM_LedSurfacePaintAndHandOver(benchmark::State& state) {
  FrameBuffer f;
  for (int r = 0; r < kFrameRows; ++r) {
    for (int c = 0; c < kFrameColumns; ++c) f.set(r, c, static_cast<std::uint8_t>((r ^ c) << 6));
  }
  LedSurface surface;
  surface.Create(kFrameColumns, kFrameRows);
  for (auto _ : state) {
    QImage copy = surface.Paint(f).copy();
    benchmark::DoNotOptimize(copy.constBits());
  }
  state.counters["frames/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_LedSurfacePaintAndHandOver);

}  // namespace
