#include "tools/brellion-cli/console_progress.h"

#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>

namespace cli {

namespace {
std::atomic<bool> interrupted{false};
std::atomic<int> depth{0};
extern "C" void OnInterrupt(int) {
  interrupted = true;
}
}  // namespace

CtrlC::CtrlC() {
  if (depth++ == 0) interrupted = false;
  previous_ = std::signal(SIGINT, OnInterrupt);
}

CtrlC::~CtrlC() {
  std::signal(SIGINT, previous_ == SIG_ERR ? SIG_DFL : previous_);
  --depth;
}

bool Interrupted() {
  return interrupted.load();
}

ConsoleProgress::ConsoleProgress() : terminal_(::isatty(STDERR_FILENO) == 1) {}

ConsoleProgress::~ConsoleProgress() {
  End();
}

transfer::Progress ConsoleProgress::callbacks() {
  return {.begin = [this](int total) { Begin(total); },
          .step = [this](int item) { Step(item); },
          .end = [this] { End(); },
          .cancelled = [] { return Interrupted(); }};
}

void ConsoleProgress::Step(int item) {
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

void ConsoleProgress::End() {
  if (ended_) return;
  ended_ = true;
  if (terminal_ && done_ > 0) std::fputc('\n', stderr);
}

}  // namespace cli
