#pragma once
// brellion-cli run as a process by the console tool's tests. Needs BRELLION_BIN_DIR.

#include <QCoreApplication>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace cli_test {

// QProcess needs an application object; GoogleTest's main makes none.
inline void EnsureApp() {
  static int argc = 1;
  static char name[] = "cli_tests";
  static char* argv[] = {name, nullptr};
  if (QCoreApplication::instance() == nullptr) new QCoreApplication(argc, argv);
}

struct CliRun {
  int status = -1;  // -1: crashed or did not finish in a minute
  QString out;
  QString err;
};

inline CliRun Cli(const QStringList& args) {
  QProcess p;
  p.start(QStringLiteral(BRELLION_BIN_DIR "/brellion-cli"), args);
  if (!p.waitForFinished(60000)) return {};
  return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
          QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

}  // namespace cli_test
