#include <QApplication>

#include "previewer/app/varno_main.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("Varno"));
  QApplication::setApplicationName(QStringLiteral("Varno"));
  QString dir = QApplication::applicationDirPath();
  if (!dir.endsWith(QLatin1Char('/'))) dir += QLatin1Char('/');
  return VarnoMain(app, dir);
}
