// The exchanges over scripted links on a fake clock: what arrives when, and what the
// exchange makes of it.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <vector>

#include "manager/link/exchange.h"
#include "manager/link/frame.h"
#include "tests/link/scripted_channels.h"

using namespace signlink;
using namespace scripted;

namespace {

class FakeStream : public StreamChannel, public Script {
 public:
  bool HasSocket() const override { return true; }
  void DiscardUnread() override { Deliver(), unread.clear(); }
  void Send(const std::uint8_t*, std::size_t) override { OnWrite(); }
  StreamWait Receive(std::uint8_t* dst, std::size_t max, std::int64_t deadline,
                     std::size_t* taken) override {
    for (*taken = 0;; Advance(deadline)) {
      Deliver();
      for (; *taken < max && !unread.empty(); unread.pop_front()) dst[(*taken)++] = unread.front();
      if (*taken > 0) return StreamWait::kData;
      if (closed || failed) return closed ? StreamWait::kClosed : StreamWait::kError;
      if (now > deadline) return StreamWait::kTimeout;
    }
  }
  void Reconnect() override {
    ++reconnects;
    closed = failed = false;
    unread.clear();
    due.clear();  // whatever the old connection still had in flight is gone
  }
  void Deliver() {
    for (const Piece& p : Arrived()) {
      unread.insert(unread.end(), p.bytes.begin(), p.bytes.end());
      closed |= p.kind == Piece::kClose;
      failed |= p.kind == Piece::kError;
    }
  }
  bool closed = false, failed = false;
  int reconnects = 0;
  std::deque<std::uint8_t> unread;
};

Frame Ack(std::uint8_t byte3 = 0x41) {
  Frame f = {kStx, 0x00, 0x06, byte3, 0, kEtx};
  f[4] = Checksum(f.data(), 4);
  return f;
}
// `f` with byte `at` set to `v`; `resum` recomputes the checksum of a six-byte reply.
Frame Set(Frame f, std::size_t at, std::uint8_t v, bool resum = false) {
  f[at] = v;
  if (resum) f[4] = Checksum(f.data(), 4);
  return f;
}
Frame DataReply(const std::vector<std::uint8_t>& data) {
  return BuildFrame(0x24, data.data(), data.size());
}
// Bytes [from, to) of an acknowledgement.
Frame Part(std::size_t from, std::size_t to) {
  const Frame f = Ack();
  return Frame(f.begin() + static_cast<long>(from), f.begin() + static_cast<long>(to));
}
const Frame kApply = BuildApply();
int Code(Result r) {
  return static_cast<int>(r);
}

// One exchange of a table: what arrives, the result and how long it took.
struct Row {
  const char* what;
  Plan plan;
  int code;
  std::int64_t took;
  int reconnects = 0;  // so far
};

}  // namespace

// A burst longer than the ring: what a read hands out are still the first bytes that came.
TEST(ReceiveRing, PastItsSizeItKeepsTheFirstBytesAndCountsThemAll) {
  Script clock;
  ReceiveRing ring(clock, 0);
  EXPECT_EQ(ring.size(), 196608u);
  EXPECT_EQ(ReceiveRing(clock, 300000).size(), 300000u);
  std::vector<std::uint8_t> burst(ring.size() + 5000);
  for (std::size_t i = 0; i < burst.size(); ++i) burst[i] = static_cast<std::uint8_t>(i % 251);
  for (const auto& [n, code] : {std::pair{std::size_t{6}, SerialRead::kComplete},
                                std::pair{ring.size(), SerialRead::kComplete},
                                std::pair{ring.size() + 1, SerialRead::kWaiting}}) {
    ring.Clear();
    ring.StartTimeout(5000);
    for (std::size_t at = 0; at < burst.size(); at += 4096)
      ring.Append(burst.data() + at, std::min<std::size_t>(4096, burst.size() - at));
    EXPECT_EQ(ring.count(), burst.size());
    std::vector<std::uint8_t> dst(n);
    EXPECT_EQ(ring.Read(dst.data(), n), code) << n;
    if (code != SerialRead::kComplete) continue;
    EXPECT_TRUE(std::equal(dst.begin(), dst.end(), burst.begin())) << n;
    EXPECT_EQ(ring.count(), 0u);  // the rest is forgotten
  }
}

TEST(SerialExchange, RepliesInOrder) {
  const Frame ack = Ack();
  Frame longer = ack;
  longer.insert(longer.end(), {0x02, 0x00, 0x06});  // the start of something else
  std::vector<Row> rows = {
      {"longer reply is cut", {{5, longer}}, 0, 5},
      {"pieces in time", {{10, Part(0, 1)}, {2000, Part(1, 4)}, {5000, Part(4, 6)}}, 0, 5000},
      {"last piece too late", {{10, Part(0, 5)}, {5002, Part(5, 6)}}, 1, 5001},
      {"no reply", {}, 1, 5001},
      {"no STX, checksum right", {{1, Set(ack, 0, 0x05, true)}}, 7, 1},
      {"wrong checksum", {{1, Set(ack, 4, ack[4] ^ 0x01)}}, 2, 1},
      {"other byte 3 and ETX accepted", {{1, Set(Ack(0x00), 5, 0xEE)}}, 0, 1},
  };
  // Length fields the received bytes cannot hold: rejected without reading past them.
  for (int len : {0, 1, 2, 7, 0xFFFF})
    rows.push_back({"impossible length", {{1, Set(Set(ack, 1, len >> 8), 2, len & 0xFF)}}, 2, 1});
  FakeSerial port;
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    port.next = r.plan;
    const std::int64_t start = port.now;
    EXPECT_EQ(Code(SerialSendAndWait(port, kApply.data(), kApply.size())), r.code);
    EXPECT_EQ(port.now - start, r.took);
  }
  EXPECT_EQ(port.written, std::vector<Frame>(rows.size(), kApply));
  port.open = false;
  EXPECT_EQ(Code(SerialSendAndWait(port, kApply.data(), kApply.size())), 4);
}
TEST(TcpExchange, RepliesInOrder) {
  FakeStream s;
  const Frame ack = Ack();
  Frame longer = {kStx, 0x00, 0x07, 0x41, 0x00, 0, kEtx};
  longer[5] = Checksum(longer.data(), 5);
  const Row rows[] = {
      {"split, complete", {{1, Part(0, 2)}, {3, Part(2, 3)}, {40, Part(3, 6)}}, 0, 40},
      {"STX not examined", {{1, Set(ack, 0, 0x7E, true)}}, 0, 1},
      {"length above expected", {{1, longer}}, 2, 1},
      {"length beyond what came", {{1, Part(0, 4)}}, 2, 1001},
      {"too little to judge", {{1, Part(0, 2)}}, 2, 1001},
      {"wrong checksum", {{1, Set(ack, 4, ack[4] ^ 0x10)}}, 2, 1},
      {"silence", {}, 2, 1001, 1},
      {"closed", {{5, {}, Piece::kClose}}, 2, 5, 2},
      {"socket error", {{5, {}, Piece::kError}}, 10, 5, 3},
      {"fresh connection", {{5, ack}}, 0, 5, 3},
      {"full reply before the close", {{5, ack}, {5, {}, Piece::kClose}}, 0, 5, 3},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    s.next = r.plan;
    const std::int64_t start = s.now;
    EXPECT_EQ(Code(TcpSendAndWait(s, s, kApply.data(), kApply.size(), 6)), r.code);
    EXPECT_EQ(s.reconnects, r.reconnects);
    EXPECT_EQ(s.now - start, r.took);
  }
}

// A failed read leaves the caller's buffer as it was.
TEST(SerialExchange, ReadCopiesTheDataOnlyOnSuccess) {
  FakeSerial port;
  const Frame request = BuildMemoryRead(0x020000, 8);
  Frame bad = DataReply({'X', 'X', 'X', 'X', 'X', 0, 0, 0});
  bad[12] ^= 0xFF;
  Frame ackThenNoise = Ack();  // fills the window but holds no data
  ackThenNoise.insert(ackThenNoise.end(), 8, 'X');
  const std::pair<Frame, int> rows[] = {
      {DataReply({'V', 'A', 'R', 'N', 'O', 0, 0, 0}), 0}, {bad, 2}, {ackThenNoise, 2}};
  std::uint8_t out[16] = {};
  for (const auto& [reply, code] : rows) {
    port.next = {{3, reply}};
    EXPECT_EQ(Code(SerialSendAndRead(port, request.data(), request.size(), out, 8)), code);
    EXPECT_STREQ(reinterpret_cast<char*>(out), "VARNO");
  }
}

TEST(TcpExchange, ReadsTakeOnlyTheirOwnReply) {
  FakeStream s;
  const Frame read8 = BuildMemoryRead(0x020000, 8), read2 = BuildMemoryRead(0x020008, 2);
  std::uint8_t out[8] = {9, 9, 9, 9, 9, 9, 9, 9};
  // An acknowledgement is a valid frame but carries no data, also when it is as long.
  s.next = {{2, Ack()}};
  EXPECT_EQ(Code(TcpSendAndRead(s, s, read8.data(), read8.size(), out, 8)), 2);
  s.next = {{2, Ack()}};
  EXPECT_EQ(Code(TcpSendAndRead(s, s, read2.data(), read2.size(), out, 2)), 2);
  EXPECT_EQ(Frame(out, out + 8), Frame(8, 9));
  EXPECT_EQ(s.reconnects, 0);
  // A reply still unread from before the request is not taken for its answer.
  s.due.emplace(s.now, Piece{0, DataReply({0xAA, 0xBB})});
  s.next = {{2, DataReply({0x06, 0x01})}};
  ASSERT_EQ(Code(TcpSendAndRead(s, s, read2.data(), read2.size(), out, 2)), 0);
  EXPECT_EQ(Frame(out, out + 2), Frame({0x06, 0x01}));
}
