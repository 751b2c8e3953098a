#pragma once
// What the link pane and the link warnings say, UTF-8; formatted here once for every
// program that shows a link.

#include <cstdint>
#include <string>

namespace signlink {

inline constexpr const char* kNoOpenPortText = "열린 포트가 없습니다.";
// The warning (caption kWarningCaption) when a serial port does not open.
inline constexpr const char* kPortOpenFailedText =
    "통신 포트를 열지 못했습니다.\n설정값을 바꿔 다시 시도 하십시오.";
inline constexpr const char* kWarningCaption = "경고";

// "a.b.c.d" of an address whose most significant byte is the first dotted number.
std::string DottedAddress(std::uint32_t ip);
// "[IP:a.b.c.d],   [PORT:p]".
std::string TcpLinkText(std::uint32_t ip, std::uint16_t port);
// "연결: COMn, b bps" while the port is open, "열린 포트가 없습니다." otherwise.
std::string SerialLinkText(bool open, int port, int baud);

}  // namespace signlink
