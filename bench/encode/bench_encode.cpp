#include <benchmark/benchmark.h>

#include <filesystem>

#include "manager/encode/bmp_reader.h"
#include "manager/encode/gif_reader.h"
#include "manager/encode/program_layout.h"
#include "shared/cp949.h"
#include "tests/support/picture_builders.h"

namespace {

using encode_test::Rgb;

encode_test::Rgb Pattern(int x, int y) {
  return Rgb{static_cast<std::uint8_t>(x * 7), static_cast<std::uint8_t>(y * 13),
             static_cast<std::uint8_t>(x ^ y)};
}

void BM_Bmp800x160ToPlanes(benchmark::State& state) {
  const auto file = encode_test::MakeBmp24(800, 160, Pattern);
  for (auto _ : state) {
    const auto bmp = encode::ReadBmp(file);
    benchmark::DoNotOptimize(encode::BmpToPlanes(*bmp));
  }
}
BENCHMARK(BM_Bmp800x160ToPlanes)->Unit(benchmark::kMicrosecond);

std::vector<std::uint8_t> AnimatedGif(int frames) {
  std::vector<Rgb> colours;
  for (int i = 0; i < 16; ++i)
    colours.push_back(
        Rgb{static_cast<std::uint8_t>(i * 17), static_cast<std::uint8_t>(255 - i * 17), 0});
  encode_test::GifBuilder b(96, 32, colours);
  b.Netscape();
  for (int k = 0; k < frames; ++k) {
    std::vector<std::uint8_t> px(96 * 32);
    for (std::size_t i = 0; i < px.size(); ++i) px[i] = static_cast<std::uint8_t>((i + k) % 16);
    b.Gce(5, 0, k % 2 ? 3 : -1).Image(0, 0, 96, 32, px);
  }
  return b.Finish();
}

void BM_Gif96x32x100ToPlanes(benchmark::State& state) {
  const auto file = AnimatedGif(100);
  for (auto _ : state) {
    encode::GifDecoder gif;
    gif.LoadBytes(file);
    for (int k = 0; k < gif.FrameCount(); ++k) {
      gif.RenderFrame(k);
      benchmark::DoNotOptimize(gif.CanvasToPlanes());
    }
  }
}
BENCHMARK(BM_Gif96x32x100ToPlanes)->Unit(benchmark::kMillisecond);

// 100 items read from files: 10 bitmaps of 320x32, 10 animations of 96x32 with 10 frames,
// the rest texts.
void BM_LayOut100ItemsWith20Pictures(benchmark::State& state) {
  const auto dir = std::filesystem::temp_directory_path() / "encode_bench";
  std::filesystem::create_directories(dir);
  std::vector<item::ItemRecord> list(100);
  for (int i = 0; i < 100; ++i) {
    item::ItemRecord& r = list[static_cast<std::size_t>(i)];
    if (i % 10 == 0) {
      const std::string path = (dir / ("p" + std::to_string(i) + ".bmp")).string();
      encode_test::WriteFile(path, encode_test::MakeBmp24(320, 32, Pattern));
      r.header.setKind(item::ItemKind::Bitmap);
      text::WriteTextQuarter(r.body.textA, path);
    } else if (i % 10 == 5) {
      const std::string path = (dir / ("a" + std::to_string(i) + ".gif")).string();
      encode_test::WriteFile(path, AnimatedGif(10));
      r.header.setKind(item::ItemKind::Animation);
      text::WriteTextQuarter(r.body.textA, path);
    } else {
      r.header.setKind(i % 2 ? item::ItemKind::TwoLine : item::ItemKind::OneLine);
    }
  }
  for (const auto& item : encode::LayOutProgram(list).items)
    if (item.status != encode::ItemStatus::Ok) state.SkipWithError("a picture did not load");
  for (auto _ : state) benchmark::DoNotOptimize(encode::LayOutProgram(list));
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_LayOut100ItemsWith20Pictures)->Unit(benchmark::kMillisecond);

}  // namespace
