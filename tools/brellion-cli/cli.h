#pragma once
// The console tool's common part: the subcommand table type, the link options, the work
// store a subcommand reads its settings from, the link it talks over, and how results
// become messages and exit statuses.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "manager/link/board_commands.h"
#include "manager/link/sign_link.h"

class SignLinks;

namespace cli {

// Exit statuses.
enum Exit : int {
  kExitOk = 0,      // the sign acknowledged everything
  kExitFailed = 1,  // the sign or the link failed
  kExitUsage = 2,   // bad command line, or a project that cannot be read
};

class Session;

struct Subcommand {
  const char* name;
  const char* arguments;  // after the link options, for the usage text
  const char* summary;
  int (*run)(Session& session);
};

// Parses argv, runs the subcommand and returns the exit status. --help anywhere prints
// the usage to stdout (0); a bad command line prints it to stderr (2).
int Main(int argc, char** argv, std::span<const Subcommand> subcommands);

// The work store a tool uses without a project: "data.tmp" beside the program, or in the
// user's data folder when the program's folder cannot be written.
std::string DefaultStorePath();

class Session {
 public:
  Session(const Subcommand& subcommand, std::span<const Subcommand> all);
  ~Session();

  // The subcommand's own arguments, in order, without the link options.
  const std::vector<std::string>& args() const { return args_; }

  // Opens PROJECT.dat for reading (a regular file of 904672 bytes, as the manager takes
  // it), or without one the default work store (made when missing), never locking either.
  // False after saying why; the subcommand then ends with kExitUsage.
  bool OpenStore(const std::optional<std::string>& project);
  // The link: --tcp or --serial when given, otherwise the store's transmit option, IP
  // address, TCP port and COM port. Call after OpenStore. A serial port that does not
  // open is reported and the link stays up (its exchanges then fail).
  signlink::SignLink& Link();

  // Prints the outcome's caption and text to stderr; kExitOk when it succeeded.
  int Report(const signlink::Outcome& outcome);
  // Prints why and the usage to stderr; returns kExitUsage.
  int UsageError(const std::string& why);
  // Splits off an optional trailing PROJECT.dat after `count` positional arguments; false
  // (after a usage error message) when the arguments do not fit or hold an unknown option.
  bool Positionals(std::size_t count, std::vector<std::string>* positional,
                   std::optional<std::string>* project);

  // Set by Main from the link options.
  std::optional<std::string> tcpHost;
  std::uint16_t tcpPort = 0;
  std::optional<std::string> serialDevice;
  std::vector<std::string> args_;

 private:
  const Subcommand& subcommand_;
  std::span<const Subcommand> all_;
  std::unique_ptr<SignLinks> links_;
  bool storeOpen_ = false;
};

// The usage text of all subcommands.
std::string Usage(std::span<const Subcommand> subcommands);

}  // namespace cli
