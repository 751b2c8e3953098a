// The exchanges over scripted links on a fake clock: what arrives when, and what the
// exchange makes of it.
#include <gtest/gtest.h>

#include <deque>
#include <vector>

#include "manager/link/exchange.h"
#include "manager/link/frame.h"
#include "manager/link/receive_ring.h"

using namespace signlink;

namespace {

class FakeClock : public MonotonicClock {
 public:
  std::int64_t NowMs() const override { return now; }
  std::int64_t now = 1000000;
};

struct Piece {
  std::int64_t delay_ms;  // after the request was written
  Frame bytes;
  enum Kind { kBytes, kClose, kError } kind = kBytes;
};
using Plan = std::vector<Piece>;

Frame Ack(std::uint8_t byte3 = 0x41) {
  Frame f = {kStx, 0x00, 0x06, byte3, 0, kEtx};
  f[4] = Checksum(f.data(), 4);
  return f;
}

Frame DataReply(const std::vector<std::uint8_t>& data) {
  Frame f = BuildFrame(0x24, data.data(), data.size());
  return f;
}

Frame Slice(const Frame& f, std::size_t from, std::size_t to) {
  return Frame(f.begin() + static_cast<long>(from), f.begin() + static_cast<long>(to));
}

// Bytes are delivered into the wrapper's ring only while the exchange awaits them.
class FakeSerial : public SerialChannel {
 public:
  FakeSerial() : ring(clock, 0) {}

  void Purge() override { ring.Clear(); }
  int Write(const std::uint8_t* bytes, int n) override {
    if (!open) {
      ring.set_status(1);
      return 0;
    }
    written.emplace_back(bytes, bytes + n);
    if (!plans.empty()) {
      for (Piece& p : plans.front()) scheduled.push_back({clock.now + p.delay_ms, p.bytes});
      plans.pop_front();
    }
    return n;
  }
  int StartTimeout(int ms) override {
    if (!open) return 1;
    ring.StartTimeout(ms);
    return 0;
  }
  int Read(std::uint8_t* dst, int n) override {
    return ring.Read(dst, static_cast<std::size_t>(n));
  }
  void AwaitBytes() override {
    ++waits;
    std::int64_t next = ring.deadline() + 1;
    for (auto& s : scheduled) next = std::min(next, s.at);
    clock.now = std::max(clock.now, next);
    for (auto it = scheduled.begin(); it != scheduled.end();) {
      if (it->at <= clock.now) {
        ring.Append(it->bytes.data(), it->bytes.size());
        it = scheduled.erase(it);
      } else {
        ++it;
      }
    }
  }

  struct Due {
    std::int64_t at;
    Frame bytes;
  };
  FakeClock clock;
  ReceiveRing ring;
  bool open = true;
  std::deque<Plan> plans;
  std::vector<Due> scheduled;
  std::vector<Frame> written;
  int waits = 0;
};

class FakeStream : public StreamChannel {
 public:
  bool HasSocket() const override { return has_socket; }
  void DiscardUnread() override {
    Deliver();
    unread.clear();
  }
  void Send(const std::uint8_t* bytes, std::size_t n) override {
    sent.emplace_back(bytes, bytes + n);
    if (!plans.empty()) {
      for (Piece& p : plans.front()) scheduled.push_back({clock.now + p.delay_ms, p});
      plans.pop_front();
    }
  }
  StreamWait Receive(std::uint8_t* dst, std::size_t max, std::int64_t deadline,
                     std::size_t* taken) override {
    *taken = 0;
    for (;;) {
      Deliver();
      if (!unread.empty()) {
        while (*taken < max && !unread.empty()) {
          dst[(*taken)++] = unread.front();
          unread.pop_front();
        }
        return StreamWait::kData;
      }
      if (closed) return StreamWait::kClosed;
      if (failed) return StreamWait::kError;
      std::int64_t next = deadline + 1;
      for (auto& s : scheduled) next = std::min(next, s.at);
      if (next > deadline) {
        clock.now = std::max(clock.now, deadline + 1);
        return StreamWait::kTimeout;
      }
      clock.now = std::max(clock.now, next);
    }
  }
  void Reconnect() override {
    ++reconnects;
    closed = failed = false;
    unread.clear();
    scheduled.clear();  // whatever the old connection still had in flight is gone
  }

  void Deliver() {
    for (auto it = scheduled.begin(); it != scheduled.end();) {
      if (it->at > clock.now) {
        ++it;
        continue;
      }
      if (it->piece.kind == Piece::kBytes)
        unread.insert(unread.end(), it->piece.bytes.begin(), it->piece.bytes.end());
      if (it->piece.kind == Piece::kClose) closed = true;
      if (it->piece.kind == Piece::kError) failed = true;
      it = scheduled.erase(it);
    }
  }

  struct Due {
    std::int64_t at;
    Piece piece;
  };
  FakeClock clock;
  bool has_socket = true;
  bool closed = false;
  bool failed = false;
  int reconnects = 0;
  std::deque<std::uint8_t> unread;
  std::deque<Plan> plans;
  std::vector<Due> scheduled;
  std::vector<Frame> sent;
};

const Frame kApply = BuildApply();

}  // namespace

TEST(ReceiveRing, ReadAnswersWaitingThenDeadlineAndForgetsTheRest) {
  FakeClock clock;
  ReceiveRing ring(clock, 0);
  EXPECT_EQ(ring.size(), 196608u);
  EXPECT_EQ(ReceiveRing(clock, 1000).size(), 196608u);
  EXPECT_EQ(ReceiveRing(clock, 300000).size(), 300000u);
  ring.StartTimeout(5000);
  const std::uint8_t four[4] = {1, 2, 3, 4};
  ring.Append(four, 4);
  std::uint8_t dst[6] = {};
  EXPECT_EQ(ring.Read(dst, 6), 3);
  clock.now += 5000;
  EXPECT_EQ(ring.Read(dst, 6), 3);
  clock.now += 1;
  EXPECT_EQ(ring.Read(dst, 6), 2);
  EXPECT_EQ(ring.status(), 2);
  ring.Append(four, 4);
  EXPECT_EQ(ring.Read(dst, 6), 0);
  EXPECT_EQ(ring.count(), 0u);
  EXPECT_EQ(std::vector<std::uint8_t>(dst, dst + 6), (std::vector<std::uint8_t>{1, 2, 3, 4, 1, 2}));
  EXPECT_EQ(ring.Read(dst, 1), 2);  // the two bytes beyond were dropped
}

TEST(SerialExchange, ReplyInPiecesWithinTheDeadline) {
  FakeSerial port;
  const Frame ack = Ack();
  port.plans.push_back(
      {{10, Slice(ack, 0, 1)}, {2000, Slice(ack, 1, 4)}, {5000, Slice(ack, 4, 6)}});
  const std::int64_t start = port.clock.now;
  EXPECT_EQ(SerialSendAndWait(port, kApply.data(), kApply.size()), 0);
  EXPECT_EQ(port.clock.now - start, 5000);
  EXPECT_GE(port.waits, 3);
  ASSERT_EQ(port.written.size(), 1u);
  EXPECT_EQ(port.written[0], kApply);
}

TEST(SerialExchange, TimeoutAfterFiveSeconds) {
  FakeSerial port;
  const Frame ack = Ack();
  port.plans.push_back({{10, Slice(ack, 0, 5)}, {5002, Slice(ack, 5, 6)}});
  const std::int64_t start = port.clock.now;
  EXPECT_EQ(SerialSendAndWait(port, kApply.data(), kApply.size()), 1);
  EXPECT_EQ(port.clock.now - start, 5001);
  port.plans.push_back({});
  EXPECT_EQ(SerialSendAndWait(port, kApply.data(), kApply.size()), 1);  // nothing at all
}

TEST(SerialExchange, LongerReplyIsCutAndTheRestForgotten) {
  FakeSerial port;
  Frame longer = Ack();
  longer.insert(longer.end(), {0x02, 0x00, 0x06});  // the start of something else
  port.plans.push_back({{5, longer}});
  port.plans.push_back({{5, Slice(Ack(), 0, 3)}, {20, Slice(Ack(), 3, 6)}});
  EXPECT_EQ(SerialSendAndWait(port, kApply.data(), kApply.size()), 0);
  EXPECT_EQ(SerialSendAndWait(port, kApply.data(), kApply.size()), 0);
}

TEST(SerialExchange, ReplyChecks) {
  FakeSerial port;
  Frame nostx = Ack();
  nostx[0] = 0x05;
  nostx[4] = Checksum(nostx.data(), 4);
  port.plans.push_back({{1, nostx}});
  EXPECT_EQ(SerialSendAndWait(port, kApply.data(), kApply.size()), 7);
  Frame badsum = Ack();
  badsum[4] ^= 0x01;
  port.plans.push_back({{1, badsum}});
  EXPECT_EQ(SerialSendAndWait(port, kApply.data(), kApply.size()), 2);
  Frame other = Ack(0x00);
  other[5] = 0xEE;  // another byte 3 and a wrong ETX are accepted
  port.plans.push_back({{1, other}});
  EXPECT_EQ(SerialSendAndWait(port, kApply.data(), kApply.size()), 0);
  // Length fields the received bytes cannot hold: rejected without reading past them.
  for (std::uint16_t len : {0, 2, 7, 0xFFFF}) {
    Frame bad = Ack();
    bad[1] = static_cast<std::uint8_t>(len >> 8);
    bad[2] = static_cast<std::uint8_t>(len);
    port.plans.push_back({{1, bad}});
    EXPECT_EQ(SerialSendAndWait(port, kApply.data(), kApply.size()), 2) << len;
  }
}

TEST(SerialExchange, PortNotOpenIsASendError) {
  FakeSerial port;
  port.open = false;
  EXPECT_EQ(SerialSendAndWait(port, kApply.data(), kApply.size()), 4);
  EXPECT_TRUE(port.written.empty());
}

TEST(SerialExchange, ReadCopiesTheDataOnlyOnSuccess) {
  FakeSerial port;
  const Frame request = BuildMemoryRead(0x020000, 8);
  port.plans.push_back({{3, DataReply({'V', 'A', 'R', 'N', 'O', 0, 0, 0})}});
  std::uint8_t out[16] = {};
  ASSERT_EQ(SerialSendAndRead(port, request.data(), request.size(), out, 8), 0);
  EXPECT_STREQ(reinterpret_cast<char*>(out), "VARNO");
  Frame bad = DataReply({'X', 'X', 'X', 'X', 'X', 0, 0, 0});
  bad[12] ^= 0xFF;
  port.plans.push_back({{3, bad}});
  EXPECT_EQ(SerialSendAndRead(port, request.data(), request.size(), out, 8), 2);
  EXPECT_STREQ(reinterpret_cast<char*>(out), "VARNO");
}

TEST(TcpExchange, NoSocket) {
  FakeStream s;
  s.has_socket = false;
  EXPECT_EQ(TcpSendAndWait(s, s.clock, kApply.data(), kApply.size(), 6), 9);
  EXPECT_TRUE(s.sent.empty());
}

TEST(TcpExchange, SplitReplyEndsTheWaitWhenComplete) {
  FakeStream s;
  const Frame ack = Ack();
  s.plans.push_back({{1, Slice(ack, 0, 2)}, {3, Slice(ack, 2, 3)}, {40, Slice(ack, 3, 6)}});
  const std::int64_t start = s.clock.now;
  EXPECT_EQ(TcpSendAndWait(s, s.clock, kApply.data(), kApply.size(), 6), 0);
  EXPECT_EQ(s.clock.now - start, 40);
  EXPECT_EQ(s.reconnects, 0);
}

TEST(TcpExchange, LengthAboveExpectedOrBadChecksum) {
  FakeStream s;
  Frame longer = {kStx, 0x00, 0x07, 0x41, 0x00, 0, kEtx};
  longer[5] = Checksum(longer.data(), 5);
  s.plans.push_back({{1, longer}});
  EXPECT_EQ(TcpSendAndWait(s, s.clock, kApply.data(), kApply.size(), 6), 2);
  Frame bad = Ack();
  bad[4] ^= 0x10;
  s.plans.push_back({{1, bad}});
  EXPECT_EQ(TcpSendAndWait(s, s.clock, kApply.data(), kApply.size(), 6), 2);
  EXPECT_EQ(s.reconnects, 0);
}

TEST(TcpExchange, SilenceCloseAndErrorReconnect) {
  FakeStream s;
  s.plans.push_back({});
  const std::int64_t start = s.clock.now;
  EXPECT_EQ(TcpSendAndWait(s, s.clock, kApply.data(), kApply.size(), 6), 2);
  EXPECT_EQ(s.clock.now - start, 1001);
  EXPECT_EQ(s.reconnects, 1);

  s.plans.push_back({{5, {}, Piece::kClose}});
  EXPECT_EQ(TcpSendAndWait(s, s.clock, kApply.data(), kApply.size(), 6), 2);
  EXPECT_EQ(s.reconnects, 2);

  s.plans.push_back({{5, {}, Piece::kError}});
  EXPECT_EQ(TcpSendAndWait(s, s.clock, kApply.data(), kApply.size(), 6), 10);
  EXPECT_EQ(s.reconnects, 3);

  s.plans.push_back({{5, Ack()}});
  EXPECT_EQ(TcpSendAndWait(s, s.clock, kApply.data(), kApply.size(), 6), 0);
  EXPECT_EQ(s.reconnects, 3);
}

TEST(TcpExchange, FullReplyBeforeCloseStillCounts) {
  FakeStream s;
  s.plans.push_back({{5, Ack()}, {5, {}, Piece::kClose}});
  EXPECT_EQ(TcpSendAndWait(s, s.clock, kApply.data(), kApply.size(), 6), 0);
}

TEST(TcpExchange, StaleBytesOfAnEarlierExchangeAreDropped) {
  FakeStream s;
  const Frame request = BuildMemoryRead(0x020008, 2);
  // The first read gets no reply in time; its reply lands before the second request.
  s.plans.push_back({{1500, DataReply({0xAA, 0xBB})}});
  std::uint8_t out[2] = {};
  EXPECT_EQ(TcpSendAndRead(s, s.clock, request.data(), request.size(), out, 2), 2);
  // Reconnecting dropped it here; put a late reply back in the new connection's stream.
  s.scheduled.push_back({s.clock.now + 100, {0, DataReply({0xAA, 0xBB})}});
  s.clock.now += 200;
  s.plans.push_back({{2, DataReply({0x06, 0x01})}});
  ASSERT_EQ(TcpSendAndRead(s, s.clock, request.data(), request.size(), out, 2), 0);
  EXPECT_EQ(out[0], 0x06);
  EXPECT_EQ(out[1], 0x01);
}

TEST(TcpExchange, ShortReplyToAReadLeavesTheBufferAlone) {
  FakeStream s;
  const Frame request = BuildMemoryRead(0x020000, 8);
  s.plans.push_back({{2, Ack()}});  // a valid frame, but not the data asked for
  std::uint8_t out[8] = {9, 9, 9, 9, 9, 9, 9, 9};
  EXPECT_EQ(TcpSendAndRead(s, s.clock, request.data(), request.size(), out, 8), 2);
  EXPECT_EQ(out[0], 9);
  EXPECT_EQ(out[7], 9);
  EXPECT_EQ(s.reconnects, 0);
}
