#include "tools/signsim/options.h"

#include <cstdlib>

namespace signsim {

const char* const kUsage =
    "Usage: signsim [options]\n"
    "A virtual LED sign that answers the manager's frames.\n"
    "\n"
    "  --tcp [HOST:]PORT  listen for the manager on TCP (default 127.0.0.1:5000;\n"
    "                     port 0 takes any free port)\n"
    "  --no-tcp           do not listen on TCP\n"
    "  --pty LINK         open a pseudo-terminal and make LINK a symbolic link to it\n"
    "                     (BRELLION_COM1=LINK points the manager's COM1 at it)\n"
    "  --baud N           pace pseudo-terminal traffic at N baud, 10 bits a byte\n"
    "  --memory FILE      keep the 128 MiB board memory in FILE (a sparse file in the\n"
    "                     preview file's layout); without it memory ends with the run\n"
    "  --model TEXT       model identifier at 0x020000 (default VARNO)\n"
    "  --width N          width in modules at 0x020008\n"
    "  --rows N           rows code at 0x020009 (1 or 2)\n"
    "  --fault KIND[:N]   misbehave on frame N (counted from 1 over all links) or, without\n"
    "                     N or with :every, on every frame. KIND is one of\n"
    "                       noreply  no reply\n"
    "                       late     the reply after --late-ms\n"
    "                       badsum   a wrong checksum\n"
    "                       badstx   a wrong first byte (the checksum fits it)\n"
    "                       pieces   the reply one byte at a time, --piece-ms apart\n"
    "                       drop     no reply; the TCP connection is closed\n"
    "                     May be given more than once.\n"
    "  --late-ms MS       delay of a late reply (default 1500)\n"
    "  --piece-ms MS      gap between the pieces of a reply (default 2)\n"
    "  --ready FILE       once listening, write \"tcp PORT\" and \"pty PATH\" lines to FILE\n"
    "  --stall-ms MS      a client that takes none of its replies for MS while its reply\n"
    "                     queue is full is disconnected (serial: the queue is discarded);\n"
    "                     default 5000\n"
    "  --idle-ms MS       when all 32 client slots are taken and another client waits, the\n"
    "                     client that has sent no whole frame for the longest, at least MS\n"
    "                     (silent, or holding part of one), is disconnected to make room;\n"
    "                     default 5000\n"
    "  --log FILE         append the log to FILE instead of standard error; once FILE holds\n"
    "                     --log-max bytes it becomes FILE.1 (replacing the older one)\n"
    "  --log-max BYTES    size at which the log file is rotated (default 4194304)\n"
    "  --help             this text\n"
    "\n"
    "One line per frame goes to the log. SIGINT or SIGTERM ends the run.\n";

namespace {

bool ToLong(const std::string& s, long lo, long hi, long* v) {
  if (s.empty()) return false;
  char* end = nullptr;
  const long x = std::strtol(s.c_str(), &end, 10);
  if (*end != '\0' || x < lo || x > hi) return false;
  *v = x;
  return true;
}

}  // namespace

bool ParseFault(const std::string& text, FaultRule* rule) {
  const std::size_t colon = text.find(':');
  const std::string kind = text.substr(0, colon);
  static const struct {
    const char* name;
    Fault fault;
  } kKinds[] = {{"noreply", Fault::kNoReply},    {"late", Fault::kLate},
                {"badsum", Fault::kBadChecksum}, {"badstx", Fault::kBadStx},
                {"pieces", Fault::kPieces},      {"drop", Fault::kDrop}};
  bool known = false;
  for (const auto& k : kKinds) {
    if (kind == k.name) {
      rule->fault = k.fault;
      known = true;
    }
  }
  if (!known) return false;
  rule->frame = 0;
  if (colon == std::string::npos) return true;
  const std::string n = text.substr(colon + 1);
  if (n == "every") return true;
  long v = 0;
  if (!ToLong(n, 1, 1L << 40, &v)) return false;
  rule->frame = static_cast<std::uint64_t>(v);
  return true;
}

bool HasFault(const std::vector<FaultRule>& rules, Fault fault, std::uint64_t frame) {
  for (const FaultRule& r : rules) {
    if (r.fault == fault && (r.frame == 0 || r.frame == frame)) return true;
  }
  return false;
}

bool ParseOptions(int argc, const char* const* argv, Options* o, std::string* error) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const auto value = [&](std::string* out) {
      if (i + 1 >= argc) {
        *error = arg + " needs a value";
        return false;
      }
      *out = argv[++i];
      return true;
    };
    const auto number = [&](long lo, long hi, long* out) {
      std::string v;
      if (!value(&v)) return false;
      if (!ToLong(v, lo, hi, out)) {
        *error = "bad value for " + arg + ": " + v;
        return false;
      }
      return true;
    };
    long v = 0;
    std::string s;
    if (arg == "--help" || arg == "-h") {
      o->help = true;
    } else if (arg == "--tcp") {
      if (!value(&s)) return false;
      const std::size_t colon = s.rfind(':');
      const std::string port = colon == std::string::npos ? s : s.substr(colon + 1);
      if (colon != std::string::npos) o->tcp_host = s.substr(0, colon);
      if (!ToLong(port, 0, 65535, &v) || o->tcp_host.empty()) {
        *error = "bad value for --tcp: " + s;
        return false;
      }
      o->tcp = true;
      o->tcp_port = static_cast<int>(v);
    } else if (arg == "--no-tcp") {
      o->tcp = false;
    } else if (arg == "--pty") {
      if (!value(&o->pty_link)) return false;
    } else if (arg == "--memory") {
      if (!value(&o->memory_file)) return false;
    } else if (arg == "--ready") {
      if (!value(&o->ready_file)) return false;
    } else if (arg == "--model") {
      if (!value(&o->model)) return false;
    } else if (arg == "--width") {
      if (!number(0, 255, &v)) return false;
      o->width = static_cast<int>(v);
    } else if (arg == "--rows") {
      if (!number(0, 255, &v)) return false;
      o->rows = static_cast<int>(v);
    } else if (arg == "--baud") {
      if (!number(1, 10000000, &v)) return false;
      o->baud = v;
    } else if (arg == "--late-ms") {
      if (!number(0, 600000, &v)) return false;
      o->late_ms = static_cast<int>(v);
    } else if (arg == "--piece-ms") {
      if (!number(0, 10000, &v)) return false;
      o->piece_ms = static_cast<int>(v);
    } else if (arg == "--stall-ms") {
      if (!number(1, 600000, &v)) return false;
      o->stall_ms = static_cast<int>(v);
    } else if (arg == "--idle-ms") {
      if (!number(1, 600000, &v)) return false;
      o->idle_ms = static_cast<int>(v);
    } else if (arg == "--log") {
      if (!value(&o->log_file)) return false;
    } else if (arg == "--log-max") {
      if (!number(4096, 1L << 30, &v)) return false;
      o->log_max = v;
    } else if (arg == "--fault") {
      if (!value(&s)) return false;
      FaultRule r{};
      if (!ParseFault(s, &r)) {
        *error = "bad value for --fault: " + s;
        return false;
      }
      o->faults.push_back(r);
    } else {
      *error = "unknown option " + arg;
      return false;
    }
  }
  if (!o->tcp && o->pty_link.empty() && !o->help) {
    *error = "neither TCP nor a pseudo-terminal to listen on";
    return false;
  }
  return true;
}

}  // namespace signsim
