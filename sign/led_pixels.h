#pragma once
// How a dot looks on screen, shared by the window and the offline renderer: each dot is a
// 3 x 3 pixel square, bit 7 lights red, bit 6 green, blue is never lit.

#include <cstddef>
#include <cstdint>

#include "sign/frame_buffer.h"

namespace sign {

inline constexpr int kDotPixels = 3;

// 0x00RRGGBB of a dot byte: 0x80 -> red, 0x40 -> green, 0xC0 -> yellow, bits 5-0 ignored.
constexpr std::uint32_t DotRgb(std::uint8_t dot) {
  return ((dot & 0x80) ? 0xFF0000u : 0u) | ((dot & 0x40) ? 0x00FF00u : 0u);
}

// Paints columns 0..width-1 and rows 0..rows-1 of frame into 32-bit pixels (0xFFRRGGBB),
// (width x 3) by (rows x 3) pixels from pixels[0]; stride is the distance in pixels between
// two pixel rows.
void PaintDots(const FrameBuffer& frame, int width, int rows, std::uint32_t* pixels,
               std::size_t stride);

}  // namespace sign
