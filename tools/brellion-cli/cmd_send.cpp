// brellion-cli send [LINK OR SIGNS] PROJECT.dat
// The whole download as "전   송" does it. To one sign, progress goes to stderr: a bar on a
// terminal, one line per item otherwise. Ctrl-C stops the download between two frames.
#include <unistd.h>

#include <cstdio>

#include "manager/fleet/jobs.h"
#include "manager/store/work_store.h"
#include "manager/transfer/download.h"
#include "tools/brellion-cli/cli.h"

namespace {

class ConsoleProgress : public fleet::JobContext {
 public:
  ConsoleProgress() : terminal_(::isatty(STDERR_FILENO) == 1) {}
  ~ConsoleProgress() override {
    if (terminal_ && done_ > 0) std::fputc('\n', stderr);
  }

  void Begin(int total) override { total_ = total; }
  void Step(int item) override {
    ++done_;
    if (terminal_) {
      constexpr int kWidth = 40;
      const int filled = total_ > 0 ? done_ * kWidth / total_ : kWidth;
      std::fprintf(stderr, "\r[%.*s%*s] %3d %%  item %d", filled,
                   "########################################", kWidth - filled, "",
                   total_ > 0 ? done_ * 100 / total_ : 100, item + 1);
    } else if (item != lastItem_) {
      std::fprintf(stderr, "item %d\n", item + 1);
    }
    lastItem_ = item;
  }
  bool Cancelled() override { return false; }

 private:
  bool terminal_;
  int total_ = 0;
  int done_ = 0;
  int lastItem_ = -1;
};

}  // namespace

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
  ConsoleProgress progress;
  return session.RunOnTargets(job, &progress);
}
