#pragma once
// Runs signsim as a child process for the Qt-free tests: TCP on a free loopback port, its
// memory and its log in a temporary directory; stopped with SIGTERM. BRELLION_SIGNSIM
// names another build of it, so figures can be compared between builds.

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

class SignSimChild {
 public:
  SignSimChild();
  ~SignSimChild();
  SignSimChild(const SignSimChild&) = delete;
  SignSimChild& operator=(const SignSimChild&) = delete;

  // extra: more signsim options. nofile > 0 lowers the child's descriptor limit to it.
  // False when it did not report its port within 5 s.
  bool Start(const std::vector<std::string>& extra = {}, long nofile = 0);
  // True when it exited by itself with status 0 after SIGTERM.
  bool Stop();

  pid_t pid() const { return pid_; }
  int port() const { return port_; }
  std::string dir() const { return dir_; }
  // What it wrote to standard error so far.
  std::string Log() const;
  // Peak resident memory (VmHWM) in KiB; -1 when unknown.
  long PeakKiB() const;
  // User plus system CPU time in milliseconds; -1 when unknown.
  long CpuMs() const;

 private:
  std::string dir_;
  pid_t pid_ = -1;
  int port_ = 0;
};

// A blocking loopback client of the child's TCP port; -1 on failure.
int ConnectTo(int port);
// Sends all bytes (the socket may be non-blocking); false on error.
bool SendAll(int fd, const std::vector<std::uint8_t>& bytes);
// Reads exactly n bytes within timeout_ms; false on timeout, error or end of stream.
bool ReadExactly(int fd, std::size_t n, int timeout_ms, std::vector<std::uint8_t>* out);
