// brellion-cli clock [--tcp HOST:PORT | --serial DEVICE] [PROJECT.dat]
#include "tools/brellion-cli/cli.h"

int RunClock(cli::Session& session) {
  std::vector<std::string> positional;
  std::optional<std::string> project;
  if (!session.Positionals(0, &positional, &project)) return cli::kExitUsage;
  if (!session.OpenStore(project)) return cli::kExitUsage;
  return session.Report(signlink::SendClock(session.Link()));
}
