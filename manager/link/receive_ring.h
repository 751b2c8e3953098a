#pragma once
// The serial wrapper's receive side: the bytes received since the last purge (the first
// size() of them), their count, and the reply deadline. Single-threaded; times come from the given clock.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "manager/link/channel.h"

namespace signlink {

inline constexpr std::size_t kMinRingSize = 0x30000;  // 196608 bytes

class ReceiveRing {
 public:
  // A requested size below kMinRingSize is raised to it. The clock must outlive the ring.
  ReceiveRing(const MonotonicClock& clock, std::size_t size);

  std::size_t size() const { return ring_.size(); }
  std::size_t count() const { return count_; }
  SerialRead status() const { return status_; }

  // Stores arriving bytes after those received since the purge. Bytes beyond the ring's
  // size are counted but not kept: a read takes its bytes from the start, and writing
  // over the start would hand later bytes out as the first ones.
  void Append(const std::uint8_t* bytes, std::size_t n);
  void Clear() { count_ = 0; }
  void StartTimeout(int ms);
  // kComplete: n bytes copied from the ring's start and the count reset; kDeadlinePassed;
  // kWaiting. n above the ring size never completes.
  SerialRead Read(std::uint8_t* dst, std::size_t n);
  bool DeadlinePassed() const { return clock_.NowMs() > deadline_; }
  std::int64_t deadline() const { return deadline_; }
  void set_status(SerialRead s) { status_ = s; }

 private:
  const MonotonicClock& clock_;
  std::vector<std::uint8_t> ring_;
  std::size_t count_ = 0;
  SerialRead status_ = SerialRead::kComplete;
  std::int64_t deadline_ = 0;
};

}  // namespace signlink
