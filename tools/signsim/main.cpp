// signsim: a virtual LED sign on TCP and a pseudo-terminal. One thread, one ppoll loop;
// replies wait in per-link queues so late replies, pieces and line pacing need no threads.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <list>
#include <string>
#include <vector>

#include "shared/board_memory.h"
#include "tools/signsim/options.h"
#include "tools/signsim/request_parser.h"
#include "tools/signsim/sign.h"

using namespace signsim;

namespace {

volatile sig_atomic_t g_stop = 0;
void OnSignal(int) {
  g_stop = 1;
}

constexpr std::int64_t kPartialTimeoutUs = 1000000;  // a request that stops midway is dropped

std::int64_t NowUs() {
  return std::chrono::duration_cast<std::chrono::microseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

struct Out {
  std::int64_t at = 0;      // not before this
  std::int64_t start = -1;  // when the first byte went (paced links)
  std::vector<std::uint8_t> bytes;
  std::size_t sent = 0;
  bool pieces = false;
  bool close_after = false;
};

struct Link {
  int fd = -1;
  bool pty = false;
  RequestParser parser;
  std::deque<Out> out;
  std::int64_t last_rx = 0;
  std::int64_t rx_free = 0;  // when the line has carried every byte read so far
  bool dead = false;
};

struct Sim {
  Options opt;
  Sign* sign = nullptr;
  std::uint64_t frames = 0;
  double us_per_byte = 0;  // pseudo-terminal pacing
  int listen_fd = -1;
  std::list<Link> links;
};

void Log(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
void Log(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  std::fputs("signsim: ", stderr);
  std::vfprintf(stderr, fmt, ap);
  std::fputc('\n', stderr);
  va_end(ap);
}

void SetNonBlocking(int fd) {
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
}

std::uint8_t* MapMemory(const std::string& path, int* fd_out) {
  *fd_out = -1;
  if (path.empty()) {
    void* p = mmap(nullptr, board::kMemorySize, PROT_READ | PROT_WRITE,
                   MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    return p == MAP_FAILED ? nullptr : static_cast<std::uint8_t*>(p);
  }
  const int fd = open(path.c_str(), O_RDWR | O_CREAT, 0644);
  if (fd < 0) return nullptr;
  struct stat st {};
  // Growing with ftruncate leaves a hole, so an untouched memory costs no disk.
  if (fstat(fd, &st) != 0 || (st.st_size < static_cast<off_t>(board::kMemorySize) &&
                              ftruncate(fd, board::kMemorySize) != 0)) {
    close(fd);
    return nullptr;
  }
  void* p = mmap(nullptr, board::kMemorySize, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
  if (p == MAP_FAILED) {
    close(fd);
    return nullptr;
  }
  *fd_out = fd;
  return static_cast<std::uint8_t*>(p);
}

int Listen(const Options& o, int* port) {
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_port = htons(static_cast<std::uint16_t>(o.tcp_port));
  if (inet_pton(AF_INET, o.tcp_host.c_str(), &a.sin_addr) != 1) {
    Log("not an IPv4 address: %s", o.tcp_host.c_str());
    return -1;
  }
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const int one = 1;
  setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  if (bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || listen(fd, 8) != 0) {
    Log("cannot listen on %s:%d: %s", o.tcp_host.c_str(), o.tcp_port, std::strerror(errno));
    close(fd);
    return -1;
  }
  socklen_t len = sizeof a;
  getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len);
  *port = ntohs(a.sin_port);
  SetNonBlocking(fd);
  return fd;
}

// Opens a pseudo-terminal in raw mode. The simulator keeps the slave side open as well,
// so the master never reads end-of-file while the manager has the port closed.
int OpenPty(std::string* slave_path, int* slave_fd) {
  const int m = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (m < 0 || grantpt(m) != 0 || unlockpt(m) != 0) return -1;
  const char* name = ptsname(m);
  if (name == nullptr) return -1;
  *slave_path = name;
  *slave_fd = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (*slave_fd < 0) return -1;
  termios t{};
  tcgetattr(*slave_fd, &t);
  cfmakeraw(&t);
  tcsetattr(*slave_fd, TCSANOW, &t);
  SetNonBlocking(m);
  return m;
}

const char* LinkName(const Link& l) {
  return l.pty ? "pty" : "tcp";
}

void HandleFrame(Sim& sim, Link& link, const ParsedFrame& f, std::int64_t ready_at) {
  const std::uint64_t n = ++sim.frames;
  if (!f.checksum_ok || !f.etx_ok) {
    Log("#%llu %s command 0x%02X len %zu -> no reply: %s", static_cast<unsigned long long>(n),
        LinkName(link), f.bytes[3], f.bytes.size(), f.checksum_ok ? "bad ETX" : "bad checksum");
    return;
  }
  Answer a = sim.sign->Handle(f.bytes);
  const char* lk = LinkName(link);
  const auto num = static_cast<unsigned long long>(n);
  if (a.reply.empty()) {
    Log("#%llu %s %s -> no reply: %s", num, lk, a.what.c_str(), a.problem.c_str());
    return;
  }
  const auto& rules = sim.opt.faults;
  if (HasFault(rules, Fault::kDrop, n)) {
    Log("#%llu %s %s -> no reply, %s (fault)", num, lk, a.what.c_str(),
        link.pty ? "a serial line has no connection to drop" : "connection dropped");
    Out o;
    o.at = ready_at;
    o.close_after = !link.pty;
    link.out.push_back(std::move(o));
    return;
  }
  if (HasFault(rules, Fault::kNoReply, n)) {
    Log("#%llu %s %s -> no reply (fault)", num, lk, a.what.c_str());
    return;
  }
  std::string outcome =
      a.reply.size() == 6 ? "ack" : "reply " + std::to_string(a.reply.size()) + " bytes";
  auto& r = a.reply;
  if (HasFault(rules, Fault::kBadStx, n)) {
    r[0] = 0x05;
    unsigned sum = 0;
    for (std::size_t i = 0; i + 2 < r.size(); ++i) sum += r[i];
    r[r.size() - 2] = static_cast<std::uint8_t>(sum);
    outcome += ", wrong STX (fault)";
  }
  if (HasFault(rules, Fault::kBadChecksum, n)) {
    r[r.size() - 2] ^= 0x5A;
    outcome += ", wrong checksum (fault)";
  }
  Out o;
  o.at = ready_at;
  if (HasFault(rules, Fault::kLate, n)) {
    o.at += std::int64_t{sim.opt.late_ms} * 1000;
    outcome += ", " + std::to_string(sim.opt.late_ms) + " ms late (fault)";
  }
  if (HasFault(rules, Fault::kPieces, n)) {
    o.pieces = true;
    outcome += ", in one-byte pieces (fault)";
  }
  o.bytes = std::move(r);
  link.out.push_back(std::move(o));
  Log("#%llu %s %s -> %s", num, lk, a.what.c_str(), outcome.c_str());
}

void ReadLink(Sim& sim, Link& link, std::int64_t now) {
  std::uint8_t buf[8192];
  for (;;) {
    const ssize_t got = read(link.fd, buf, sizeof buf);
    if (got > 0) {
      if (link.parser.HasPartial() && now - link.last_rx > kPartialTimeoutUs) link.parser.Reset();
      link.last_rx = now;
      std::int64_t ready = now;
      if (link.pty && sim.us_per_byte > 0) {
        link.rx_free = std::max(link.rx_free, now) +
                       static_cast<std::int64_t>(static_cast<double>(got) * sim.us_per_byte);
        ready = link.rx_free;
      }
      std::vector<ParsedFrame> frames;
      link.parser.Feed(buf, static_cast<std::size_t>(got), frames);
      for (const ParsedFrame& f : frames) HandleFrame(sim, link, f, ready);
      continue;
    }
    if (got == 0 && !link.pty) link.dead = true;
    if (got < 0 && errno != EAGAIN && errno != EINTR && !link.pty) link.dead = true;
    return;
  }
}

// Sends what is due; returns the time the link next needs attention (INT64_MAX: none).
std::int64_t WriteLink(Sim& sim, Link& link, std::int64_t now) {
  const double us = link.pty ? sim.us_per_byte : 0;
  const std::int64_t gap = std::int64_t{sim.opt.piece_ms} * 1000;
  while (!link.out.empty()) {
    Out& o = link.out.front();
    if (now < o.at) return o.at;
    if (o.start < 0) o.start = now;
    if (o.sent == o.bytes.size()) {
      if (o.close_after) link.dead = true;
      link.out.pop_front();
      continue;
    }
    std::size_t chunk = o.bytes.size() - o.sent;
    if (o.pieces) chunk = 1;
    // On a paced line a chunk is handed over once the line would have carried it.
    if (us > 0)
      chunk = std::min(chunk, std::max<std::size_t>(1, static_cast<std::size_t>(5000 / us)));
    std::int64_t due = o.at;
    if (o.pieces) due = std::max(due, o.at + static_cast<std::int64_t>(o.sent) * gap);
    if (us > 0)
      due = std::max(due,
                     o.start + static_cast<std::int64_t>(static_cast<double>(o.sent + chunk) * us));
    if (now < due) return due;
    const ssize_t w = link.pty ? write(link.fd, o.bytes.data() + o.sent, chunk)
                               : send(link.fd, o.bytes.data() + o.sent, chunk, MSG_NOSIGNAL);
    if (w < 0) {
      if (errno == EAGAIN || errno == EINTR) return now + 1000;
      if (!link.pty) link.dead = true;
      link.out.clear();
      return INT64_MAX;
    }
    o.sent += static_cast<std::size_t>(w);
  }
  return INT64_MAX;
}

bool WriteReady(const std::string& path, int port, const std::string& pty) {
  const std::string tmp = path + ".tmp";
  FILE* f = std::fopen(tmp.c_str(), "w");
  if (f == nullptr) return false;
  if (port > 0) std::fprintf(f, "tcp %d\n", port);
  if (!pty.empty()) std::fprintf(f, "pty %s\n", pty.c_str());
  std::fclose(f);
  return std::rename(tmp.c_str(), path.c_str()) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  Sim sim;
  std::string error;
  if (!ParseOptions(argc, argv, &sim.opt, &error)) {
    std::fprintf(stderr, "signsim: %s\n\n%s", error.c_str(), kUsage);
    return 2;
  }
  if (sim.opt.help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  setvbuf(stderr, nullptr, _IOLBF, 0);
  struct sigaction sa {};
  sa.sa_handler = OnSignal;
  sigaction(SIGINT, &sa, nullptr);
  sigaction(SIGTERM, &sa, nullptr);
  signal(SIGPIPE, SIG_IGN);

  int mem_fd = -1;
  std::uint8_t* memory = MapMemory(sim.opt.memory_file, &mem_fd);
  if (memory == nullptr) {
    Log("cannot map the board memory %s: %s", sim.opt.memory_file.c_str(), std::strerror(errno));
    return 1;
  }
  Sign sign(memory, board::kMemorySize);
  sim.sign = &sign;
  int width = sim.opt.width;
  int rows = sim.opt.rows;
  // A board that was never set up gets a plausible size, so a download's rows check passes.
  if (memory[board::kWidth] == 0 && width < 0) width = 6;
  if (memory[board::kRowsCode] == 0 && rows < 0) rows = 1;
  sign.Preset(sim.opt.model, width, rows);
  if (sim.opt.baud > 0) sim.us_per_byte = 10.0 * 1e6 / static_cast<double>(sim.opt.baud);

  int port = 0;
  if (sim.opt.tcp) {
    sim.listen_fd = Listen(sim.opt, &port);
    if (sim.listen_fd < 0) return 1;
    Log("listening on %s:%d", sim.opt.tcp_host.c_str(), port);
  }
  std::string slave;
  int slave_fd = -1;
  if (!sim.opt.pty_link.empty()) {
    Link l;
    l.pty = true;
    l.fd = OpenPty(&slave, &slave_fd);
    if (l.fd < 0) {
      Log("cannot open a pseudo-terminal: %s", std::strerror(errno));
      return 1;
    }
    // Replace an old link, never a file.
    struct stat st {};
    if (lstat(sim.opt.pty_link.c_str(), &st) == 0) {
      if (!S_ISLNK(st.st_mode)) {
        Log("%s exists and is not a symbolic link", sim.opt.pty_link.c_str());
        return 1;
      }
      unlink(sim.opt.pty_link.c_str());
    }
    if (symlink(slave.c_str(), sim.opt.pty_link.c_str()) != 0) {
      Log("cannot link %s to %s: %s", sim.opt.pty_link.c_str(), slave.c_str(),
          std::strerror(errno));
      return 1;
    }
    Log("serial line on %s (%s)%s", sim.opt.pty_link.c_str(), slave.c_str(),
        sim.opt.baud > 0 ? (", " + std::to_string(sim.opt.baud) + " baud").c_str() : "");
    sim.links.push_back(std::move(l));
  }
  if (!sim.opt.ready_file.empty() && !WriteReady(sim.opt.ready_file, port, slave)) {
    Log("cannot write %s", sim.opt.ready_file.c_str());
    return 1;
  }

  std::vector<pollfd> fds;
  while (!g_stop) {
    std::int64_t now = NowUs();
    std::int64_t next = now + 100000;
    for (Link& l : sim.links) next = std::min(next, WriteLink(sim, l, now));
    sim.links.remove_if([](const Link& l) {
      if (l.dead) close(l.fd);
      return l.dead;
    });
    fds.clear();
    if (sim.listen_fd >= 0) fds.push_back({sim.listen_fd, POLLIN, 0});
    for (Link& l : sim.links) fds.push_back({l.fd, POLLIN, 0});
    const std::int64_t wait = std::max<std::int64_t>(0, next - now);
    timespec ts{static_cast<time_t>(wait / 1000000), static_cast<long>(wait % 1000000) * 1000};
    if (ppoll(fds.data(), fds.size(), &ts, nullptr) < 0 && errno != EINTR) break;
    now = NowUs();
    std::size_t i = 0;
    if (sim.listen_fd >= 0) {
      if (fds[i++].revents & POLLIN) {
        const int c = accept4(sim.listen_fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (c >= 0) {
          const int one = 1;
          setsockopt(c, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
          Link l;
          l.fd = c;
          sim.links.push_back(std::move(l));
          Log("tcp connection accepted");
        }
      }
    }
    for (Link& l : sim.links) {
      if (i >= fds.size() || fds[i].fd != l.fd) break;  // accepted just now
      if (fds[i++].revents & (POLLIN | POLLHUP | POLLERR)) ReadLink(sim, l, now);
      if (l.dead && !l.pty) Log("tcp connection closed");
    }
  }

  Log("stopping after %llu frames", static_cast<unsigned long long>(sim.frames));
  for (Link& l : sim.links) close(l.fd);
  if (sim.listen_fd >= 0) close(sim.listen_fd);
  if (slave_fd >= 0) close(slave_fd);
  if (!sim.opt.pty_link.empty()) {
    char target[PATH_MAX] = {};
    if (readlink(sim.opt.pty_link.c_str(), target, sizeof target - 1) > 0 && slave == target)
      unlink(sim.opt.pty_link.c_str());
  }
  if (mem_fd >= 0) msync(memory, board::kMemorySize, MS_SYNC);
  munmap(memory, board::kMemorySize);
  if (mem_fd >= 0) close(mem_fd);
  return 0;
}
