#pragma once
// Links on a fake clock whose replies are scheduled when a request is written; the serial
// one hands bytes over only while an exchange awaits them.

#include <algorithm>
#include <cstdint>
#include <map>
#include <vector>

#include "manager/link/exchange.h"
#include "manager/link/frame.h"
#include "manager/link/receive_ring.h"

namespace scripted {

using signlink::Frame;

struct Piece {
  std::int64_t delay_ms;  // after the request was written
  Frame bytes;
  enum Kind { kBytes, kClose, kError } kind = kBytes;
};
using Plan = std::vector<Piece>;

struct Script : signlink::MonotonicClock {
  std::int64_t NowMs() const override { return now; }
  void OnWrite() {
    for (const Piece& p : next) due.emplace(now + p.delay_ms, p);
    next.clear();
  }
  // Moves the clock to the next arrival, or just past `deadline` when none comes before it.
  void Advance(std::int64_t deadline) {
    now = std::max(now, std::min(deadline + 1, due.empty() ? deadline + 1 : due.begin()->first));
  }
  std::vector<Piece> Arrived() {
    std::vector<Piece> out;
    for (; !due.empty() && due.begin()->first <= now; due.erase(due.begin()))
      out.push_back(due.begin()->second);
    return out;
  }
  std::int64_t now = 1000000;
  Plan next;                               // the replies to the next request written
  std::multimap<std::int64_t, Piece> due;  // by arrival time
};

class FakeSerial : public signlink::SerialChannel, public Script {
 public:
  void Purge() override { ring.Clear(); }
  int Write(const std::uint8_t* bytes, int n) override {
    if (!open) return ring.set_status(signlink::SerialRead::kPortClosed), 0;
    written.emplace_back(bytes, bytes + n);
    return OnWrite(), n;
  }
  bool StartTimeout(int ms) override { return open && (ring.StartTimeout(ms), true); }
  signlink::SerialRead Read(std::uint8_t* dst, int n) override {
    return ring.Read(dst, static_cast<std::size_t>(n));
  }
  void AwaitBytes() override {
    Advance(ring.deadline());
    for (const Piece& p : Arrived()) ring.Append(p.bytes.data(), p.bytes.size());
  }
  signlink::ReceiveRing ring{*this, 0};
  bool open = true;
  std::vector<Frame> written;
};

}  // namespace scripted
