#pragma once
// The two exchanges every board command uses, on each link. A request frame goes out,
// one reply comes back; the result is a Result of frame.h. On success the
// reading forms have copied `count` data bytes (reply offsets 4..count+3) to `out`;
// otherwise `out` is untouched.

#include <cstddef>
#include <cstdint>

#include "manager/link/channel.h"
#include "manager/link/frame.h"

namespace signlink {

inline constexpr int kSerialReplyMs = 5000;
inline constexpr int kTcpReplyMs = 1000;

// Serial: purge, write (kSendError when the port is not open), wait up to 5000 ms for the
// expected byte count (kTimeout; kSendError at once when the port is lost meanwhile), then
// check STX (kStxError) and checksum (kChecksum).
Result SerialSendAndWait(SerialChannel& port, const std::uint8_t* frame, std::size_t len);
Result SerialSendAndRead(SerialChannel& port, const std::uint8_t* frame, std::size_t len,
                         std::uint8_t* out, std::size_t count);

// TCP: kNoSocket without a socket; drops stale bytes, sends, collects the reply until
// `expected` bytes or 1000 ms; a receive error reconnects and gives kNotConnected, a closed
// connection or no reply at all reconnects and gives kChecksum; then the length and
// checksum checks (kChecksum).
Result TcpSendAndWait(StreamChannel& socket, const MonotonicClock& clock,
                      const std::uint8_t* frame, std::size_t len, std::size_t expected);
Result TcpSendAndRead(StreamChannel& socket, const MonotonicClock& clock,
                      const std::uint8_t* frame, std::size_t len, std::uint8_t* out,
                      std::size_t count);

}  // namespace signlink
