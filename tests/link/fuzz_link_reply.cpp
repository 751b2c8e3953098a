// Arbitrary reply bytes through both reply checks and the serial exchange: no read may
// leave the received bytes, and a success must really carry a valid sum.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "manager/link/exchange.h"
#include "manager/link/frame.h"
#include "tests/link/scripted_channels.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Exact-size copies so that the sanitizer sees any read past the end.
  std::vector<std::uint8_t> reply(data, data + size);
  const signlink::Result serial = signlink::CheckSerialReply(reply.data(), reply.size());
  if (serial == signlink::Result::kOk) {
    const std::size_t len = (std::size_t{reply[1]} << 8) | reply[2];
    if (len < 3 || len > size || signlink::Checksum(reply.data(), len - 2) != reply[len - 2])
      std::abort();
  }
  for (std::size_t expected : {std::size_t{6}, size, size + 10}) {
    (void)signlink::CheckTcpReply(reply.data(), reply.size(), expected);
  }
  if (size >= 1) {
    // All but the first byte arrive at once, then the deadline passes.
    const std::size_t count = data[0] % 32;
    std::vector<std::uint8_t> out(count);
    const signlink::Frame request = signlink::BuildMemoryRead(0, static_cast<std::uint16_t>(count));
    scripted::FakeSerial port;
    if (size > 1) port.next = {{0, signlink::Frame(reply.begin() + 1, reply.end())}};
    (void)signlink::SerialSendAndRead(port, request.data(), request.size(), out.data(), count);
  }
  return 0;
}
