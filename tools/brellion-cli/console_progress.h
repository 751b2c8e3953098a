#pragma once
// Progress of a long sign command on stderr: a bar on a terminal, one line per item
// otherwise. While one exists, Ctrl-C asks the command to stop between two frames.

#include "manager/transfer/download.h"

namespace cli {

class ConsoleProgress {
 public:
  ConsoleProgress();   // takes over SIGINT
  ~ConsoleProgress();  // gives it back
  ConsoleProgress(const ConsoleProgress&) = delete;
  ConsoleProgress& operator=(const ConsoleProgress&) = delete;

  transfer::Progress callbacks();

 private:
  void Step(int item);
  void End();

  bool terminal_;
  int total_ = 0;
  int done_ = 0;
  int lastItem_ = -1;
};

}  // namespace cli
