// Any bytes as a GIF file: the block walk, the frame cut and each frame's decoding.
#include <cstddef>
#include <cstdint>

#include "manager/encode/gif_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> file(data, size);
  const int images = encode::CountGifImages(file);
  encode::GifDecoder gif;
  if (gif.LoadBytes(std::vector<std::uint8_t>(data, data + size))) {
    if (gif.FrameCount() > images) __builtin_trap();  // frames come only from images walked
    for (int k = 0; k < gif.FrameCount(); ++k) {
      const std::vector<std::uint8_t> stream = gif.FrameStream(k);
      if (stream.back() != 0x3B) __builtin_trap();
    }
  }
  return 0;
}
