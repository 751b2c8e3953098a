#pragma once
// The simulator's command line, parsed apart from any I/O so it can be tested.

#include <cstdint>
#include <string>
#include <vector>

namespace signsim {

enum class Fault { kNoReply, kLate, kBadChecksum, kBadStx, kPieces, kDrop };

struct FaultRule {
  Fault fault;
  std::uint64_t frame = 0;  // 1-based frame number counted over all links; 0: every frame
};

struct Options {
  bool tcp = true;
  std::string tcp_host = "127.0.0.1";
  int tcp_port = 5000;      // 0: any free port (see ready_file)
  std::string pty_link;     // empty: no pseudo-terminal
  std::string memory_file;  // empty: memory lives only while the simulator runs
  std::string ready_file;   // written once listening: "tcp PORT" and "pty PATH" lines
  std::string model = "VARNO";
  int width = -1;
  int rows = -1;
  long baud = 0;  // 0: the pseudo-terminal is not paced
  int late_ms = 1500;
  int piece_ms = 2;
  int stall_ms = 5000;     // a client with a full reply queue that takes nothing this long
  int idle_ms = 5000;      // with every client slot taken and another client waiting, a
                           // client without a whole frame for this long makes room
  std::string log_file;    // empty: standard error
  long log_max = 4 << 20;  // bytes a log file holds before it is rotated
  std::vector<FaultRule> faults;
  bool help = false;
};

// Parses argv; false with a message in *error on a bad command line.
bool ParseOptions(int argc, const char* const* argv, Options* options, std::string* error);
// "KIND[:N|:every]" with KIND one of noreply, late, badsum, badstx, pieces, drop.
bool ParseFault(const std::string& text, FaultRule* rule);
// Whether the rules put this fault on frame number `frame`.
bool HasFault(const std::vector<FaultRule>& rules, Fault fault, std::uint64_t frame);

extern const char* const kUsage;

}  // namespace signsim
