#include "qtshared/program_folders.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
QString WithSlash(QString dir) {
  if (!dir.endsWith(QLatin1Char('/'))) dir += QLatin1Char('/');
  return dir;
}
}  // namespace

QString UserDataFolder() {
  return WithSlash(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                   QStringLiteral("/Brellion"));
}

QString WorkFolder(const QString& programDir, const QString& dataDir) {
  const QFileInfo program(programDir);
  if (program.isDir() && program.isWritable()) return WithSlash(programDir);
  const QString data = WithSlash(dataDir.isEmpty() ? UserDataFolder() : dataDir);
  // A folder that cannot be made shows later as a store that cannot be created.
  QDir().mkpath(data + QStringLiteral("PREVIEW"));
  return data;
}

QString PreviewFolderForVarno(const QString& varnoDir, const QString& dataDir) {
  const QString managerDir = WithSlash(QDir::cleanPath(varnoDir + QStringLiteral("/..")));
  const QString work = WorkFolder(managerDir, dataDir);
  return work == managerDir ? WithSlash(varnoDir) : work + QStringLiteral("PREVIEW/");
}
