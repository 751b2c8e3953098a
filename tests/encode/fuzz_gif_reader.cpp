// Any bytes as a GIF file through the whole animation path: the block walk, the frame cut,
// each frame's decoding, rendering and conversion.
#include <cstddef>
#include <cstdint>

#include "manager/encode/gif_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Screens past a million pixels are legal but only slow the search down.
  if (size >= 10) {
    const std::size_t w = data[6] | data[7] << 8;
    const std::size_t h = data[8] | data[9] << 8;
    if (w * h > (1u << 20)) return 0;
  }
  encode::GifDecoder gif;
  if (!gif.LoadBytes(std::vector<std::uint8_t>(data, data + size))) return 0;
  for (int k = 0; k < gif.FrameCount(); ++k) {
    const encode::GifFrame& f = gif.Frame(k);  // frames come only from the file's own bytes
    if (f.begin >= f.end || f.end > size) __builtin_trap();
    gif.RenderFrame(k);
    const encode::Planes p = gif.CanvasToPlanes();
    if (p.width != gif.width() || p.height != gif.height()) __builtin_trap();
  }
  return 0;
}
