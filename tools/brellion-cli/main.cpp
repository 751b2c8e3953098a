// brellion-cli: the manager's sign commands from a console, over the same link code.
#include <QCoreApplication>

#include "tools/brellion-cli/cli.h"

// One line here and one row below per subcommand; each lives in cmd_<name>.cpp.
int RunClock(cli::Session& session);

namespace {
const cli::Subcommand kSubcommands[] = {
    {"clock", "[PROJECT.dat]", "sets the sign's clock to this PC's local time", RunClock},
};
}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationName(QStringLiteral("Brellion"));
  return cli::Main(argc, argv, kSubcommands);
}
