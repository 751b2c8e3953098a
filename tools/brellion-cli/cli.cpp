#include "tools/brellion-cli/cli.h"

#include <QCoreApplication>
#include <cerrno>
#include <cstdio>
#include <string_view>

#include "manager/link/link_text.h"
#include "manager/link/qt/sign_links.h"
#include "manager/list/project.h"
#include "manager/store/work_store.h"
#include "qtshared/program_folders.h"

namespace cli {

namespace {

constexpr int kBaud = 57600;  // the sign's line speed
constexpr const char* kProgram = "brellion-cli";

void PrintError(const std::string& text) {
  std::fprintf(stderr, "%s\n", text.c_str());
}

// "HOST:PORT" with a port 1-65535.
bool ParseTcpTarget(const std::string& text, std::string* host, std::uint16_t* port) {
  const std::size_t colon = text.rfind(':');
  if (colon == std::string::npos || colon == 0 || colon + 1 == text.size()) return false;
  unsigned long value = 0;
  for (std::size_t i = colon + 1; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + static_cast<unsigned long>(text[i] - '0');
    if (value > 65535) return false;
  }
  if (value == 0) return false;
  *host = text.substr(0, colon);
  *port = static_cast<std::uint16_t>(value);
  return true;
}

const Subcommand* Find(std::span<const Subcommand> all, std::string_view name) {
  for (const Subcommand& s : all)
    if (name == s.name) return &s;
  return nullptr;
}

int UsageFailure(std::span<const Subcommand> all, const std::string& why) {
  PrintError(std::string(kProgram) + ": " + why);
  std::fputs(Usage(all).c_str(), stderr);
  return kExitUsage;
}

}  // namespace

std::string Usage(std::span<const Subcommand> subcommands) {
  std::string u = "usage: brellion-cli COMMAND [--tcp HOST:PORT | --serial DEVICE] ARGUMENTS\n\n";
  for (const Subcommand& s : subcommands)
    u += "  " + std::string(s.name) + " " + s.arguments + "\n      " + s.summary + "\n";
  u +=
      "\nLink options (otherwise the project's stored transmit option, IP address, port and\n"
      "COM port are used):\n"
      "  --tcp HOST:PORT   talk to the sign over TCP/IP\n"
      "  --serial DEVICE   talk to the sign over the serial device at 57600 baud, 8N1\n"
      "PROJECT.dat is read only; without it data.tmp beside the program (or in the user's\n"
      "data folder) is used.\n"
      "Exit status: 0 the sign acknowledged everything, 1 the sign or the link failed,\n"
      "2 bad command line or unreadable project. export, import and list talk to no sign:\n"
      "for them 1 means an output could not be written, and 2 also a refused JSON text.\n";
  return u;
}

int Main(int argc, char** argv, std::span<const Subcommand> subcommands) {
  std::vector<std::string> words(argv + 1, argv + argc);
  for (const std::string& w : words) {
    if (w == "--help" || w == "-h") {
      std::fputs(Usage(subcommands).c_str(), stdout);
      return kExitOk;
    }
  }
  if (words.empty()) return UsageFailure(subcommands, "no command given");
  const Subcommand* sub = Find(subcommands, words[0]);
  if (sub == nullptr) return UsageFailure(subcommands, "unknown command '" + words[0] + "'");

  Session session(*sub, subcommands);
  for (std::size_t i = 1; i < words.size(); ++i) {
    std::string w = words[i];
    std::string value;
    const bool tcp = w == "--tcp" || w.starts_with("--tcp=");
    const bool serial = w == "--serial" || w.starts_with("--serial=");
    if (!tcp && !serial) {
      session.args_.push_back(w);
      continue;
    }
    if (const std::size_t eq = w.find('='); eq != std::string::npos) {
      value = w.substr(eq + 1);
    } else if (i + 1 < words.size()) {
      value = words[++i];
    } else {
      return UsageFailure(subcommands, w + " needs a value");
    }
    if (session.tcpHost || session.serialDevice)
      return UsageFailure(subcommands, "give one link option only");
    if (tcp) {
      std::string host;
      std::uint16_t port = 0;
      if (!ParseTcpTarget(value, &host, &port))
        return UsageFailure(subcommands, "--tcp wants HOST:PORT, not '" + value + "'");
      session.tcpHost = host;
      session.tcpPort = port;
    } else {
      if (value.empty()) return UsageFailure(subcommands, "--serial wants a device");
      session.serialDevice = value;
    }
  }
  return sub->run(session);
}

std::string DefaultStorePath() {
  return (WorkFolder(QCoreApplication::applicationDirPath()) + QStringLiteral("data.tmp"))
      .toStdString();
}

Session::Session(const Subcommand& subcommand, std::span<const Subcommand> all)
    : subcommand_(subcommand), all_(all) {}

Session::~Session() {
  links_.reset();
  if (storeOpen_) store::TheWorkStore().Close();
}

bool Session::OpenStore(const std::optional<std::string>& project) {
  store::WorkStore& store = store::TheWorkStore();
  // Never Open: it would take the store from a manager working on it. A read-only store
  // shows a change such a manager has under way as finished.
  if (project) {
    store.SetPath(*project);
    const store::FileKind kind = store::KindOfFile(*project);
    if (const auto refusal = msglist::CheckStoreFile(kind)) {
      PrintError(refusal->caption + ": " + refusal->text + " (" + *project + ")");
      return false;
    }
    if (kind.type != store::FileKind::Type::Regular || store.OpenReadOnly() != store::kOpened) {
      PrintError(std::string(kProgram) + ": cannot read the project " + *project);
      return false;
    }
  } else {
    store.SetPath(DefaultStorePath());
    const int made = store::CreateStoreFile(store.Path());
    if ((made != 0 && made != EEXIST) || store.OpenReadOnly() != store::kOpened) {
      // The manager's own words when its work store cannot be made.
      PrintError("실행할수 없음: 파일을 만들수 없습니다\n실행할수 없습니다 (" + store.Path() + ")");
      return false;
    }
  }
  storeOpen_ = true;
  return true;
}

signlink::SignLink& Session::Link() {
  if (links_) return *links_;
  links_ = std::make_unique<SignLinks>();
  store::WorkStore& store = store::TheWorkStore();
  const auto openSerial = [this](bool opened) {
    if (!opened)
      PrintError(std::string(signlink::kWarningCaption) + ": " + signlink::kPortOpenFailedText);
  };
  if (tcpHost) {
    links_->SetTransmit(signlink::Transmit::kTcp);
    links_->ConnectTcp(QString::fromStdString(*tcpHost), tcpPort);
  } else if (serialDevice) {
    links_->SetTransmit(signlink::Transmit::kSerial);
    openSerial(links_->OpenSerialDevice(*serialDevice, kBaud));
  } else {
    // As the manager reads them at start, but nothing is written back.
    links_->SetTransmit(signlink::TransmitFromStored(store.Transmit()));
    if (links_->transmit() == signlink::Transmit::kTcp) {
      links_->ConnectTcp(store.IpAddress(), store.TcpPort());
    } else {
      const int port = store.SerialPort();
      openSerial(links_->OpenSerial(port == 0 || port > 20 ? 1 : port, kBaud));
    }
  }
  return *links_;
}

int Session::Report(const signlink::Outcome& outcome) {
  PrintError(outcome.caption + ": " + outcome.text);
  return outcome.ok ? kExitOk : kExitFailed;
}

int Session::UsageError(const std::string& why) {
  return UsageFailure(all_, std::string(subcommand_.name) + ": " + why);
}

bool Session::Positionals(std::size_t count, std::vector<std::string>* positional,
                          std::optional<std::string>* project) {
  for (const std::string& a : args_) {
    if (a.size() > 1 && a[0] == '-') {
      UsageError("unknown option '" + a + "'");
      return false;
    }
  }
  if (args_.size() < count || args_.size() > count + 1) {
    UsageError("wrong number of arguments");
    return false;
  }
  positional->assign(args_.begin(), args_.begin() + static_cast<long>(count));
  if (args_.size() == count + 1) *project = args_.back();
  return true;
}

}  // namespace cli
