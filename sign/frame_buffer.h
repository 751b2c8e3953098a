#pragma once
// A frame of the board: 32 rows of 1008 one-byte dots, row r at byte r * 1008.
// A one-tier board uses rows 0-15 only; a board narrower than 1008 dots uses columns
// 0 to W - 1.

#include <array>
#include <cstddef>
#include <cstdint>

namespace sign {

// Dot values: bit 7 red, bit 6 green; bits 5-0 are ignored by the surface.
enum DotColour : std::uint8_t {
  kDotOff = 0x00,
  kDotRed = 0x80,
  kDotGreen = 0x40,
  kDotYellow = 0xC0,
};

inline constexpr int kFrameRows = 32;
inline constexpr int kFrameColumns = 1008;  // 63 modules of 16 dots

struct FrameBuffer {
  std::array<std::uint8_t, kFrameRows * kFrameColumns> dots{};

  std::uint8_t* row(int r) { return dots.data() + static_cast<std::size_t>(r) * kFrameColumns; }
  const std::uint8_t* row(int r) const {
    return dots.data() + static_cast<std::size_t>(r) * kFrameColumns;
  }
  std::uint8_t at(int r, int c) const { return row(r)[c]; }
  void set(int r, int c, std::uint8_t v) { row(r)[c] = v; }
  void clear() { dots.fill(0); }
  // Clears rows [first, first + count).
  void clearRows(int first, int count);
  bool operator==(const FrameBuffer&) const = default;
};

}  // namespace sign
