// Loading the twenty generated tables, and drawing and measuring a full board line.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "sign/font_set.h"

using namespace sign;

namespace {

std::string PreviewDir() {
  return std::filesystem::path(BRELLION_FONT_DIR).parent_path();
}

// Mixed Hangul, Hanja, symbols and ASCII, more than a 1008-dot line holds.
std::string LineText() {
  std::string s;
  const char* pieces[] = {"\xC7\xD1\xB1\xDB", "ABC 123", "\xA1\xDB\xCA\xA1", "\xC8\xFE!"};
  while (s.size() < 160) {
    for (const char* p : pieces) s += p;
  }
  return s;
}

const FontSet& Fonts() {
  static const FontSet fonts = [] {
    FontSet f;
    if (!f.Load(PreviewDir(), nullptr)) std::abort();
    return f;
  }();
  return fonts;
}

void BM_LoadFonts(benchmark::State& state) {
  for (auto _ : state) {
    FontSet fonts;
    benchmark::DoNotOptimize(fonts.Load(PreviewDir(), nullptr));
  }
}
BENCHMARK(BM_LoadFonts)->Unit(benchmark::kMillisecond);

// One line across the widest board: 32-dot characters, or 16-dot on both tiers.
void BM_DrawLine(benchmark::State& state) {
  const int size = static_cast<int>(state.range(0));
  const FontSet& fonts = Fonts();
  const std::string text = LineText();
  FrameBuffer frame;
  FontPen pen{&frame, kFrameColumns, size, 1, kDotYellow, kDotOff};
  for (auto _ : state) {
    for (int y = 0; y < kFrameRows; y += size) {
      int x = -5;  // start clipped on the left, end clipped on the right
      for (std::size_t i = 0; i < text.size() && x < kFrameColumns;) {
        std::uint16_t code = static_cast<std::uint8_t>(text[i]);
        if (code & 0x80) {
          code = static_cast<std::uint16_t>(code << 8 | static_cast<std::uint8_t>(text[i + 1]));
          i += 2;
        } else {
          ++i;
        }
        x += fonts.DrawChar(pen, x, y, code);
      }
    }
    benchmark::DoNotOptimize(frame.dots.data());
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_DrawLine)->Arg(16)->Arg(32);

void BM_MeasureLine(benchmark::State& state) {
  const std::string text = LineText();
  for (auto _ : state) benchmark::DoNotOptimize(MeasureText(text, 32));
}
BENCHMARK(BM_MeasureLine);

}  // namespace
