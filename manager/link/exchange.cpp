#include "manager/link/exchange.h"

#include <cstring>
#include <vector>

#include "manager/link/frame.h"

namespace signlink {

namespace {

int SerialExchange(SerialChannel& port, const std::uint8_t* frame, std::size_t len,
                   std::uint8_t* out, std::size_t count) {
  port.Purge();
  if (port.Write(frame, static_cast<int>(len)) == 0) return kSendError;
  port.StartTimeout(kSerialReplyMs);
  const std::size_t expected = count + kEnvelope;
  std::vector<std::uint8_t> reply(expected);
  for (;;) {
    const int s = port.Read(reply.data(), static_cast<int>(expected));
    if (s == 0) break;
    if (s == 2) return kTimeout;
    port.AwaitBytes();
  }
  const int rc = CheckSerialReply(reply.data(), expected);
  if (rc == kOk && out != nullptr && count > 0) std::memcpy(out, reply.data() + 4, count);
  return rc;
}

int TcpExchange(StreamChannel& socket, const MonotonicClock& clock, const std::uint8_t* frame,
                std::size_t len, std::size_t expected, std::uint8_t* out, std::size_t count) {
  if (!socket.HasSocket()) return kNoSocket;
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
      return kNotConnected;
    }
    if (w == StreamWait::kClosed || got == 0) {
      socket.Reconnect();
      return kChecksum;
    }
    break;  // timed out with part of a reply: judged below on what came
  }
  const int rc = CheckTcpReply(reply.data(), got, expected);
  if (rc != kOk || out == nullptr || count == 0) return rc;
  if (got < 4 + count) return kChecksum;  // the data would lie beyond what came
  std::memcpy(out, reply.data() + 4, count);
  return kOk;
}

}  // namespace

int SerialSendAndWait(SerialChannel& port, const std::uint8_t* frame, std::size_t len) {
  return SerialExchange(port, frame, len, nullptr, 0);
}

int SerialSendAndRead(SerialChannel& port, const std::uint8_t* frame, std::size_t len,
                      std::uint8_t* out, std::size_t count) {
  return SerialExchange(port, frame, len, out, count);
}

int TcpSendAndWait(StreamChannel& socket, const MonotonicClock& clock, const std::uint8_t* frame,
                   std::size_t len, std::size_t expected) {
  return TcpExchange(socket, clock, frame, len, expected, nullptr, 0);
}

int TcpSendAndRead(StreamChannel& socket, const MonotonicClock& clock, const std::uint8_t* frame,
                   std::size_t len, std::uint8_t* out, std::size_t count) {
  return TcpExchange(socket, clock, frame, len, count + kEnvelope, out, count);
}

}  // namespace signlink
