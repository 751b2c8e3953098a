// brellion-cli clock [LINK OR SIGNS] [PROJECT.dat]
#include "manager/fleet/jobs.h"
#include "tools/brellion-cli/cli.h"

int RunClock(cli::Session& session) {
  std::vector<std::string> positional;
  std::optional<std::string> project;
  if (!session.Positionals(0, &positional, &project)) return cli::kExitUsage;
  if (!session.OpenStore(project)) return cli::kExitUsage;
  return session.RunOnTargets(fleet::ClockJob());
}
