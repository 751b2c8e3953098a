// brellion-cli send [--tcp HOST:PORT | --serial DEVICE] PROJECT.dat
// The whole download as "전   송" does it. Progress goes to stderr: a bar on a terminal,
// one line per item otherwise. Ctrl-C stops the download between two frames.
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
  const std::vector<item::ItemRecord> list = transfer::ReadProgram(store);
  // The height as the manager repairs it at start: anything but 2 tiers is 1.
  const std::uint8_t rows = store.Height() == 2 ? 2 : 1;

  cli::ConsoleProgress progress;
  const transfer::Report report =
      transfer::Download(session.Link(), list, rows, progress.callbacks());
  const transfer::Message m = transfer::MessageFor(report);
  return session.Report({report.outcome == transfer::Outcome::kDone, m.text, m.caption});
}
