// Arbitrary reply bytes through both reply checks and the serial exchange: no read may
// leave the received bytes, and a success must really carry a valid sum.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "manager/link/exchange.h"
#include "manager/link/frame.h"
#include "manager/link/receive_ring.h"

namespace {

class StillClock : public signlink::MonotonicClock {
 public:
  std::int64_t NowMs() const override { return now; }
  std::int64_t now = 0;
};

// Hands the input over in one go, then lets the deadline pass.
class OneShotSerial : public signlink::SerialChannel {
 public:
  OneShotSerial(const std::uint8_t* d, std::size_t n) : ring_(clock_, 0), data_(d), n_(n) {}
  void Purge() override { ring_.Clear(); }
  int Write(const std::uint8_t*, int n) override { return n; }
  bool StartTimeout(int ms) override {
    ring_.StartTimeout(ms);
    return true;
  }
  signlink::SerialRead Read(std::uint8_t* dst, int n) override {
    return ring_.Read(dst, static_cast<std::size_t>(n));
  }
  void AwaitBytes() override {
    if (!given_) ring_.Append(data_, n_);
    given_ = true;
    clock_.now += 6000;
  }

 private:
  StillClock clock_;
  signlink::ReceiveRing ring_;
  const std::uint8_t* data_;
  std::size_t n_;
  bool given_ = false;
};

}  // namespace

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
    const std::size_t count = data[0] % 32;
    std::vector<std::uint8_t> out(count);
    const signlink::Frame request = signlink::BuildMemoryRead(0, static_cast<std::uint16_t>(count));
    OneShotSerial port(reply.data() + 1, reply.size() - 1);
    (void)signlink::SerialSendAndRead(port, request.data(), request.size(), out.data(), count);
  }
  return 0;
}
