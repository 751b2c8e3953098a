#include "manager/app/brellion_app.h"
#include "manager/app/brellion_view.h"
#include "manager/app/main_frame.h"
#include "manager/app/start_project.h"
#include "qtshared/app_start.h"

namespace {
constexpr const char* kUsage =
    "usage: Brellion [FILE.dat]\n"
    "The manager of the LED display board. FILE.dat: a project to open at start.\n"
    "Besides, Qt's own options (-platform NAME, -style NAME, ...).\n";
}

int main(int argc, char** argv) {
  // Read once before Qt starts, so that --help needs no display.
  int status =
      AnswerCommandLine(ParseCommandLine(RawArguments(argc, argv), 1, true), "Brellion", kUsage);
  if (status >= 0) return status;
  CBrellionApp app(argc, argv);
  const CommandLine line = ParseCommandLine(app.arguments().mid(1), 1, false);
  status = AnswerCommandLine(line, "Brellion", kUsage);
  if (status >= 0) return status;
  // A start that fails has shown its reason; it still ends with status 0.
  if (!app.InitInstance(false)) return 0;
  app.MainFrame()->show();
  // The start itself is the usual one on the scratch store; a named project replaces it
  // (any box it gives stands over the window).
  if (!line.paths.isEmpty()) OpenStartProject(*app.View(), line.paths.front());
  CloseAfterEnvDelay(app.MainFrame());
  return app.exec();
}
