// Arbitrary small preview images through geometry, item loading and the first frames.
// Input: 5 setting bytes (width, tier code, count high, count low, connection), 4 bytes
// of local time, then chunks of [region, offset high, offset low, length, bytes...].

#include <cstddef>
#include <cstdint>
#include <vector>

#include "shared/board_memory.h"
#include "sign/playback_engine.h"
#include "tests/support/test_fonts.h"

using namespace sign;

namespace {

// The item table, item data, the picture areas, the very end of the memory, the model id.
std::uint32_t RegionBase(std::uint8_t region, std::uint32_t offset) {
  const std::uint32_t bases[] = {
      board::kItemTable + offset % 0x1000,   board::kItemData + offset * 8,
      board::kBitmapArea + offset,           board::kAnimationArea + offset,
      board::kMemorySize - 0x10000 + offset, board::kModelId + offset % 0x40};
  return bases[region % 6];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 9) return 0;
  std::vector<FlashImage::Segment> segments;
  segments.push_back({board::kWidth, {data[0], data[1], 0, 0, 0, 0, data[2], data[3], 0, data[4]}});
  const LocalTime now{
      2000 + data[5] % 120, 1 + data[6] % 12, 1 + data[7] % 28, data[8] % 24, 30, 0};
  for (std::size_t at = 9; at + 4 <= size;) {
    const std::uint32_t offset = static_cast<std::uint32_t>(data[at + 1] << 8 | data[at + 2]);
    const std::size_t length = data[at + 3];
    const std::size_t begin = at + 4;
    const std::size_t end = std::min(size, begin + length);
    segments.push_back(
        {RegionBase(data[at], offset), std::vector<std::uint8_t>(data + begin, data + end)});
    at = end;
  }
  FlashImage image;
  image.OpenMemory(std::move(segments));
  FixedClock clock(now);
  PlaybackEngine engine(image, sign_test::TestFonts(), clock);
  engine.Start();
  const BoardGeometry& g = engine.geometry();
  if (g.width < 32 || g.width > kFrameColumns || (g.rows != 16 && g.rows != 32)) __builtin_trap();
  int frames = 0;
  for (int step = 0; step < 400; ++step) {
    if (engine.Step()) ++frames;
    if (engine.framePeriodMs() < 10 || engine.framePeriodMs() > 50) __builtin_trap();
  }
  // Every program shows something: 400 steps never pass without a frame.
  if (frames == 0) __builtin_trap();
  return 0;
}
