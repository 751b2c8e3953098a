#pragma once
// The sign's flat, byte-addressed board memory. The preview file is a 128 MiB image of
// it, so every address here is also a preview-file offset. Numbers are big-endian.

#include <cstddef>
#include <cstdint>

namespace board {

inline constexpr std::uint32_t kMemorySize = 128u * 1024u * 1024u;  // preview image size

// Settings block.
inline constexpr std::uint32_t kModelId = 0x020000;     // 8 bytes ASCII, zero padded
inline constexpr std::uint32_t kWidth = 0x020008;       // modules, 2..20
inline constexpr std::uint32_t kRowsCode = 0x020009;    // 1 = 16 rows, 2 = 32 rows
inline constexpr std::uint32_t kWindowMode = 0x02000A;  // display-window mode
inline constexpr std::uint32_t kBrightMode = 0x02000B;  // brightness mode
inline constexpr std::uint32_t kDayLevel = 0x02000C;    // 0..9, 0 brightest
inline constexpr std::uint32_t kNightLevel = 0x02000D;  // 0..9
inline constexpr std::uint32_t kItemCount = 0x02000E;   // 2 bytes
inline constexpr std::uint32_t kConnection = 0x020011;  // 1 = "O": pass-through chains

inline constexpr std::uint32_t kItemTable = 0x060000;  // 32 bytes per item
inline constexpr std::uint32_t kItemData = 0x080000;   // 8192 bytes per item
inline constexpr std::uint32_t kBitmapArea = 0x4A0000;
inline constexpr std::uint32_t kAnimationArea = 0xC80000;

inline constexpr int kMaxItems = 100;
// The most data bytes one memory write command carries.
inline constexpr std::size_t kMaxWriteBytes = 2048;
inline constexpr int kModuleDots = 16;

inline constexpr std::uint32_t HeaderAddress(int i) {
  return kItemTable + 32u * static_cast<std::uint32_t>(i);
}
inline constexpr std::uint32_t BodyAddress(int i) {
  return kItemData + 8192u * static_cast<std::uint32_t>(i);
}

// Body bytes that go to the board for a kind: 4096 for one-line and D-day, 8192 for
// two-line and title, none for the rest (including unknown kinds).
inline constexpr std::size_t BodyBytesSent(std::uint8_t kind) {
  return (kind == 0 || kind == 6) ? 4096 : (kind == 1 || kind == 2) ? 8192 : 0;
}

// Image planes: red plane then green plane, rows top to bottom, MSB = leftmost dot.
inline constexpr std::size_t PlaneRowBytes(std::size_t width) {
  return (width + 7) / 8;
}
inline constexpr std::size_t PlaneSize(std::size_t width, std::size_t height) {
  return PlaneRowBytes(width) * height;
}
inline constexpr std::size_t PictureBytes(std::size_t width, std::size_t height) {
  return 2 * PlaneSize(width, height);
}

inline std::uint16_t Get16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}
inline std::uint32_t Get32(const std::uint8_t* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) |
         std::uint32_t{p[3]};
}
inline void Put16(std::uint8_t* p, std::uint16_t v) {
  p[0] = static_cast<std::uint8_t>(v >> 8);
  p[1] = static_cast<std::uint8_t>(v);
}
inline void Put32(std::uint8_t* p, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}

}  // namespace board
