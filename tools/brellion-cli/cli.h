#pragma once
// The console tool's common part: the subcommand table type, the link and target options,
// the work store a subcommand reads its settings from, the link it talks over (or the
// signs it goes to at once), and how results become messages and exit statuses.

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "manager/fleet/fan_out.h"
#include "manager/link/board_commands.h"
#include "manager/link/sign_link.h"

class SignLinks;

namespace cli {

// Exit statuses.
enum Exit : int {
  kExitOk = 0,      // the sign acknowledged everything
  kExitFailed = 1,  // the sign or the link failed (with many signs: any of them)
  kExitUsage = 2,   // bad command line, or a project that cannot be read
  kExitDiffers = 3,  // verify: the sign holds another program; pull: items were left out
};

class Session;

struct Subcommand {
  const char* name;
  const char* arguments;  // after the link options, for the usage text
  const char* summary;
  int (*run)(Session& session);
  // Takes the target options (--tcp and --serial repeated, --sign, --group, --all, --jobs)
  // and goes to every target through Session::RunOnTargets.
  bool perTarget = false;
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

  // True when a per-target command goes to several signs: the sign book is used, or more
  // than one link option was given.
  bool ManyTargets() const { return !targets_.empty(); }
  // Runs the job and returns the exit status; Ctrl-C stops it between two frames. One sign
  // (a link option, or none: the store's link): the job runs here over Link() with
  // `console` (may be null) told its steps, and ends as Report. Many signs: all at once
  // (at most --jobs), each over its own link; one line per sign on stdout as it ends,
  // "NAME: CAPTION: TEXT", and kExitOk only when every sign succeeded.
  int RunOnTargets(const fleet::Job& job, fleet::JobContext* console = nullptr);
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
  friend int Main(int, char**, std::span<const Subcommand>);

  const Subcommand& subcommand_;
  std::span<const Subcommand> all_;
  std::unique_ptr<SignLinks> links_;
  bool storeOpen_ = false;
  std::vector<fleet::Sign> targets_;  // with many targets, in the order given
  int jobs_ = 0;
};

// The usage text of all subcommands.
std::string Usage(std::span<const Subcommand> subcommands);

}  // namespace cli
