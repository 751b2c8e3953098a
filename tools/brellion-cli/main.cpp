// brellion-cli: the manager's sign commands from a console, over the same link code.
#include <QCoreApplication>

#include "tools/brellion-cli/cli.h"

// One line here and one row below per subcommand; each lives in cmd_<name>.cpp.
int RunClock(cli::Session& session);
int RunSend(cli::Session& session);
int RunPreview(cli::Session& session);
int RunEvent(cli::Session& session);
int RunEventCancel(cli::Session& session);
int RunVerify(cli::Session& session);
int RunPull(cli::Session& session);
int RunExport(cli::Session& session);
int RunImport(cli::Session& session);
int RunList(cli::Session& session);

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
    {"verify", "PROJECT.dat",
     "compares the sign's memory with what sending the project would leave there; writes "
     "nothing. A line per differing item (position, kind, first differing address) and one "
     "when the count differs go to stdout; exit status 3 when anything differs. To many "
     "signs, one line per sign and a sign that differs fails",
     RunVerify, true},
    {"pull", "OUT.dat [--pictures DIR]",
     "reads the sign's program into a new project OUT.dat, its bitmaps and animations as "
     "BMP and GIF files in DIR (default: a folder beside OUT.dat named after it); items that "
     "cannot come back are named on stdout and left out, with exit status 3",
     RunPull},
    {"export", "PROJECT.dat [--out FILE.json]",
     "writes the project as JSON text (stdout without --out); README: \"Projects as text\"",
     RunExport},
    {"import", "FILE.json OUT.dat",
     "builds OUT.dat from a JSON text (\"-\": stdin); a refused text names its first fault "
     "and leaves OUT.dat alone",
     RunImport},
    {"list", "PROJECT.dat", "prints the message list's rows, tab-separated, one per line", RunList},
};
}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("Brellion"));
  return cli::Main(argc, argv, kSubcommands);
}
