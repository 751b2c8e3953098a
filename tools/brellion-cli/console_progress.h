#pragma once
// Progress of a long sign command on stderr: a bar on a terminal, one line per item
// otherwise. While a CtrlC (or a ConsoleProgress) exists, Ctrl-C asks the command to stop
// between two frames.

#include "manager/fleet/fan_out.h"
#include "manager/transfer/download.h"

namespace cli {

// Takes over SIGINT for its lifetime and gives back the handler it found, so scopes nest.
class CtrlC {
 public:
  CtrlC();
  ~CtrlC();
  CtrlC(const CtrlC&) = delete;
  CtrlC& operator=(const CtrlC&) = delete;

 private:
  void (*previous_)(int);
};

// True once Ctrl-C was pressed under the outermost live CtrlC.
bool Interrupted();

class ConsoleProgress final : public fleet::JobContext {
 public:
  ConsoleProgress();
  ~ConsoleProgress() override;  // ends the bar's line when End was not called

  // The same display for the transfer functions.
  transfer::Progress callbacks();

  void Begin(int total) override { total_ = total; }
  void Step(int item) override;
  bool Cancelled() override { return Interrupted(); }
  void End();

 private:
  CtrlC ctrlC_;
  bool terminal_;
  int total_ = 0;
  int done_ = 0;
  int lastItem_ = -1;
  bool ended_ = false;
};

}  // namespace cli
