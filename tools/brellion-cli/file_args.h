#pragma once
// The command line and the project of the subcommands that work on files only (export,
// import, list).

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "manager/store/work_store.h"
#include "manager/textform/project_text.h"
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

// The bytes of PROJECT.dat, read as the other commands read it (the store's checks, and a
// change a manager left unfinished shown as done). Nullopt after saying why.
inline std::optional<textform::ProjectBytes> ReadProject(Session& session,
                                                         const std::string& path) {
  if (!session.OpenStore(path)) return std::nullopt;
  textform::ProjectBytes bytes(store::kFileSize);
  store::TheWorkStore().Read(0, bytes.data(), bytes.size());
  return bytes;
}

}  // namespace cli
