#pragma once
// Sign protocol frames: STX, 16-bit big-endian total length, command, data, 8-bit byte
// sum of everything before it, ETX. Builders return complete request frames.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace signlink {

using Frame = std::vector<std::uint8_t>;

inline constexpr std::uint8_t kStx = 0x02;
inline constexpr std::uint8_t kEtx = 0x03;
inline constexpr std::size_t kEnvelope = 6;         // STX, length, command, checksum, ETX
inline constexpr std::size_t kAckSize = 6;          // an acknowledgement carries no data
inline constexpr std::size_t kMaxFrame = 65535;     // the length field is 16 bits

// Command bytes.
inline constexpr std::uint8_t kCmdClockSet = 0x21;
inline constexpr std::uint8_t kCmdMemoryWrite = 0x23;
inline constexpr std::uint8_t kCmdMemoryRead = 0x24;
inline constexpr std::uint8_t kCmdApply = 0x25;
inline constexpr std::uint8_t kCmdEventBlock = 0x26;
inline constexpr std::uint8_t kCmdEventStart = 0x27;
inline constexpr std::uint8_t kCmdEventCancel = 0x28;
inline constexpr std::uint8_t kCmdNews = 0x29;

// Outcome of one exchange. The values are the codes the operator's messages are keyed by.
enum class Result : int {
  kOk = 0,
  kTimeout = 1,        // serial: no complete reply before the deadline
  kChecksum = 2,       // bad checksum, or an impossible length field
  kStillWaiting = 3,   // never returned by an exchange
  kSendError = 4,      // serial: the port is not open
  kCommandError = 5,   // reserved
  kPasswordError = 6,  // reserved
  kStxError = 7,       // serial: the reply does not begin with STX
  kEtxError = 8,       // reserved
  kNoSocket = 9,       // TCP/IP: no client socket
  kNotConnected = 10,  // TCP/IP: receiving failed
};

// Sum of n bytes modulo 256.
std::uint8_t Checksum(const std::uint8_t* bytes, std::size_t n);

// A frame around data; empty when the frame would not fit the 16-bit length.
Frame BuildFrame(std::uint8_t command, const std::uint8_t* data, std::size_t n);

// Clock set: year 16-bit, then month 1-12, day, hour, minute, second. 13 bytes.
Frame BuildClockSet(int year, int month, int day, int hour, int minute, int second);
// Memory write of n bytes at a board address; empty when n exceeds board::kMaxWriteBytes.
Frame BuildMemoryWrite(std::uint32_t address, const std::uint8_t* data, std::size_t n);
// Memory read of count bytes; the reply is count + 6 bytes, data from offset 4.
Frame BuildMemoryRead(std::uint32_t address, std::uint16_t count);
Frame BuildApply();
// Event block: block 0 carries the 32-byte item header, blocks 1 and 2 one 2048-byte page.
Frame BuildEventBlock(std::uint8_t block, const std::uint8_t* data, std::size_t n);
Frame BuildEventStart();
Frame BuildEventCancel();
// News: eight category flag bytes.
Frame BuildNews(const std::uint8_t (&flags)[8]);

// The operator's message for a result, UTF-8; any value outside the table (3 included)
// reads "알 수 없는 오류코드입니다.".
std::string ResultText(Result r);

// Serial reply check over the bytes received: kOk, kStxError or kChecksum (also a length
// field below 3 or beyond the received bytes). Reads nothing past `received`.
Result CheckSerialReply(const std::uint8_t* reply, std::size_t received);
// TCP reply check: kChecksum when the length field exceeds `expected`, is below 3 or
// beyond the received bytes, or the checksum is wrong. STX and ETX are not examined.
Result CheckTcpReply(const std::uint8_t* reply, std::size_t received, std::size_t expected);

}  // namespace signlink
