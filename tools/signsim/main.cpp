// signsim: a virtual LED sign on TCP and a pseudo-terminal. One thread, one ppoll loop;
// replies wait in per-link queues so late replies, pieces and line pacing need no threads.
// No client can starve another or grow the simulator without bound: a turn takes a bounded
// number of bytes and requests from each link, and a link whose replies pile up unsent is
// not read from until they go (and is dropped when they do not go for --stall-ms). Nor can
// idle clients hold every slot: one that sends no whole frame for --idle-ms makes room for
// a client that waits.
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
#include "tools/signsim/log_file.h"
#include "tools/signsim/options.h"
#include "tools/signsim/request_parser.h"
#include "tools/signsim/sign.h"

using namespace signsim;

namespace {

volatile sig_atomic_t g_stop = 0;
void OnSignal(int) {
  g_stop = 1;
}

LogFile g_log;

// A request that stops midway is given up this long after its last byte (well inside the
// manager's 1000 ms TCP wait, so a good frame behind a bad length still gets its answer).
constexpr std::int64_t kPartialTimeoutUs = 500000;
// What one link may take of a turn.
constexpr std::size_t kReadPerTurn = 4096;
constexpr std::size_t kFramesPerTurn = 256;
constexpr std::size_t kReplyBytesPerTurn = 128 * 1024;
// Unsent reply bytes at which a link is no longer read: four of the largest replies.
constexpr std::size_t kReplyCap = 256 * 1024;
// TCP clients served at once; more are accepted and closed at once.
constexpr std::size_t kMaxClients = 32;
// Pause after a failed accept (descriptors or memory ran out), doubling up to the maximum.
constexpr std::int64_t kAcceptBackoffFirstUs = 50000;
constexpr std::int64_t kAcceptBackoffMaxUs = 1000000;

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

struct Request {
  ParsedFrame frame;
  std::int64_t ready = 0;  // when the line had carried it
};

struct Link {
  int fd = -1;
  bool pty = false;
  RequestParser parser;
  std::deque<Request> requests;  // read and not yet handled
  std::deque<Out> out;
  std::size_t queued = 0;        // reply bytes in out not yet sent
  std::int64_t last_rx = 0;      // when bytes last came, or reading resumed
  std::int64_t last_frame = 0;   // when the last whole frame came, or the client connected
  std::int64_t rx_free = 0;      // when the line has carried every byte read so far
  std::int64_t progress = 0;     // when the queue was last below the cap or a byte went
  bool write_blocked = false;    // the last send would block: wait until writable
  bool dead = false;

  // Reading more would only pile up more work that cannot go out.
  bool Readable() const { return requests.empty() && queued < kReplyCap; }
  // Neither a request nor a reply of it is under way.
  bool Idle() const { return !pty && !dead && requests.empty() && out.empty(); }
};

struct Sim {
  Options opt;
  Sign* sign = nullptr;
  std::uint64_t frames = 0;
  double us_per_byte = 0;  // pseudo-terminal pacing
  int listen_fd = -1;
  std::list<Link> links;
  std::size_t clients = 0;          // TCP links
  std::int64_t accept_at = 0;       // accepting waits until then after a failure
  std::int64_t room_at = 0;         // with every slot taken, no client can make room before
  std::int64_t accept_backoff = 0;  // 0: the last accept succeeded
  std::uint64_t accept_failures = 0;
};

void Log(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
void Log(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  g_log.VLine(fmt, ap);
  va_end(ap);
}

void Queue(Link& link, Out o) {
  link.queued += o.bytes.size();
  link.out.push_back(std::move(o));
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
    Queue(link, std::move(o));
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
  Queue(link, std::move(o));
  Log("#%llu %s %s -> %s", num, lk, a.what.c_str(), outcome.c_str());
}

// One bounded read; the frames it completes wait in the link's requests.
void ReadLink(Sim& sim, Link& link, std::int64_t now) {
  std::uint8_t buf[kReadPerTurn];
  const ssize_t got = read(link.fd, buf, sizeof buf);
  if (got > 0) {
    link.last_rx = now;
    std::int64_t ready = now;
    if (link.pty && sim.us_per_byte > 0) {
      link.rx_free = std::max(link.rx_free, now) +
                     static_cast<std::int64_t>(static_cast<double>(got) * sim.us_per_byte);
      ready = link.rx_free;
    }
    std::vector<ParsedFrame> frames;
    link.parser.Feed(buf, static_cast<std::size_t>(got), frames);
    if (!frames.empty()) link.last_frame = now;
    for (ParsedFrame& f : frames) link.requests.push_back({std::move(f), ready});
    return;
  }
  if (got == 0 && !link.pty) link.dead = true;
  if (got < 0 && errno != EAGAIN && errno != EINTR && !link.pty) link.dead = true;
}

// Handles what was read, within this turn's share.
void ServeRequests(Sim& sim, Link& link) {
  std::size_t frames = 0;
  std::size_t produced = 0;
  while (!link.requests.empty() && link.queued < kReplyCap && frames < kFramesPerTurn &&
         produced < kReplyBytesPerTurn) {
    const Request r = std::move(link.requests.front());
    link.requests.pop_front();
    const std::size_t before = link.queued;
    HandleFrame(sim, link, r.frame, r.ready);
    produced += link.queued - before;
    ++frames;
  }
}

// A request that stopped midway is given up once the line has been quiet long enough; the
// bytes after its STX may hold a good frame. Returns when to look again (INT64_MAX: never).
std::int64_t GiveUpPartial(Link& link, std::int64_t now) {
  // While the link is not read the quiet is ours, not the line's.
  if (!link.Readable()) link.last_rx = now;
  if (!link.parser.HasPartial()) return INT64_MAX;
  if (now - link.last_rx < kPartialTimeoutUs) return link.last_rx + kPartialTimeoutUs;
  std::vector<ParsedFrame> frames;
  link.parser.GiveUp(frames);
  if (!frames.empty()) link.last_frame = now;
  Log("%s: a request stopped midway; %zu frames found after its start", LinkName(link),
      frames.size());
  for (ParsedFrame& f : frames)
    link.requests.push_back({std::move(f), std::max(now, link.rx_free)});
  return INT64_MAX;
}

// A full queue that does not move for --stall-ms: a TCP client is dropped, the serial
// line's queue is discarded. Returns when to look again (INT64_MAX: not stalled).
std::int64_t CheckStall(Sim& sim, Link& link, std::int64_t now) {
  if (link.queued < kReplyCap) {
    link.progress = now;
    return INT64_MAX;
  }
  const std::int64_t limit = std::int64_t{sim.opt.stall_ms} * 1000;
  if (now - link.progress < limit) return link.progress + limit;
  if (link.pty) {
    Log("pty: %zu reply bytes not taken for %d ms; discarded", link.queued, sim.opt.stall_ms);
    link.out.clear();
    link.queued = 0;
    link.progress = now;
  } else {
    Log("tcp client took none of its replies for %d ms (%zu bytes waiting); disconnected",
        sim.opt.stall_ms, link.queued);
    link.dead = true;
  }
  return INT64_MAX;
}

// Every slot is taken and a client waits: the client that has gone longest without a
// whole frame, past --idle-ms, is disconnected. False when none may be yet; room_at then
// says when one could be.
bool MakeRoom(Sim& sim, std::int64_t now) {
  const std::int64_t idle = std::int64_t{sim.opt.idle_ms} * 1000;
  Link* oldest = nullptr;
  for (Link& l : sim.links)
    if (l.Idle() && (oldest == nullptr || l.last_frame < oldest->last_frame)) oldest = &l;
  if (oldest == nullptr || now - oldest->last_frame < idle) {
    // A busy client turns idle unannounced: look again a little later at the latest.
    sim.room_at = oldest ? oldest->last_frame + idle : now + kPartialTimeoutUs;
    return false;
  }
  Log("tcp client sent no whole frame for %lld ms%s while another waits; disconnected",
      static_cast<long long>((now - oldest->last_frame) / 1000),
      oldest->parser.HasPartial() ? " (holding part of one)" : "");
  oldest->dead = true;
  return true;
}

// Closes the TCP links that died.
void DropDead(Sim& sim) {
  sim.links.remove_if([&sim](const Link& l) {
    if (!l.dead || l.pty) return false;
    close(l.fd);
    --sim.clients;
    Log("tcp connection closed");
    return true;
  });
}

void AcceptClients(Sim& sim, std::int64_t now) {
  for (int k = 0; k < 8; ++k) {
    // A client beyond the slots waits in the listen queue until one is free.
    if (sim.clients >= kMaxClients) {
      if (!MakeRoom(sim, now)) return;
      DropDead(sim);
    }
    const int c = accept4(sim.listen_fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (c < 0) {
      if (errno == EAGAIN || errno == EWOULDBLOCK) return;
      if (errno == EINTR || errno == ECONNABORTED || errno == EPROTO) continue;
      // Out of descriptors or memory: the connection stays queued, so polling again at
      // once would spin. Wait, longer each time, and say so once.
      sim.accept_backoff = sim.accept_backoff == 0
                               ? kAcceptBackoffFirstUs
                               : std::min(2 * sim.accept_backoff, kAcceptBackoffMaxUs);
      sim.accept_at = now + sim.accept_backoff;
      if (sim.accept_failures++ == 0)
        Log("cannot accept a connection: %s; trying again in %lld ms, then less often",
            std::strerror(errno), static_cast<long long>(sim.accept_backoff / 1000));
      return;
    }
    if (sim.accept_failures > 0)
      Log("accepting connections again after %llu failed attempts",
          static_cast<unsigned long long>(sim.accept_failures));
    sim.accept_failures = 0;
    sim.accept_backoff = 0;
    const int one = 1;
    setsockopt(c, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    Link l;
    l.fd = c;
    l.last_rx = now;
    l.last_frame = now;
    l.progress = now;
    sim.links.push_back(std::move(l));
    ++sim.clients;
    Log("tcp connection accepted");
  }
}

// Sends what is due; returns the time the link next needs attention (INT64_MAX: none).
std::int64_t WriteLink(Sim& sim, Link& link, std::int64_t now) {
  if (link.write_blocked) return INT64_MAX;
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
      if (errno == EINTR) return now;
      if (errno == EAGAIN) {
        link.write_blocked = true;
        return INT64_MAX;
      }
      if (!link.pty) link.dead = true;
      link.out.clear();
      link.queued = 0;
      return INT64_MAX;
    }
    o.sent += static_cast<std::size_t>(w);
    link.queued -= static_cast<std::size_t>(w);
    link.progress = now;
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
  // Lines are flushed once a turn, not one write each.
  setvbuf(stderr, nullptr, _IOFBF, 1 << 16);
  if (!sim.opt.log_file.empty() &&
      !g_log.Open(sim.opt.log_file, static_cast<std::size_t>(sim.opt.log_max))) {
    std::fprintf(stderr, "signsim: cannot open the log %s: %s\n", sim.opt.log_file.c_str(),
                 std::strerror(errno));
    return 1;
  }
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
  std::vector<Link*> polled;
  while (!g_stop) {
    std::int64_t now = NowUs();
    std::int64_t next = now + 100000;
    for (Link& l : sim.links) {
      next = std::min(next, GiveUpPartial(l, now));
      ServeRequests(sim, l);
      next = std::min(next, WriteLink(sim, l, now));
      next = std::min(next, CheckStall(sim, l, now));
      if (!l.requests.empty() && l.queued < kReplyCap) next = now;  // more waits its turn
    }
    DropDead(sim);
    g_log.Flush();
    fds.clear();
    polled.clear();
    // While every slot is taken and no client can make room yet, a waiting client is not
    // looked at: it would only wake the loop again at once.
    const std::int64_t accept_at =
        sim.clients >= kMaxClients ? std::max(sim.accept_at, sim.room_at) : sim.accept_at;
    const bool accepting = sim.listen_fd >= 0 && now >= accept_at;
    if (accepting) fds.push_back({sim.listen_fd, POLLIN, 0});
    if (sim.listen_fd >= 0 && !accepting) next = std::min(next, accept_at);
    for (Link& l : sim.links) {
      const short events = static_cast<short>((l.Readable() ? POLLIN : 0) |
                                              (l.write_blocked ? POLLOUT : 0));
      fds.push_back({l.fd, events, 0});
      polled.push_back(&l);
    }
    const std::int64_t wait = std::max<std::int64_t>(0, next - now);
    timespec ts{static_cast<time_t>(wait / 1000000), static_cast<long>(wait % 1000000) * 1000};
    if (ppoll(fds.data(), fds.size(), &ts, nullptr) < 0 && errno != EINTR) break;
    now = NowUs();
    const std::size_t first = accepting ? 1 : 0;
    for (std::size_t i = 0; i < polled.size(); ++i) {
      Link& l = *polled[i];
      const short re = fds[first + i].revents;
      if (re & POLLOUT) l.write_blocked = false;
      if (!(re & (POLLIN | POLLHUP | POLLERR))) continue;
      if (l.Readable()) {
        ReadLink(sim, l, now);
      } else if (!l.pty && (re & (POLLHUP | POLLERR))) {
        l.dead = true;  // gone while its replies were waiting
      }
    }
    if (accepting && (fds[0].revents & POLLIN)) AcceptClients(sim, now);
  }

  Log("stopping after %llu frames", static_cast<unsigned long long>(sim.frames));
  g_log.Flush();
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
