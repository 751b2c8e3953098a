// What the editor's strip costs: from a changed character of a full one-line text to the
// first new frame (layout in memory, engine start, first frame painted as dots), and one
// playing strip's CPU per second of play.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "manager/preview/item_image.h"
#include "sign/led_pixels.h"
#include "sign/playback_engine.h"
#include "tests/support/preview_builder.h"
#include "tests/support/test_fonts.h"

namespace {

class NoPictures final : public encode::PictureSource {
 public:
  std::optional<encode::Planes> Bitmap(std::string_view) override { return std::nullopt; }
  std::unique_ptr<encode::PictureFrames> Animation(std::string_view) override { return nullptr; }
};

// A title and a sentence of 2047 bytes of mixed Hangul and ASCII.
item::ItemRecord LongItem() {
  std::string text;
  while (text.size() + 2 <= 2047) text += (text.size() % 6 == 0) ? "A" : "\xB0\xA1";
  while (text.size() < 2047) text += "B";
  sign_test::PreviewBuilder b(20, 2);
  item::ItemRecord& r =
      b.Text(item::ItemKind::TitleSentence, "T", sign_test::Attr(2), text, sign_test::Attr(1));
  r.header[item::hdr::kLowerEntry] = 1;
  return r;
}

void BM_ChangeToFirstFrame(benchmark::State& state) {
  item::ItemRecord record = LongItem();
  const preview::Board board{20, 2, false};
  const sign::FixedClock clock(sign::LocalTime{2026, 12, 7, 9, 41, 5});
  NoPictures none;
  sign::FlashImage image;
  std::vector<std::uint32_t> pixels(std::size_t(20 * 16 * 3) * (32 * 3));
  int n = 0;
  for (auto _ : state) {
    record.body.textB[100] = (n++ % 2) ? 'X' : 'Y';  // the changed character
    image.OpenMemory(preview::OneItemImage(record, board, none));
    sign::PlaybackEngine engine(image, sign_test::TestFonts(), clock);
    engine.Start();
    while (!engine.Step()) {
    }
    sign::PaintDots(engine.front(), engine.geometry().width, engine.geometry().rows,
                    pixels.data(), std::size_t(20 * 16 * 3));
    benchmark::DoNotOptimize(pixels.data());
  }
}
BENCHMARK(BM_ChangeToFirstFrame)->Unit(benchmark::kMillisecond);

// One second of a playing strip at the item's pace: the frames a 30 ms item shows in a
// second, each stepped and painted.
void BM_StripSecond(benchmark::State& state) {
  const item::ItemRecord record = LongItem();
  const sign::FixedClock clock(sign::LocalTime{2026, 12, 7, 9, 41, 5});
  NoPictures none;
  sign::FlashImage image;
  image.OpenMemory(preview::OneItemImage(record, {20, 2, false}, none));
  sign::PlaybackEngine engine(image, sign_test::TestFonts(), clock);
  engine.Start();
  std::vector<std::uint32_t> pixels(std::size_t(20 * 16 * 3) * (32 * 3));
  for (auto _ : state) {
    for (int f = 0; f < 1000 / engine.framePeriodMs(); ++f) {
      while (!engine.Step()) {
      }
      engine.ClearFrameReady();
      sign::PaintDots(engine.front(), engine.geometry().width, engine.geometry().rows,
                      pixels.data(), std::size_t(20 * 16 * 3));
    }
    benchmark::DoNotOptimize(pixels.data());
  }
}
BENCHMARK(BM_StripSecond)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
