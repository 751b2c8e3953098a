#pragma once
// Splits a byte stream into request frames. A frame is handed out whole with its checksum
// and ETX verdicts. When the bytes at an STX cannot be a frame (a length below 6 or beyond
// the largest request, or a whole frame whose checksum or ETX fails) the parser looks for
// the next STX after it, so one bad length never swallows the good frames that follow.
// Never reads outside what it was fed; holds at most kMaxRequest bytes between calls.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace signsim {

// A memory write of 2048 data bytes: the largest request the sign takes.
inline constexpr std::size_t kMaxRequest = 2060;

struct ParsedFrame {
  std::vector<std::uint8_t> bytes;  // STX to ETX
  bool checksum_ok = false;
  bool etx_ok = false;
};

class RequestParser {
 public:
  // Appends every frame completed by these bytes to out. A frame that fails its checks is
  // reported too, unless it starts inside one already reported.
  void Feed(const std::uint8_t* bytes, std::size_t n, std::vector<ParsedFrame>& out);
  // The line went quiet in the middle of a frame: appends whatever frames the held bytes
  // hold without it, and forgets the rest.
  void GiveUp(std::vector<ParsedFrame>& out);
  // Forgets everything held.
  void Reset() { held_.clear(); }
  bool HasPartial() const { return !held_.empty(); }
  // Bytes dropped while looking for a frame start.
  std::size_t skipped() const { return skipped_; }

 private:
  // quiet: no more bytes will come, so a start that needs more is skipped, not awaited.
  void Scan(std::vector<ParsedFrame>& out, bool quiet);
  void Drop(std::size_t n);

  std::vector<std::uint8_t> held_;  // starts with STX when not empty
  std::size_t reported_end_ = 0;    // held_ bytes before this lie in a reported bad frame
  std::size_t skipped_ = 0;
};

}  // namespace signsim
