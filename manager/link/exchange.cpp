#include "manager/link/exchange.h"

#include <cstring>
#include <vector>

#include "manager/link/frame.h"
#include "shared/board_memory.h"

namespace signlink {

namespace {

Result SerialExchange(SerialChannel& port, const std::uint8_t* frame, std::size_t len,
                      std::uint8_t* out, std::size_t count) {
  port.Purge();
  if (port.Write(frame, static_cast<int>(len)) == 0) return Result::kSendError;
  port.StartTimeout(kSerialReplyMs);
  const std::size_t expected = count + kEnvelope;
  std::vector<std::uint8_t> reply(expected);
  for (;;) {
    const SerialRead s = port.Read(reply.data(), static_cast<int>(expected));
    if (s == SerialRead::kComplete) break;
    if (s == SerialRead::kDeadlinePassed) return Result::kTimeout;
    if (s == SerialRead::kPortClosed) return Result::kSendError;  // lost while waiting
    port.AwaitBytes();
  }
  const Result rc = CheckSerialReply(reply.data(), expected);
  if (rc != Result::kOk || out == nullptr || count == 0) return rc;
  // As on TCP: a valid frame too short to hold the data (an acknowledgement with bytes
  // trailing it) is no read reply.
  if (board::Get16(reply.data() + 1) < count + kEnvelope) return Result::kChecksum;
  std::memcpy(out, reply.data() + 4, count);
  return Result::kOk;
}

Result TcpExchange(StreamChannel& socket, const MonotonicClock& clock, const std::uint8_t* frame,
                   std::size_t len, std::size_t expected, std::uint8_t* out, std::size_t count) {
  if (!socket.HasSocket()) return Result::kNoSocket;
  // A reply that came after an earlier exchange gave up must not pass for this one's.
  socket.DiscardUnread();
  socket.Send(frame, len);
  const std::int64_t deadline = clock.NowMs() + kTcpReplyMs;
  std::vector<std::uint8_t> reply(expected);
  std::size_t got = 0;
  while (got < expected) {
    std::size_t taken = 0;
    const StreamWait w = socket.Receive(reply.data() + got, expected - got, deadline, &taken);
    got += taken;
    if (w == StreamWait::kData) continue;
    if (w == StreamWait::kError) {
      socket.Reconnect();
      return Result::kNotConnected;
    }
    if (w == StreamWait::kClosed || got == 0) {
      socket.Reconnect();
      return Result::kChecksum;
    }
    break;  // timed out with part of a reply: judged below on what came
  }
  const Result rc = CheckTcpReply(reply.data(), got, expected);
  if (rc != Result::kOk || out == nullptr || count == 0) return rc;
  // The reply's own length must cover the data asked for; a shorter valid frame (an
  // acknowledgement) would otherwise hand back its checksum and ETX as data.
  const std::size_t frameLen = board::Get16(reply.data() + 1);
  if (frameLen < count + kEnvelope || got < frameLen) return Result::kChecksum;
  std::memcpy(out, reply.data() + 4, count);
  return Result::kOk;
}

}  // namespace

Result SerialSendAndWait(SerialChannel& port, const std::uint8_t* frame, std::size_t len) {
  return SerialExchange(port, frame, len, nullptr, 0);
}

Result SerialSendAndRead(SerialChannel& port, const std::uint8_t* frame, std::size_t len,
                         std::uint8_t* out, std::size_t count) {
  return SerialExchange(port, frame, len, out, count);
}

Result TcpSendAndWait(StreamChannel& socket, const MonotonicClock& clock,
                      const std::uint8_t* frame, std::size_t len, std::size_t expected) {
  return TcpExchange(socket, clock, frame, len, expected, nullptr, 0);
}

Result TcpSendAndRead(StreamChannel& socket, const MonotonicClock& clock,
                      const std::uint8_t* frame, std::size_t len, std::uint8_t* out,
                      std::size_t count) {
  return TcpExchange(socket, clock, frame, len, count + kEnvelope, out, count);
}

}  // namespace signlink
