// The virtual sign as a process, against clients that do not behave: one that takes no
// replies, one that floods, many that exhaust its descriptors. The figures (peak memory,
// another client's latency, CPU spent) are printed so builds can be compared.
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

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "manager/link/frame.h"

using signlink::Frame;

namespace {

using Clock = std::chrono::steady_clock;

long MsSince(Clock::time_point t) {
  return static_cast<long>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count());
}
void Sleep(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }
std::string ReadWhole(const std::string& path) {
  std::ostringstream s;
  s << std::ifstream(path).rdbuf();
  return s.str();
}

// signsim as a child: TCP on a free loopback port, its memory and log in a temporary
// directory. BRELLION_SIGNSIM names another build of it, so figures can be compared.
class SignSimChild {
 public:
  SignSimChild() {
    char tmpl[] = "/tmp/signsim-test.XXXXXX";
    if (mkdtemp(tmpl) != nullptr) dir_ = tmpl;
  }
  ~SignSimChild() {
    Stop();
    std::system(("rm -rf '" + dir_ + "'").c_str());
  }
  // nofile > 0 lowers the child's descriptor limit to it. False when no port came within 5 s.
  bool Start(std::vector<std::string> args = {}, long nofile = 0) {
    const char* other = std::getenv("BRELLION_SIGNSIM");
    args.insert(args.begin(), {other != nullptr ? other : BRELLION_BIN_DIR "/signsim", "--tcp", "127.0.0.1:0",
                               "--ready", dir_ + "/ready", "--memory", dir_ + "/memory.bin"});
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const std::string log = dir_ + "/log";
    if ((pid_ = fork()) == 0) {
      const int err = open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
      const int null = open("/dev/null", O_RDWR);
      dup2(null, 0);
      dup2(null, 1);
      dup2(err, 2);
      closefrom(3);
      const rlimit r{static_cast<rlim_t>(nofile), static_cast<rlim_t>(nofile)};
      if (nofile > 0) setrlimit(RLIMIT_NOFILE, &r);
      execv(argv[0], argv.data());
      _exit(127);
    }
    for (int i = 0; i < 500 && pid_ > 0; ++i, Sleep(10)) {
      const std::string ready = ReadWhole(dir_ + "/ready");
      if (ready.rfind("tcp ", 0) == 0) return (port_ = std::atoi(ready.c_str() + 4)) > 0;
      if (waitpid(pid_, nullptr, WNOHANG) == pid_) pid_ = -1;
    }
    return false;
  }
  // True when it exited by itself with status 0 after SIGTERM.
  bool Stop() {
    if (pid_ <= 0) return false;
    kill(pid_, SIGTERM);
    int status = 0;
    bool ended = false;
    for (int i = 0; i < 500 && !(ended = waitpid(pid_, &status, WNOHANG) == pid_); ++i) Sleep(10);
    if (!ended) kill(pid_, SIGKILL), waitpid(pid_, &status, 0);
    pid_ = -1;
    return ended && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }
  int port() const { return port_; }
  std::string Log() const { return ReadWhole(dir_ + "/log"); }
  // Peak resident memory (VmHWM) in KiB.
  long PeakKiB() const {
    const std::string s = Proc("status");
    const std::size_t at = s.find("VmHWM:");
    return at == std::string::npos ? -1 : std::atol(s.c_str() + at + 6);
  }
  // User plus system CPU in ms: fields 14 and 15, counted from the state (field 3) after
  // the last ')' of the command name.
  long CpuMs() const {
    const std::string stat = Proc("stat");
    std::istringstream s(stat.substr(stat.rfind(')') + 2));
    std::string field;
    long ticks = 0;
    for (int n = 3; n <= 15 && (s >> field); ++n) ticks += n >= 14 ? std::atol(field.c_str()) : 0;
    return ticks * 1000 / sysconf(_SC_CLK_TCK);
  }

 private:
  std::string Proc(const char* file) const { return ReadWhole("/proc/" + std::to_string(pid_) + "/" + file); }
  std::string dir_;
  pid_t pid_ = -1;
  int port_ = 0;
};

// A loopback client of the child's port; -1 on failure. Blocking unless `nonblocking`.
int ConnectTo(int port, bool nonblocking = false) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | (nonblocking ? SOCK_NONBLOCK : 0), 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<std::uint16_t>(port));
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 && !nonblocking) return close(fd), -1;
  const int one = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  return fd;
}

// Reads exactly n bytes within timeout_ms; false on timeout, error or end of stream.
bool ReadExactly(int fd, std::size_t n, int timeout_ms, std::vector<std::uint8_t>* out) {
  out->assign(n, 0);
  const Clock::time_point t = Clock::now();
  for (std::size_t got = 0; got < n;) {
    pollfd p{fd, POLLIN, 0};
    const long left = timeout_ms - MsSince(t);
    if (left < 0 || poll(&p, 1, static_cast<int>(left)) <= 0) return false;
    const ssize_t r = recv(fd, out->data() + got, n - got, MSG_DONTWAIT);
    if (r == 0 || (r < 0 && errno != EAGAIN && errno != EINTR)) return false;
    got += r > 0 ? static_cast<std::size_t>(r) : 0;
  }
  return true;
}

Frame Repeat(const Frame& f, int times) {
  Frame out;
  for (int i = 0; i < times; ++i) out.insert(out.end(), f.begin(), f.end());
  return out;
}

// Sends memory reads of 4096 bytes, never reading a reply, until `requests` went or the
// sign's side stopped taking them for half a second. Returns how many went.
long FloodWithoutReading(int fd, long requests) {
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
  const Frame batch = Repeat(signlink::BuildMemoryRead(0x080000, 4096), 1000);
  long bytes = 0;
  for (Clock::time_point since = Clock::now(); bytes < requests * 12 && MsSince(since) <= 500;) {
    const std::size_t at = static_cast<std::size_t>(bytes) % batch.size();
    const ssize_t w = send(fd, batch.data() + at, batch.size() - at, MSG_NOSIGNAL);
    if (w > 0) bytes += w, since = Clock::now();
    else Sleep(5);
  }
  return bytes / 12;
}

// One apply exchange after `before` on a blocking connection; its round trip in ms, or -1
// without a right acknowledgement within timeout_ms.
long ApplyRoundTrip(int fd, int timeout_ms, Frame before = {}) {
  const Clock::time_point t = Clock::now();
  const Frame apply = signlink::BuildApply();
  before.insert(before.end(), apply.begin(), apply.end());
  std::vector<std::uint8_t> reply;
  if (send(fd, before.data(), before.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(before.size()) ||
      !ReadExactly(fd, 6, timeout_ms, &reply))
    return -1;
  return signlink::CheckTcpReply(reply.data(), 6, 6) == signlink::Result::kOk ? MsSince(t) : -1;
}

}  // namespace

// Another client is still served, also after a request of its own that never completes.
TEST(SignSimProcess, AClientThatTakesNoRepliesCostsBoundedMemory) {
  SignSimChild sim;
  ASSERT_TRUE(sim.Start());
  const int flood = ConnectTo(sim.port());
  ASSERT_GE(flood, 0);
  // 40000 requests would queue 164 MB of replies if the sign kept reading them.
  const long went = FloodWithoutReading(flood, 40000);
  Sleep(300);
  const long peak = sim.PeakKiB();
  std::printf("non-reading flood: %ld requests sent, signsim peak memory (VmHWM) %ld KiB\n", went, peak);
  EXPECT_LT(peak, 48 * 1024);
  const int other = ConnectTo(sim.port());
  EXPECT_GE(ApplyRoundTrip(other, 1500, {0x02, 0x00, 0x40, 0x23}), 0);
  close(other);
  close(flood);
}

TEST(SignSimProcess, ASecondClientIsAnsweredWhileTheFirstFloods) {
  SignSimChild sim;
  ASSERT_TRUE(sim.Start());
  std::atomic<bool> stop{false};
  const int flood = ConnectTo(sim.port(), true);
  // A pipelining client that takes its replies, so nothing but fairness holds it back.
  std::thread flooder([&] {
    const Frame batch = Repeat(signlink::BuildApply(), 10000);
    std::vector<std::uint8_t> sink(1 << 16);
    for (std::size_t at = 0; !stop;) {
      const ssize_t w = send(flood, batch.data() + at, batch.size() - at, MSG_NOSIGNAL);
      if (w > 0) at = (at + static_cast<std::size_t>(w)) % batch.size();
      while (recv(flood, sink.data(), sink.size(), MSG_DONTWAIT) > 0) {
      }
      if (w <= 0) std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
  });
  Sleep(200);
  const int other = ConnectTo(sim.port());
  std::vector<long> took;
  for (long ms = 0; took.size() < 20 && (ms = ApplyRoundTrip(other, 2000)) >= 0; Sleep(20)) took.push_back(ms);
  stop = true;
  flooder.join();
  close(other);
  close(flood);
  std::sort(took.begin(), took.end());
  ASSERT_EQ(took.size(), 20u) << "then none within 2000 ms";
  std::printf("while flooded: round trip median %ld ms, worst %ld ms\n", took[10], took[19]);
  EXPECT_LE(took[18], 50);  // one outlier allowed for a busy machine
}

TEST(SignSimProcess, OutOfDescriptorsItBacksOffAndLogs) {
  SignSimChild sim;
  ASSERT_TRUE(sim.Start({}, 16));
  std::vector<int> clients;
  // One by one, so that once its descriptors are gone the rest wait in its accept queue.
  for (int i = 0; i < 24; ++i, Sleep(20)) clients.push_back(ConnectTo(sim.port(), true));
  const long cpu = sim.CpuMs();
  Sleep(1000);
  const long spent = sim.CpuMs() - cpu;
  std::printf("out of descriptors: %ld ms of CPU in 1000 ms\n", spent);
  EXPECT_LT(spent, 30);
  for (int fd : clients) close(fd);
  Sleep(100);
  const int fd = ConnectTo(sim.port());  // descriptors free again: served
  EXPECT_GE(ApplyRoundTrip(fd, 3000), 0);
  close(fd);
  EXPECT_TRUE(sim.Stop());
  EXPECT_NE(sim.Log().find("Too many open files"), std::string::npos) << sim.Log();
}
