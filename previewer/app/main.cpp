#include <QApplication>

#include "previewer/app/varno_main.h"
#include "qtshared/app_start.h"
#include "qtshared/program_folders.h"

namespace {
constexpr const char* kUsage =
    "usage: Varno\n"
    "Plays preview.tmp, the board memory image the manager writes, the way the sign would.\n"
    "The manager starts it; it takes no arguments besides Qt's own (-platform NAME, ...).\n";
}

int main(int argc, char** argv) {
  // Read once before Qt starts, so that --help needs no display.
  int status =
      AnswerCommandLine(ParseCommandLine(RawArguments(argc, argv), 0, true), "Varno", kUsage);
  if (status >= 0) return status;
  QApplication app(argc, argv);
  status = AnswerCommandLine(ParseCommandLine(app.arguments().mid(1), 0, false), "Varno", kUsage);
  if (status >= 0) return status;
  QApplication::setOrganizationName(QStringLiteral("Varno"));
  QApplication::setApplicationName(QStringLiteral("Varno"));
  QString dir = QApplication::applicationDirPath();
  if (!dir.endsWith(QLatin1Char('/'))) dir += QLatin1Char('/');
  return VarnoMain(app, dir, PreviewFolderForVarno(dir));
}
