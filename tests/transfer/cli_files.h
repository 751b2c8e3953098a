#pragma once
// What the console tests share besides running brellion-cli: files (projects, a signsim's
// memory) read and written in place, and the option that reaches a signsim over TCP/IP.

#include <QFile>
#include <QStringList>

#include "tests/support/signsim_process.h"

namespace cli_test {

// n bytes from `at` (to the end when n < 0); empty when the file cannot be read there.
inline QByteArray ReadAt(const QString& path, qint64 at = 0, qint64 n = -1) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly) || !f.seek(at)) return {};
  return n < 0 ? f.readAll() : f.read(n);
}

// Writes bytes at `at`, creating the file when missing and keeping the rest of it.
inline bool WriteAt(const QString& path, const QByteArray& bytes, qint64 at = 0) {
  QFile f(path);
  return f.open(QIODevice::ReadWrite) && f.seek(at) && f.write(bytes) == bytes.size();
}

inline QStringList Tcp(const SignSimProcess& sim) {
  return {"--tcp", QStringLiteral("127.0.0.1:%1").arg(sim.tcp_port())};
}

}  // namespace cli_test
