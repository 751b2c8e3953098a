#pragma once
// Pictures made from board image bytes (red plane then green plane, as board_memory.h lays
// them out), chosen so that the readers here turn them back into exactly those planes: a
// dot lit only in the red plane is pure red, only in the green plane pure green, in both
// pure yellow, in neither black. Dots past the picture's width in a row's last byte are
// not kept.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace encode {

// A bottom-up 24-bit BMP file of width x height pixels from one picture
// (board::PictureBytes(width, height) bytes).
std::vector<std::uint8_t> BmpFromImage(int width, int height, std::span<const std::uint8_t> image);

// A GIF89a file of `frames` full-screen opaque frames, each drawn over the last, from
// frames * board::PictureBytes(width, height) bytes; nullopt when the encoder fails.
std::optional<std::vector<std::uint8_t>> GifFromImage(int width, int height, int frames,
                                                      std::span<const std::uint8_t> image);

}  // namespace encode
