#pragma once
// Uncompressed BMP files: 1, 4, 8, 16, 24 and 32 bits per pixel, bottom-up or top-down,
// information headers of 40, 52, 56, 108 and 124 bytes. Compressed files (RLE, JPEG,
// PNG) and anything whose headers or rows do not fit inside the file are refused. All
// numbers in the file are little-endian.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "manager/encode/planes.h"

namespace encode {

struct BmpColour {
  std::uint8_t blue = 0, green = 0, red = 0, reserved = 0;
};

// A BMP as stored: the rows are the file's bytes, padded to `stride`.
struct BmpPicture {
  int width = 0;   // pixels, > 0
  int height = 0;  // pixels, > 0 (a negative file height sets topDown)
  int bitsPerPixel = 0;
  bool topDown = false;  // rows stored top row first
  // Colour table for 1-, 4- and 8-bit files; entries the file does not hold stay black.
  std::array<BmpColour, 256> palette{};
  // Channel masks of 16- and 32-bit pixels (little-endian words). Without masks in the
  // file, 16-bit pixels are 5-5-5 and 32-bit pixels blue, green, red, unused bytes.
  // A channel is scaled to 0..255 before it is compared.
  std::uint32_t redMask = 0, greenMask = 0, blueMask = 0;
  std::size_t stride = 0;            // bytes per stored row, a multiple of 4
  std::vector<std::uint8_t> pixels;  // stride * height bytes in file order

  // Stored bytes of picture row y, counted from the top.
  const std::uint8_t* row(int y) const;
};

struct BmpSize {
  int width = 0;
  int height = 0;
};

// Pictures of more pixels than this are not read: far beyond any board, and their rows
// would have to be held whole.
inline constexpr std::uint64_t kMaxBmpPixels = 16u << 20;

// nullopt means "not a BMP file we can read".
std::optional<BmpPicture> ReadBmp(std::span<const std::uint8_t> file);
std::optional<BmpPicture> ReadBmpFile(std::string_view cp949Path);

// Width and height from the headers alone, so the editors can name a size limit. The
// same checks as a full read except the pixel count: a file that passes here also reads
// unless it holds more than kMaxBmpPixels.
std::optional<BmpSize> ReadBmpSize(std::span<const std::uint8_t> file);
std::optional<BmpSize> ReadBmpFileSize(std::string_view cp949Path);

// Red bit where the pixel's red value is above 100, green bit where its green value is;
// blue does not count. White therefore lights both planes.
Planes BmpToPlanes(const BmpPicture& bmp);

}  // namespace encode
