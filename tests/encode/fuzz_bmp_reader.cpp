// Any bytes as a BMP file: read, size, and conversion of whatever reads.
#include <cstddef>
#include <cstdint>

#include "manager/encode/bmp_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::span<const std::uint8_t> file(data, size);
  const auto size1 = encode::ReadBmpSize(file);
  const auto bmp = encode::ReadBmp(file);
  if (size1.has_value() != bmp.has_value()) __builtin_trap();
  if (bmp) {
    const encode::Planes p = encode::BmpToPlanes(*bmp);
    if (p.red.size() != board::PlaneSize(static_cast<std::size_t>(bmp->width),
                                         static_cast<std::size_t>(bmp->height)))
      __builtin_trap();
  }
  return 0;
}
