#include "signsim_child.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>

namespace {

std::string ReadWhole(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

}  // namespace

SignSimChild::SignSimChild() {
  char tmpl[] = "/tmp/signsim-test.XXXXXX";
  if (mkdtemp(tmpl) != nullptr) dir_ = tmpl;
}

SignSimChild::~SignSimChild() {
  Stop();
  if (!dir_.empty()) std::system(("rm -rf '" + dir_ + "'").c_str());
}

bool SignSimChild::Start(const std::vector<std::string>& extra, long nofile) {
  const char* other = std::getenv("BRELLION_SIGNSIM");
  const std::string bin = other != nullptr ? other : BRELLION_BIN_DIR "/signsim";
  const std::string ready = dir_ + "/ready";
  const std::string log = dir_ + "/log";
  std::vector<std::string> args = {bin,     "--tcp",    "127.0.0.1:0",      "--ready",
                                   ready,   "--memory", dir_ + "/memory.bin"};
  args.insert(args.end(), extra.begin(), extra.end());
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_ = fork();
  if (pid_ < 0) return false;
  if (pid_ == 0) {
    const int err = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    const int null = open("/dev/null", O_RDWR);
    if (err < 0 || null < 0) _exit(127);
    dup2(null, 0);
    dup2(null, 1);
    dup2(err, 2);
    closefrom(3);
    if (nofile > 0) {
      const rlimit r{static_cast<rlim_t>(nofile), static_cast<rlim_t>(nofile)};
      setrlimit(RLIMIT_NOFILE, &r);
    }
    execv(argv[0], argv.data());
    _exit(127);
  }
  for (int i = 0; i < 500; ++i) {
    const std::string text = ReadWhole(ready);
    if (text.rfind("tcp ", 0) == 0) {
      port_ = std::atoi(text.c_str() + 4);
      return port_ > 0;
    }
    if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
      pid_ = -1;
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

bool SignSimChild::Stop() {
  if (pid_ <= 0) return false;
  kill(pid_, SIGTERM);
  int status = 0;
  bool ended = false;
  for (int i = 0; i < 500 && !ended; ++i) {
    ended = waitpid(pid_, &status, WNOHANG) == pid_;
    if (!ended) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  if (!ended) {
    kill(pid_, SIGKILL);
    waitpid(pid_, &status, 0);
  }
  pid_ = -1;
  return ended && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string SignSimChild::Log() const {
  return ReadWhole(dir_ + "/log");
}

long SignSimChild::PeakKiB() const {
  std::istringstream s(ReadWhole("/proc/" + std::to_string(pid_) + "/status"));
  std::string line;
  while (std::getline(s, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
  }
  return -1;
}

long SignSimChild::CpuMs() const {
  const std::string stat = ReadWhole("/proc/" + std::to_string(pid_) + "/stat");
  // Fields after the command name, which ends with the last ')': state is field 3,
  // utime and stime are fields 14 and 15.
  const std::size_t close = stat.rfind(')');
  if (close == std::string::npos) return -1;
  std::istringstream s(stat.substr(close + 2));
  std::string field;
  long ticks = 0;
  for (int n = 3; n <= 15 && (s >> field); ++n) {
    if (n >= 14) ticks += std::atol(field.c_str());
  }
  return ticks * 1000 / sysconf(_SC_CLK_TCK);
}

int ConnectTo(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<std::uint16_t>(port));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) {
    close(fd);
    return -1;
  }
  const int one = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  return fd;
}

bool SendAll(int fd, const std::vector<std::uint8_t>& bytes) {
  std::size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t w = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (w > 0) {
      sent += static_cast<std::size_t>(w);
    } else if (w < 0 && (errno == EAGAIN || errno == EINTR)) {
      pollfd p{fd, POLLOUT, 0};
      poll(&p, 1, 100);
    } else {
      return false;
    }
  }
  return true;
}

bool ReadExactly(int fd, std::size_t n, int timeout_ms, std::vector<std::uint8_t>* out) {
  out->assign(n, 0);
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  std::size_t got = 0;
  while (got < n) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        end - std::chrono::steady_clock::now());
    pollfd p{fd, POLLIN, 0};
    if (left.count() < 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0) return false;
    const ssize_t r = recv(fd, out->data() + got, n - got, MSG_DONTWAIT);
    if (r == 0 || (r < 0 && errno != EAGAIN && errno != EINTR)) return false;
    if (r > 0) got += static_cast<std::size_t>(r);
  }
  return true;
}
