// brellion-cli send [LINK OR SIGNS] PROJECT.dat
// The whole download as "전   송" does it. To one sign, progress goes to stderr: a bar on a
// terminal, one line per item otherwise. Ctrl-C stops the download between two frames.
#include "manager/fleet/jobs.h"
#include "manager/store/work_store.h"
#include "manager/transfer/download.h"
#include "tools/brellion-cli/cli.h"
#include "tools/brellion-cli/console_progress.h"

int RunSend(cli::Session& session) {
  std::vector<std::string> positional;
  std::optional<std::string> project;
  if (!session.Positionals(0, &positional, &project)) return cli::kExitUsage;
  if (!project) return session.UsageError("PROJECT.dat is needed");
  if (!session.OpenStore(project)) return cli::kExitUsage;
  store::WorkStore& store = store::TheWorkStore();
  // The height as the manager repairs it at start: anything but 2 tiers is 1.
  const std::uint8_t rows = store.Height() == 2 ? 2 : 1;
  const fleet::Job job = fleet::SendProgramJob(transfer::ReadProgram(store), rows);
  if (session.ManyTargets()) return session.RunOnTargets(job);
  cli::ConsoleProgress progress;
  return session.RunOnTargets(job, &progress);
}
