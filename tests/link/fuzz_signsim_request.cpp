// Arbitrary bytes, in arbitrary pieces, through the simulator's request parser and its
// command handling: nothing may crash or read outside the board memory.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "tools/signsim/request_parser.h"
#include "tools/signsim/sign.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static std::vector<std::uint8_t> memory(1 << 20);
  signsim::Sign sign(memory.data(), memory.size());
  signsim::RequestParser parser;
  std::vector<signsim::ParsedFrame> frames;
  std::size_t i = 0;
  while (i < size) {
    // The first byte of each step says how many of the following bytes arrive at once.
    const std::size_t step = 1 + data[i] % 64;
    const std::size_t n = std::min(step, size - i - 1);
    parser.Feed(data + i + 1, n, frames);
    i += 1 + n;
    if (step == 64) parser.GiveUp(frames);  // the line went quiet
    if (step == 63) parser.Reset();
  }
  for (const signsim::ParsedFrame& f : frames) {
    const std::size_t len = (std::size_t{f.bytes[1]} << 8) | f.bytes[2];
    if (f.bytes.size() != len || f.bytes[0] != 0x02 || len > signsim::kMaxRequest) std::abort();
    if (!f.checksum_ok) continue;
    const signsim::Answer a = sign.Handle(f.bytes);
    if (!a.reply.empty() && a.reply.size() < 6) std::abort();
  }
  return 0;
}
