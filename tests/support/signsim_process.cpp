#include "tests/support/signsim_process.h"

#include <QElapsedTimer>
#include <QFile>
#include <QThread>

bool SignSimProcess::Start(const QStringList& extra) {
  const QString ready = dir_.path() + "/ready";
  QStringList args = {"--tcp",   "127.0.0.1:0", "--pty",    pty_link(),
                      "--ready", ready,         "--memory", memory_file()};
  args += extra;
  process_.setStandardOutputFile(QProcess::nullDevice());
  process_.setStandardErrorFile(dir_.path() + "/log");
  process_.start(QStringLiteral(BRELLION_BIN_DIR "/signsim"), args);
  if (!process_.waitForStarted(5000)) return false;
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < 5000) {
    QFile f(ready);
    if (f.open(QIODevice::ReadOnly)) {
      for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith("tcp ")) tcp_port_ = line.mid(4).toInt();
      }
      return tcp_port_ > 0;
    }
    if (process_.state() == QProcess::NotRunning) return false;
    QThread::msleep(10);
  }
  return false;
}

bool SignSimProcess::Stop() {
  if (process_.state() == QProcess::NotRunning) return false;
  process_.terminate();
  const bool ended = process_.waitForFinished(5000);
  if (!ended) process_.kill();
  QFile f(dir_.path() + "/log");
  if (f.open(QIODevice::ReadOnly)) log_ = QString::fromUtf8(f.readAll());
  return ended && process_.exitStatus() == QProcess::NormalExit && process_.exitCode() == 0;
}
