// brellion-cli: the manager's sign commands from a console, over the same link code.
#include <QCoreApplication>

#include "tools/brellion-cli/cli.h"

// One line here and one row below per subcommand; each lives in cmd_<name>.cpp.
int RunClock(cli::Session& session);
int RunSend(cli::Session& session);
int RunPreview(cli::Session& session);
int RunEvent(cli::Session& session);
int RunEventCancel(cli::Session& session);

namespace {
const cli::Subcommand kSubcommands[] = {
    {"clock", "[PROJECT.dat]", "sets the sign's clock to this PC's local time", RunClock, true},
    {"send", "PROJECT.dat", "downloads the project's list to the sign, as \"전   송\" does",
     RunSend, true},
    {"preview", "PROJECT.dat [--out FILE] [--launch]",
     "writes the project's preview file (default the one the previewer reads: "
     "PREVIEW/preview.tmp beside the program, or in the user's data folder when the "
     "program's folder cannot be written); --launch starts the previewer on it",
     RunPreview},
    {"event", "PROJECT.dat INDEX",
     "shows the project's event INDEX (0-9, in list order) on the sign at once", RunEvent, true},
    {"event-cancel", "[PROJECT.dat]", "ends event mode on the sign", RunEventCancel, true},
};
}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("Brellion"));
  return cli::Main(argc, argv, kSubcommands);
}
