#pragma once
// The two 1-bit planes a picture becomes on the board: red then green, rows top to
// bottom, PlaneRowBytes(width) bytes a row, most significant bit = leftmost dot, unused
// low bits of a row's last byte 0.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "shared/board_memory.h"

namespace encode {

struct Planes {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> red;    // PlaneSize(width, height) bytes
  std::vector<std::uint8_t> green;  // same shape

  Planes() = default;
  Planes(int w, int h)
      : width(w),
        height(h),
        red(board::PlaneSize(static_cast<std::size_t>(w), static_cast<std::size_t>(h))),
        green(red.size()) {}

  std::size_t rowBytes() const { return board::PlaneRowBytes(static_cast<std::size_t>(width)); }

  // Lights dot (x, y) in the planes whose flags are set; x, y must lie inside the picture.
  void set(int x, int y, bool r, bool g) {
    const std::size_t at =
        static_cast<std::size_t>(y) * rowBytes() + static_cast<std::size_t>(x) / 8;
    const auto bit = static_cast<std::uint8_t>(0x80u >> (x % 8));
    if (r) red[at] |= bit;
    if (g) green[at] |= bit;
  }
  bool redAt(int x, int y) const { return test(red, x, y); }
  bool greenAt(int x, int y) const { return test(green, x, y); }

  // Red plane followed by green plane: the picture's bytes in board memory.
  std::vector<std::uint8_t> bytes() const {
    std::vector<std::uint8_t> out(red);
    out.insert(out.end(), green.begin(), green.end());
    return out;
  }

  bool operator==(const Planes&) const = default;

 private:
  bool test(const std::vector<std::uint8_t>& p, int x, int y) const {
    const std::size_t at =
        static_cast<std::size_t>(y) * rowBytes() + static_cast<std::size_t>(x) / 8;
    return (p[at] >> (7 - x % 8)) & 1u;
  }
};

// The dot rule both conversions share: a channel above 100 lights its plane.
inline constexpr int kDotThreshold = 100;

}  // namespace encode
