#include "sign/led_pixels.h"

namespace sign {

void PaintDots(const FrameBuffer& frame, int width, int rows, std::uint32_t* pixels,
               std::size_t stride) {
  for (int r = 0; r < rows; ++r) {
    const std::uint8_t* dots = frame.row(r);
    std::uint32_t* line = pixels + static_cast<std::size_t>(r) * kDotPixels * stride;
    for (int c = 0; c < width; ++c) {
      const std::uint32_t argb = 0xFF000000u | DotRgb(dots[c]);
      std::uint32_t* p = line + static_cast<std::size_t>(c) * kDotPixels;
      p[0] = argb;
      p[1] = argb;
      p[2] = argb;
    }
    // The other two pixel rows of the dot row are copies of the first.
    for (int k = 1; k < kDotPixels; ++k) {
      std::uint32_t* to = line + static_cast<std::size_t>(k) * stride;
      for (int x = 0; x < width * kDotPixels; ++x) to[x] = line[x];
    }
  }
}

}  // namespace sign
