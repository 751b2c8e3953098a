#pragma once
// The values the link and board settings dialogs show and return, with the repairs they
// make. Qt-free so the rules are tested without a display.

#include <array>
#include <cstdint>
#include <string>

namespace signlink {

inline constexpr std::array<int, 9> kBaudRates = {1200,  2400,  4800,  9600,  14400,
                                                  19200, 38400, 57600, 115200};
inline constexpr int kSerialPorts = 20;  // COM1 .. COM20

// The serial line as the port dialog shows it. Parity and stop bits are the stored codes:
// parity 0 none, 1 odd, 2 even; stop bits 0 one, 1 one and a half, 2 two.
struct SerialLine {
  int port = 1;
  int baud = 57600;
  int dataBits = 8;
  int parity = 0;
  int stopBits = 0;
  std::uint8_t flowBits = 0;  // bit 0 DTR/DSR, bit 1 RTS/CTS, bit 2 XON/XOFF
};
// What the dialog opens with: a baud rate not in the list becomes 1200, data bits other
// than 7 and 8 become 7, unknown parity or stop-bit codes become 0, a port outside 1-20
// becomes 1.
SerialLine LineForDialog(SerialLine line);

// The address text typed into the IP field, read left to right: digits build a number
// (kept to 8 bits), each dot moves it to the next byte from the top. First number in the
// most significant byte.
std::uint32_t ParseIpAddress(const std::string& text);

// Board size from the dialog's list positions: width index 0 = 2 modules, height index
// 0 = 1 tier; out-of-range results fall back to 6 and 1.
struct BoardSize {
  std::uint8_t width = 6;
  std::uint8_t height = 1;
  bool operator==(const BoardSize&) const = default;
};
BoardSize BoardSizeFromIndices(int widthIndex, int heightIndex);

// A brightness level index as stored: above 9 becomes 9 (the dimmest).
inline std::uint8_t LevelIndex(int index) {
  return static_cast<std::uint8_t>(index < 0 ? 0 : index > 9 ? 9 : index);
}

}  // namespace signlink
