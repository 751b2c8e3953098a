#include "manager/link/frame.h"

#include "shared/board_memory.h"

namespace signlink {

std::uint8_t Checksum(const std::uint8_t* bytes, std::size_t n) {
  unsigned sum = 0;
  for (std::size_t i = 0; i < n; ++i) sum += bytes[i];
  return static_cast<std::uint8_t>(sum);
}

Frame BuildFrame(std::uint8_t command, const std::uint8_t* data, std::size_t n) {
  if (n > kMaxFrame - kEnvelope) return {};
  Frame f(n + kEnvelope);
  f[0] = kStx;
  board::Put16(&f[1], static_cast<std::uint16_t>(f.size()));
  f[3] = command;
  for (std::size_t i = 0; i < n; ++i) f[4 + i] = data[i];
  f[f.size() - 2] = Checksum(f.data(), f.size() - 2);
  f[f.size() - 1] = kEtx;
  return f;
}

Frame BuildClockSet(int year, int month, int day, int hour, int minute, int second) {
  std::uint8_t d[7];
  board::Put16(d, static_cast<std::uint16_t>(year));
  d[2] = static_cast<std::uint8_t>(month);
  d[3] = static_cast<std::uint8_t>(day);
  d[4] = static_cast<std::uint8_t>(hour);
  d[5] = static_cast<std::uint8_t>(minute);
  d[6] = static_cast<std::uint8_t>(second);
  return BuildFrame(kCmdClockSet, d, sizeof d);
}

Frame BuildMemoryWrite(std::uint32_t address, const std::uint8_t* data, std::size_t n) {
  if (n > board::kMaxWriteBytes) return {};
  std::vector<std::uint8_t> d(6 + n);
  board::Put32(&d[0], address);
  board::Put16(&d[4], static_cast<std::uint16_t>(n));
  for (std::size_t i = 0; i < n; ++i) d[6 + i] = data[i];
  return BuildFrame(kCmdMemoryWrite, d.data(), d.size());
}

Frame BuildMemoryRead(std::uint32_t address, std::uint16_t count) {
  std::uint8_t d[6];
  board::Put32(&d[0], address);
  board::Put16(&d[4], count);
  return BuildFrame(kCmdMemoryRead, d, sizeof d);
}

Frame BuildApply() {
  return BuildFrame(kCmdApply, nullptr, 0);
}

Frame BuildEventBlock(std::uint8_t block, const std::uint8_t* data, std::size_t n) {
  std::vector<std::uint8_t> d(1 + n);
  d[0] = block;
  for (std::size_t i = 0; i < n; ++i) d[1 + i] = data[i];
  return BuildFrame(kCmdEventBlock, d.data(), d.size());
}

Frame BuildEventStart() {
  return BuildFrame(kCmdEventStart, nullptr, 0);
}
Frame BuildEventCancel() {
  return BuildFrame(kCmdEventCancel, nullptr, 0);
}
Frame BuildNews(const std::uint8_t (&flags)[8]) {
  return BuildFrame(kCmdNews, flags, 8);
}

std::string ResultText(Result r) {
  switch (r) {
    case Result::kOk:
      return "OK";
    case Result::kTimeout:
      return "시간 초과 오류입니다.";
    case Result::kChecksum:
      return "CHECK-SUM 오류입니다.";
    case Result::kSendError:
      return "전송 오류입니다.";
    case Result::kCommandError:
      return "COMMAND 오류입니다.";
    case Result::kPasswordError:
      return "PASSWORD 오류입니다.";
    case Result::kStxError:
      return "STX 오류입니다.";
    case Result::kEtxError:
      return "ETX 오류입니다.";
    case Result::kNoSocket:
      return "소켓생성 오류입니다.";
    case Result::kNotConnected:
      return "서버소켓에 연결되지않은 오류입니다.";
    case Result::kStillWaiting:
      break;
  }
  return "알 수 없는 오류코드입니다.";
}

namespace {

// The length field must at least reach the checksum's own byte and stay inside what came.
Result CheckSum(const std::uint8_t* reply, std::size_t received) {
  if (received < 3) return Result::kChecksum;
  const std::size_t length = board::Get16(reply + 1);
  if (length < 3 || length > received) return Result::kChecksum;
  return Checksum(reply, length - 2) == reply[length - 2] ? Result::kOk : Result::kChecksum;
}

}  // namespace

Result CheckSerialReply(const std::uint8_t* reply, std::size_t received) {
  if (received == 0 || reply[0] != kStx) return Result::kStxError;
  return CheckSum(reply, received);
}

Result CheckTcpReply(const std::uint8_t* reply, std::size_t received, std::size_t expected) {
  if (received < 3) return Result::kChecksum;
  if (board::Get16(reply + 1) > expected) return Result::kChecksum;
  return CheckSum(reply, received);
}

}  // namespace signlink
