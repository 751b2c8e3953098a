#include "manager/link/receive_ring.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace signlink {

std::int64_t SteadyClock::NowMs() const {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

ReceiveRing::ReceiveRing(const MonotonicClock& clock, std::size_t size)
    : clock_(clock), ring_(std::max(size, kMinRingSize)) {}

void ReceiveRing::Append(const std::uint8_t* bytes, std::size_t n) {
  if (n == 0) return;  // memcpy from a null pointer is undefined even for no bytes
  if (count_ < ring_.size()) {
    const std::size_t kept = std::min(n, ring_.size() - count_);
    std::memcpy(ring_.data() + count_, bytes, kept);
  }
  count_ += n;
}

void ReceiveRing::StartTimeout(int ms) {
  deadline_ = clock_.NowMs() + ms;
  status_ = SerialRead::kComplete;
}

SerialRead ReceiveRing::Read(std::uint8_t* dst, std::size_t n) {
  status_ = SerialRead::kComplete;
  if (count_ < n || n > ring_.size()) {
    status_ = DeadlinePassed() ? SerialRead::kDeadlinePassed : SerialRead::kWaiting;
    return status_;
  }
  std::memcpy(dst, ring_.data(), n);
  count_ = 0;
  return SerialRead::kComplete;
}

}  // namespace signlink
