#pragma once
// Splits a byte stream into request frames. Bytes before an STX and STX bytes whose
// length field cannot be a frame (below 6) are skipped; a frame is handed out whole with
// its checksum and ETX verdicts. Never reads outside what it was fed.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace signsim {

struct ParsedFrame {
  std::vector<std::uint8_t> bytes;  // STX to ETX
  bool checksum_ok = false;
  bool etx_ok = false;
};

class RequestParser {
 public:
  // Appends every frame completed by these bytes to out.
  void Feed(const std::uint8_t* bytes, std::size_t n, std::vector<ParsedFrame>& out);
  // Forgets a partial frame (the line went quiet in the middle of one).
  void Reset() { pending_.clear(); }
  bool HasPartial() const { return !pending_.empty(); }
  std::size_t skipped() const { return skipped_; }

 private:
  std::vector<std::uint8_t> pending_;  // starts with STX when not empty
  std::size_t skipped_ = 0;
};

}  // namespace signsim
