// brellion-cli send [--tcp HOST:PORT | --serial DEVICE] PROJECT.dat
// The whole download as "전   송" does it. Progress goes to stderr: a bar on a terminal,
// one line per item otherwise. Ctrl-C stops the download between two frames.
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>

#include "manager/store/work_store.h"
#include "manager/transfer/download.h"
#include "tools/brellion-cli/cli.h"

namespace {

std::atomic<bool> interrupted{false};
extern "C" void OnInterrupt(int) { interrupted = true; }

class ConsoleProgress {
 public:
  ConsoleProgress() : terminal_(::isatty(STDERR_FILENO) == 1) {}

  transfer::Progress callbacks() {
    return {.begin = [this](int total) { total_ = total; },
            .step = [this](int item) { Step(item); },
            .end = [this] { End(); },
            .cancelled = [] { return interrupted.load(); }};
  }

 private:
  void Step(int item) {
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
  void End() {
    if (terminal_ && done_ > 0) std::fputc('\n', stderr);
  }

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
  const std::vector<item::ItemRecord> list = transfer::ReadProgram(store);
  // The height as the manager repairs it at start: anything but 2 tiers is 1.
  const std::uint8_t rows = store.Height() == 2 ? 2 : 1;

  std::signal(SIGINT, OnInterrupt);
  ConsoleProgress progress;
  const transfer::Report report =
      transfer::Download(session.Link(), list, rows, progress.callbacks());
  std::signal(SIGINT, SIG_DFL);
  const transfer::Message m = transfer::MessageFor(report);
  return session.Report({report.outcome == transfer::Outcome::kDone, m.text, m.caption});
}
