#pragma once
// The one seam every board command talks through: a link that exchanges one request
// frame for one reply. The serial and the TCP/IP transports implement it; the owner of
// both hands commands whichever the transmit option selects, frame by frame.

#include <cstddef>
#include <cstdint>
#include <string>

#include "manager/link/frame.h"

namespace signlink {

// Which link carries the commands. A stored byte above 1 reads as serial.
enum class Transmit : std::uint8_t { kSerial = 0, kTcp = 1 };
inline Transmit TransmitFromStored(std::uint8_t stored) {
  return stored == 1 ? Transmit::kTcp : Transmit::kSerial;
}

class SignLink {
 public:
  virtual ~SignLink() = default;
  // Sends a request and waits for the 6-byte acknowledgement.
  virtual Result SendAndWait(const Frame& request) = 0;
  // Sends a request and takes `count` data bytes of its reply into `out`; `out` is
  // untouched unless the result is kOk.
  virtual Result SendAndRead(const Frame& request, std::uint8_t* out, std::size_t count) = 0;
};

enum class ModelCheck : int {
  kRightModel = 0,   // the sign answered "VARNO"
  kUnreachable = 1,  // the read exchange failed
  kOtherModel = 2,   // a sign answered with another identifier
};

// Reads the 8-byte model identifier at 0x020000 and compares it, as a zero-terminated
// string, with "VARNO".
ModelCheck CheckModel(SignLink& link);

}  // namespace signlink
