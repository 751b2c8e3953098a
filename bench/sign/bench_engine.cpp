#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "sign/led_pixels.h"
#include "sign/playback_engine.h"
#include "tests/support/preview_builder.h"
#include "tests/support/test_fonts.h"

using namespace sign;
using sign_test::Art;
using sign_test::Attr;
using sign_test::PreviewBuilder;

namespace {

// A program with an item of every kind the engine plays, the connection flag set.
PreviewBuilder EveryKindProgram(int modules, int tier) {
  PreviewBuilder b(modules, tier, true);
  const std::string hangul = "\xB0\xA1\xB3\xAA\xB4\xD9 ABC";  // 가나다 ABC
  b.OneLine(hangul, 1, 0, 0, 0, Attr(2));
  b.OneLine(hangul, 12, 0, 0, 11, Attr(1, 1));
  b.OneLine(hangul + hangul + hangul + hangul, 0, 0, 0, 0);
  item::ItemRecord& two = b.Add(item::ItemKind::TwoLine);
  two.header[item::hdr::kUpperEntry] = 8;
  two.header[item::hdr::kLowerEntry] = 0;
  two.header[item::hdr::kUpperExit] = 3;
  PreviewBuilder::SetText(two.body.textA, two.body.attrA, hangul, Attr(1));
  PreviewBuilder::SetText(two.body.textB, two.body.attrB, hangul, Attr(0));
  item::ItemRecord& title = b.Add(item::ItemKind::TitleSentence);
  title.header[item::hdr::kLowerEntry] = 2;
  title.header[item::hdr::kLowerExit] = 1;
  PreviewBuilder::SetText(title.body.textA, title.body.attrA, "T", Attr(2));
  PreviewBuilder::SetText(title.body.textB, title.body.attrB, hangul, Attr(0));
  Art art;
  for (int r = 0; r < 32; ++r) {
    std::string row;
    for (int c = 0; c < 120; ++c) row += "RGY."[(r + c) % 4];
    art.rows.push_back(row);
  }
  b.Bitmap(art, 0, 0, 0);
  b.Bitmap(art, 1, 0, 0);
  b.Animation({art, art, art}, 0);
  b.Add(item::ItemKind::DateTime);
  item::ItemRecord& dday = b.Add(item::ItemKind::DDay);
  PreviewBuilder::SetText(dday.body.textA, dday.body.attrA, "D", Attr(1));
  dday.header.set16(item::hdr::kDDayYear, 2030);
  dday.header[item::hdr::kDDayMonth] = 1;
  dday.header[item::hdr::kDDayDay] = 1;
  return b;
}

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
  EveryKindProgram(static_cast<int>(state.range(0)), static_cast<int>(state.range(1))).Load(image);
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
