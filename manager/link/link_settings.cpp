#include "manager/link/link_settings.h"

#include <algorithm>

namespace signlink {

SerialLine LineForDialog(SerialLine line) {
  if (std::find(kBaudRates.begin(), kBaudRates.end(), line.baud) == kBaudRates.end())
    line.baud = 1200;
  if (line.dataBits != 7 && line.dataBits != 8) line.dataBits = 7;
  if (line.parity < 0 || line.parity > 2) line.parity = 0;
  if (line.stopBits < 0 || line.stopBits > 2) line.stopBits = 0;
  if (line.port < 1 || line.port > kSerialPorts) line.port = 1;
  return line;
}

std::uint32_t ParseIpAddress(const std::string& text) {
  std::uint32_t address = 0;
  std::uint8_t number = 0;
  int dots = 0;
  const auto place = [&] {
    const int shift = 8 * (3 - dots);
    if (shift >= 0) address |= std::uint32_t{number} << shift;
  };
  for (const char c : text) {
    if (c >= '0' && c <= '9') {
      number = static_cast<std::uint8_t>(number * 10 + (c - '0'));
    } else if (c == '.') {
      place();
      number = 0;
      ++dots;
    }
  }
  place();
  return address;
}

BoardSize BoardSizeFromIndices(int widthIndex, int heightIndex) {
  BoardSize s;
  const int width = widthIndex + 2;
  const int height = heightIndex + 1;
  s.width = static_cast<std::uint8_t>(width >= 2 && width <= 20 ? width : 6);
  s.height = static_cast<std::uint8_t>(height >= 1 && height <= 2 ? height : 1);
  return s;
}

}  // namespace signlink
