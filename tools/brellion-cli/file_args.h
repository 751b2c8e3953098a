#pragma once
// The command line of the subcommands that work on files only (export, import, list).

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "tools/brellion-cli/cli.h"

namespace cli {

// Exactly `count` names, and the value of --out when `out` is given. A link option talks to
// no sign here, so it is refused too. False after a usage error.
inline bool FileArguments(Session& session, std::size_t count, std::vector<std::string>* names,
                          std::optional<std::string>* out = nullptr) {
  if (session.tcpHost || session.serialDevice) {
    session.UsageError("talks to no sign; --tcp and --serial are not for it");
    return false;
  }
  const std::vector<std::string>& args = session.args();
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (out && args[i] == "--out") {
      if (i + 1 == args.size()) {
        session.UsageError("--out needs a file");
        return false;
      }
      *out = args[++i];
    } else if (args[i].size() > 1 && args[i][0] == '-') {
      session.UsageError("unknown option '" + args[i] + "'");
      return false;
    } else {
      names->push_back(args[i]);
    }
  }
  if (names->size() != count) {
    session.UsageError("wrong number of arguments");
    return false;
  }
  return true;
}

}  // namespace cli
