// brellion-cli pull OUT.dat [--pictures DIR] [--tcp HOST:PORT | --serial DEVICE]
// Reads the sign's program and writes it as a new project, with its pictures in DIR
// (default: a folder beside OUT.dat named after it). The project keeps the link it was
// read over. Nothing is written unless the whole read succeeded.
#include <QFileInfo>
#include <QHostAddress>
#include <QHostInfo>
#include <cstdio>

#include "manager/link/link_settings.h"
#include "manager/link/port_name.h"
#include "manager/list/project.h"
#include "manager/store/work_store.h"
#include "manager/transfer/pull.h"
#include "tools/brellion-cli/cli.h"
#include "tools/brellion-cli/console_progress.h"

namespace {

// The first IPv4 address of the host, 0 when it has none.
std::uint32_t Ipv4Of(const std::string& host) {
  QHostAddress address;
  if (address.setAddress(QString::fromStdString(host)) &&
      address.protocol() == QAbstractSocket::IPv4Protocol)
    return address.toIPv4Address();
  for (const QHostAddress& a : QHostInfo::fromName(QString::fromStdString(host)).addresses())
    if (a.protocol() == QAbstractSocket::IPv4Protocol) return a.toIPv4Address();
  return 0;
}

// The COM number whose device is `device`, 0 when none is.
int ComPortOf(const std::string& device) {
  const QString wanted = QFileInfo(QString::fromStdString(device)).absoluteFilePath();
  for (int port = 1; port <= signlink::kSerialPorts; ++port) {
    const QString path = QString::fromStdString(signlink::SerialDevicePath(port));
    if (QFileInfo(path).absoluteFilePath() == wanted) return port;
  }
  return 0;
}

}  // namespace

int RunPull(cli::Session& session) {
  std::optional<std::string> pictures;
  std::vector<std::string> rest;
  const std::vector<std::string> args = session.args_;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--pictures") {
      if (i + 1 == args.size()) return session.UsageError("--pictures needs a folder");
      pictures = args[++i];
    } else {
      rest.push_back(args[i]);
    }
  }
  session.args_ = rest;
  std::vector<std::string> positional;
  std::optional<std::string> out;
  if (!session.Positionals(0, &positional, &out)) return cli::kExitUsage;
  if (!out) return session.UsageError("OUT.dat is needed");
  const std::string folder = pictures ? *pictures : transfer::DefaultPictureFolder(*out);
  if (const std::string problem = transfer::PictureFolderProblem(folder); !problem.empty())
    return session.UsageError(problem);

  transfer::LinkSlots readOver;
  if (session.tcpHost) {
    readOver = {.transmit = 1, .ipAddress = Ipv4Of(*session.tcpHost), .tcpPort = session.tcpPort};
  } else if (session.serialDevice) {
    const int port = ComPortOf(*session.serialDevice);
    if (port == 0)
      std::fprintf(stderr, "%s is no COM port (BRELLION_COMn): the project names COM1\n",
                   session.serialDevice->c_str());
    readOver.serialPort = static_cast<std::uint8_t>(port == 0 ? 1 : port);
  } else {
    // The link of the work store the sign is reached by, as the manager reads it.
    if (!session.OpenStore(std::nullopt)) return cli::kExitUsage;
    store::WorkStore& store = store::TheWorkStore();
    const int port = store.SerialPort();
    readOver = {.transmit = static_cast<std::uint8_t>(store.Transmit() == 1 ? 1 : 0),
                .ipAddress = store.IpAddress(),
                .tcpPort = store.TcpPort(),
                .serialPort = static_cast<std::uint8_t>(
                    port == 0 || port > signlink::kSerialPorts ? 1 : port)};
  }

  transfer::PulledProgram program;
  {
    cli::ConsoleProgress progress;
    program = transfer::ReadSignProgram(session.Link(), progress.callbacks());
  }
  for (const transfer::SkippedItem& s : program.skipped)
    std::printf("skipped %s\n", transfer::SkipText(s).c_str());
  std::fflush(stdout);
  const transfer::Message m = transfer::MessageFor(program);
  if (program.outcome != transfer::PullOutcome::kDone)
    return session.Report({false, m.text, m.caption});

  const transfer::WriteFailure failure =
      transfer::WritePulledProject(program, readOver, *out, folder);
  if (failure.error != 0) {
    const msglist::Message why = msglist::WriteFailed(failure.error);
    return session.Report({false, why.text + "\n" + failure.path, why.caption});
  }
  session.Report({true, m.text, m.caption});
  return program.skipped.empty() ? cli::kExitOk : cli::kExitDiffers;
}
