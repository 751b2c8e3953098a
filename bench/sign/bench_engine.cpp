#include <benchmark/benchmark.h>

#include <vector>

#include "tests/support/preview_builder.h"
#include "sign/led_pixels.h"
#include "sign/playback_engine.h"
#include "tests/support/test_fonts.h"

using namespace sign;

namespace {

// One frame of the widest board, 1008 x 32 dots, as the window paints it.
void BM_PaintFrame(benchmark::State& state) {
  FrameBuffer f;
  for (int r = 0; r < kFrameRows; ++r) {
    for (int c = 0; c < kFrameColumns; ++c) f.set(r, c, static_cast<std::uint8_t>((r + c) << 6));
  }
  const std::size_t stride = kFrameColumns * kDotPixels;
  std::vector<std::uint32_t> pixels(stride * kFrameRows * kDotPixels);
  for (auto _ : state) {
    PaintDots(f, kFrameColumns, kFrameRows, pixels.data(), stride);
    benchmark::DoNotOptimize(pixels.data());
  }
  state.counters["frames/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_PaintFrame);

// Engine steps over a program of every kind: args are modules and tier code (one tier
// reaches 63 modules = 1008 dots; two tiers at most 24 modules = 384 dots).
void BM_EngineSteps(benchmark::State& state) {
  FlashImage image;
  sign_test::EveryKindProgram(static_cast<int>(state.range(0)),
                                    static_cast<int>(state.range(1)))
      .Load(image);
  FixedClock clock({2025, 6, 1, 9, 5, 0});
  PlaybackEngine engine(image, sign_test::TestFonts(), clock);
  engine.Start();
  for (auto _ : state) benchmark::DoNotOptimize(engine.Step());
  state.counters["steps/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.counters["loops"] = engine.programLoops();
}
BENCHMARK(BM_EngineSteps)->Args({63, 1})->Args({24, 2})->Args({6, 1})->MinTime(2.0);

}  // namespace
