#pragma once
// Runs build/bin/signsim for a test: a free TCP port on loopback and a pseudo-terminal
// linked from a temporary directory; stopped with SIGTERM.

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class SignSimProcess {
 public:
  SignSimProcess() = default;
  ~SignSimProcess() { Stop(); }

  // extra: more signsim options (faults, --baud...). False when it did not come up.
  bool Start(const QStringList& extra = {});
  // True when it exited by itself with status 0 after SIGTERM.
  bool Stop();

  int tcp_port() const { return tcp_port_; }
  qint64 pid() const { return process_.processId(); }  // 0 when not running
  QString pty_link() const { return dir_.path() + "/link"; }
  QString log() const { return log_; }
  QString memory_file() const { return dir_.path() + "/memory.bin"; }

 private:
  QTemporaryDir dir_;
  QProcess process_;
  int tcp_port_ = 0;
  QString log_;
};
