#include "manager/link/link_text.h"

#include <cstdio>

namespace signlink {

std::string DottedAddress(std::uint32_t ip) {
  char text[16];
  std::snprintf(text, sizeof text, "%u.%u.%u.%u", (ip >> 24) & 0xFFu, (ip >> 16) & 0xFFu,
                (ip >> 8) & 0xFFu, ip & 0xFFu);
  return text;
}

std::string TcpLinkText(std::uint32_t ip, std::uint16_t port) {
  return "[IP:" + DottedAddress(ip) + "],   [PORT:" + std::to_string(port) + "]";
}

std::string SerialLinkText(bool open, int port, int baud) {
  if (!open) return kNoOpenPortText;
  return "연결: COM" + std::to_string(port) + ", " + std::to_string(baud) + " bps";
}

}  // namespace signlink
