#include "tools/brellion-cli/cli.h"

#include <QCoreApplication>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string_view>

#include "manager/fleet/qt/open_sign_link.h"
#include "manager/link/link_text.h"
#include "manager/link/qt/sign_links.h"
#include "manager/list/project.h"
#include "manager/store/work_store.h"
#include "qtshared/program_folders.h"
#include "tools/brellion-cli/console_progress.h"

namespace cli {

namespace {

constexpr int kBaud = 57600;  // the sign's line speed
constexpr const char* kProgram = "brellion-cli";

void PrintError(const std::string& text) {
  std::fprintf(stderr, "%s\n", text.c_str());
}

// The options that name the signs a per-target command goes to, as read.
struct TargetOptions {
  std::vector<fleet::Sign> links;  // --tcp and --serial, in order
  fleet::Selection chosen;         // --sign, --group, --all
  int jobs = 0;
  bool UsesBook() const { return chosen.all || !chosen.signs.empty() || !chosen.groups.empty(); }
};

// A sign named by a link option: the option's value is its name.
fleet::Sign Target(const std::string& name, const fleet::SignAddress& address) {
  fleet::Sign sign;
  sign.name = name;
  sign.address = address;
  return sign;
}

// A job's context with Ctrl-C added to its cancel; its steps go on to `inner` when given.
class Interruptible : public fleet::JobContext {
 public:
  explicit Interruptible(fleet::JobContext* inner) : inner_(inner) {}
  void Begin(int total) override {
    if (inner_) inner_->Begin(total);
  }
  void Step(int item) override {
    if (inner_) inner_->Step(item);
  }
  bool Cancelled() override { return Interrupted() || (inner_ && inner_->Cancelled()); }

 private:
  fleet::JobContext* inner_;
};

std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\n') c = ' ';
  return text;
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

// The signs named by the book options, then the link options, each once; kExitOk, or
// kExitUsage after saying why (a book that cannot be read or has a wrong line, a name it
// does not have, nothing chosen).
int ResolveTargets(const TargetOptions& options, std::span<const Subcommand> all,
                   std::vector<fleet::Sign>* targets) {
  if (options.UsesBook()) {
    const std::string path = fleet::SignBookPath();
    const fleet::BookRead read = fleet::ReadSignBook(path);
    // A wrong line may hide a sign the command was meant for: nothing goes out.
    if (const std::string why = fleet::ReadFailureText(path, read); !why.empty()) {
      PrintError(std::string(kProgram) + ": " + why);
      return kExitUsage;
    }
    std::string unknown;
    *targets = fleet::Select(read.book, options.chosen, &unknown);
    if (!unknown.empty()) return UsageFailure(all, unknown);
  }
  for (const fleet::Sign& link : options.links) fleet::AddTarget(*targets, link);
  if (targets->empty()) {
    PrintError(std::string(kProgram) +
               ": 전광판 목록에 전광판이 없습니다: " + fleet::SignBookPath());
    return kExitUsage;
  }
  return kExitOk;
}

}  // namespace

std::string Usage(std::span<const Subcommand> subcommands) {
  std::string u = "usage: brellion-cli COMMAND [--tcp HOST:PORT | --serial DEVICE] ARGUMENTS\n\n";
  std::string many;
  for (const Subcommand& s : subcommands) {
    u += "  " + std::string(s.name) + " " + s.arguments + "\n      " + s.summary + "\n";
    if (s.perTarget) many += (many.empty() ? "" : ", ") + std::string(s.name);
  }
  u += "\nLink options (otherwise the project's stored transmit option, IP address, port and\n"
       "COM port are used):\n"
       "  --tcp HOST:PORT   talk to the sign over TCP/IP\n"
       "  --serial DEVICE   talk to the sign over the serial device at 57600 baud, 8N1\n";
  u += "To many signs at once (" + many + "), in any mix:\n";
  u += "  --tcp and --serial repeated\n"
       "  --sign NAME, --group NAME, --all   signs of the sign book\n";
  u += "                    " + fleet::SignBookPath() + "\n";
  u += "  --jobs N          at most N signs at a time (default " +
       std::to_string(fleet::kDefaultJobs) + "); one serial device\n";
  u += "                    never carries two at once\n"
       "  One line per sign goes to stdout as it ends: \"NAME: CAPTION: TEXT\".\n"
       "PROJECT.dat is read only; without it data.tmp beside the program (or in the user's\n"
       "data folder) is used.\n"
       "Exit status: 0 the sign (every sign) acknowledged everything, 1 the sign or the link\n"
       "failed (any sign; the others are still done), 2 bad command line, unreadable project\n"
       "or sign book. verify to one sign: 3 when the sign holds another program (to many\n"
       "signs that is a failure, 1). export, import and list talk to no sign: for them 1\n"
       "means an output could not be written, and 2 also a refused JSON text.\n";
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
  TargetOptions options;
  for (std::size_t i = 1; i < words.size(); ++i) {
    const std::string& w = words[i];
    const std::string option = w.substr(0, w.find('='));
    const bool link = option == "--tcp" || option == "--serial";
    const bool choice =
        sub->perTarget && (option == "--sign" || option == "--group" || option == "--jobs");
    if (sub->perTarget && w == "--all") {
      options.chosen.all = true;
      continue;
    }
    if (!link && !choice) {
      session.args_.push_back(w);
      continue;
    }
    std::string value;
    if (option.size() < w.size()) {
      value = w.substr(option.size() + 1);
    } else if (i + 1 < words.size()) {
      value = words[++i];
    } else {
      return UsageFailure(subcommands, w + " needs a value");
    }
    if (option == "--tcp") {
      const std::optional<fleet::SignAddress> address = fleet::ParseTcp(value);
      if (!address) return UsageFailure(subcommands, "--tcp wants HOST:PORT, not '" + value + "'");
      options.links.push_back(Target(value, *address));
    } else if (option == "--serial") {
      if (value.empty()) return UsageFailure(subcommands, "--serial wants a device");
      fleet::SignAddress device;
      device.kind = fleet::SignAddress::Kind::kSerial;
      device.device = value;
      options.links.push_back(Target(value, device));
    } else if (option == "--sign") {
      options.chosen.signs.push_back(value);
    } else if (option == "--group") {
      options.chosen.groups.push_back(value);
    } else if (value.empty() || value.size() > 4 ||
               value.find_first_not_of("0123456789") != std::string::npos || std::stoi(value) < 1) {
      return UsageFailure(subcommands, "--jobs wants a number from 1, not '" + value + "'");
    } else {
      options.jobs = std::stoi(value);
    }
  }
  if (options.UsesBook() || options.links.size() > 1) {
    if (!sub->perTarget) return UsageFailure(subcommands, "give one link option only");
    if (const int status = ResolveTargets(options, subcommands, &session.targets_);
        status != kExitOk)
      return status;
    session.jobs_ = options.jobs;
  } else if (!options.links.empty()) {
    const fleet::SignAddress& a = options.links.front().address;
    if (a.kind == fleet::SignAddress::Kind::kTcp) {
      session.tcpHost = a.host;
      session.tcpPort = a.port;
    } else {
      session.serialDevice = fleet::DevicePath(a);  // COMn as the manager names ports
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

int Session::RunOnTargets(const fleet::Job& job, fleet::JobContext* console) {
  const CtrlC ctrlC;
  if (!ManyTargets()) {
    Interruptible context(console);
    return Report(job(Link(), fleet::Sign{}, context));
  }
  fleet::FanOut fan(
      targets_, jobs_, fleet::OpenSignLink,
      [&job](signlink::SignLink& link, const fleet::Sign& sign, fleet::JobContext& context) {
        if (Interrupted()) return fleet::NotStarted();
        Interruptible guarded(&context);
        return job(link, sign, guarded);
      },
      [this](const fleet::Update& u) {
        if (u.state == fleet::SignState::kWaiting || u.state == fleet::SignState::kRunning) return;
        std::printf("%s: %s: %s\n", targets_[u.index].name.c_str(), u.outcome.caption.c_str(),
                    OneLine(u.outcome.text).c_str());
        std::fflush(stdout);
      });
  fan.Wait();
  const std::vector<signlink::Outcome> outcomes = fan.Outcomes();
  const auto succeeded = std::count_if(outcomes.begin(), outcomes.end(),
                                       [](const signlink::Outcome& o) { return o.ok; });
  PrintError("전광판 " + std::to_string(outcomes.size()) + "대 중 " + std::to_string(succeeded) +
             "대 성공");
  return succeeded == static_cast<long>(outcomes.size()) ? kExitOk : kExitFailed;
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
