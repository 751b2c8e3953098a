#pragma once
// What the two exchanges need of a link, so they run against a device, a simulator or a
// scripted fake alike. Times are milliseconds of one monotonic clock.

#include <cstddef>
#include <cstdint>

namespace signlink {

class MonotonicClock {
 public:
  virtual ~MonotonicClock() = default;
  virtual std::int64_t NowMs() const = 0;
};

// std::chrono::steady_clock.
class SteadyClock : public MonotonicClock {
 public:
  std::int64_t NowMs() const override;
};

// State of the serial wait, apart from the exchange results (whose code 2 means a bad
// checksum, not a passed deadline).
enum class SerialRead : int {
  kComplete = 0,        // the expected bytes were taken
  kPortClosed = 1,      // nothing can be written or awaited (not open, or lost)
  kDeadlinePassed = 2,  // the reply did not come in time
  kWaiting = 3,         // not all bytes yet, the deadline still ahead
};

// The serial wrapper as the serial exchange sees it.
class SerialChannel {
 public:
  virtual ~SerialChannel() = default;
  // Forgets every byte received so far and discards what the driver holds.
  virtual void Purge() = 0;
  // Starts sending; returns n, or 0 when the port is not open.
  virtual int Write(const std::uint8_t* bytes, int n) = 0;
  // Sets the reply deadline to now + ms; false when the port is not open.
  virtual bool StartTimeout(int ms) = 0;
  // kComplete: n bytes copied to dst and the rest forgotten; kDeadlinePassed; kWaiting;
  // kPortClosed when the port was lost while waiting.
  virtual SerialRead Read(std::uint8_t* dst, int n) = 0;
  // Lets received bytes come in; returns when some did or the deadline passed, and
  // keeps the program responsive meanwhile.
  virtual void AwaitBytes() = 0;
};

enum class StreamWait {
  kData,     // bytes were taken
  kTimeout,  // the deadline passed with nothing more
  kClosed,   // the peer closed the connection
  kError,    // the socket failed or is not connected
};

// The TCP client socket as the TCP exchange sees it.
class StreamChannel {
 public:
  virtual ~StreamChannel() = default;
  virtual bool HasSocket() const = 0;
  // Drops bytes received and not yet taken.
  virtual void DiscardUnread() = 0;
  virtual void Send(const std::uint8_t* bytes, std::size_t n) = 0;
  // Waits until bytes are there, the deadline (clock ms) passes, or the link fails; takes
  // up to max bytes into dst and sets *taken. Bytes already there are taken before a
  // close or an error is reported.
  virtual StreamWait Receive(std::uint8_t* dst, std::size_t max, std::int64_t deadline_ms,
                             std::size_t* taken) = 0;
  // Replaces the socket with a fresh one connecting to the configured address.
  virtual void Reconnect() = 0;
};

}  // namespace signlink
