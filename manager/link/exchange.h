#pragma once
// The two exchanges every board command uses, on each link. A request frame goes out,
// one reply comes back; the result is a code of frame.h (0 success). On success the
// reading forms have copied `count` data bytes (reply offsets 4..count+3) to `out`;
// otherwise `out` is untouched.

#include <cstddef>
#include <cstdint>

#include "manager/link/channel.h"

namespace signlink {

inline constexpr int kSerialReplyMs = 5000;
inline constexpr int kTcpReplyMs = 1000;

// Serial: purge, write (4 when the port is not open), wait up to 5000 ms for the
// expected byte count (1 when it did not come), then check STX (7) and checksum (2).
int SerialSendAndWait(SerialChannel& port, const std::uint8_t* frame, std::size_t len);
int SerialSendAndRead(SerialChannel& port, const std::uint8_t* frame, std::size_t len,
                      std::uint8_t* out, std::size_t count);

// TCP: 9 without a socket; drops stale bytes, sends, collects the reply until `expected`
// bytes or 1000 ms; a receive error reconnects and gives 10, a closed connection or no
// reply at all reconnects and gives 2; then the length and checksum checks (2).
int TcpSendAndWait(StreamChannel& socket, const MonotonicClock& clock, const std::uint8_t* frame,
                   std::size_t len, std::size_t expected);
int TcpSendAndRead(StreamChannel& socket, const MonotonicClock& clock, const std::uint8_t* frame,
                   std::size_t len, std::uint8_t* out, std::size_t count);

}  // namespace signlink
