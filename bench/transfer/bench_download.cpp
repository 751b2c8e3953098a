// A download of 100 one-line items (304 frames) to signsim over TCP on loopback and over
// its pseudo-terminal paced at 57600 baud, the latter against the line rate; the same
// download read back after it; and a pull of those items back from the sign both ways.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <string>

#include "bench/transfer/recording_link.h"
#include "manager/link/frame.h"
#include "manager/link/qt/comm_control.h"
#include "manager/link/qt/sign_ctrl.h"
#include "manager/link/qt/tcp_link.h"
#include "manager/transfer/download.h"
#include "manager/transfer/pull.h"
#include "shared/board_memory.h"
#include "shared/cp949.h"
#include "tests/support/signsim_process.h"

namespace {

void EnsureApp() {
  static int argc = 1;
  static char name[] = "bench_download";
  static char* argv[] = {name, nullptr};
  if (QCoreApplication::instance() == nullptr) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    new QApplication(argc, argv);
  }
}

std::vector<item::ItemRecord> HundredOneLines() {
  std::vector<item::ItemRecord> list(100);
  for (std::size_t i = 0; i < list.size(); ++i) {
    list[i].header.setKind(item::ItemKind::OneLine);
    text::WriteTextQuarter(list[i].body.textA, "item " + std::to_string(i));
  }
  return list;
}

// Bytes on the line both ways: every request and its reply (6 bytes, 8 + 6 for the model
// read, 1 + 6 for the rows read).
double LineBytes(const std::vector<signlink::Frame>& sent) {
  double bytes = 8 + 1;
  for (const auto& f : sent) bytes += static_cast<double>(f.size()) + 6;
  return bytes;
}

// Reply bytes of the reads among `sent`: the data asked for and the envelope.
double ReadReplyBytes(const std::vector<signlink::Frame>& sent) {
  double bytes = 0;
  for (const auto& f : sent)
    if (f[3] == signlink::kCmdMemoryRead) bytes += board::Get16(&f[8]) + 6.0;
  return bytes;
}

enum class Work { kDownload, kDownloadAndVerify, kPull };

template <class Link>
void Run(benchmark::State& state, Link& link, int baud, Work work = Work::kDownload) {
  const std::vector<item::ItemRecord> list = HundredOneLines();
  if (work == Work::kPull &&
      transfer::Download(link, list, 1).outcome != transfer::Outcome::kDone) {
    state.SkipWithError("the items to pull could not be sent");
    return;
  }
  double line = 0;
  for (auto _ : state) {
    link.sent.clear();
    if (work == Work::kPull) {
      const transfer::PulledProgram p = transfer::ReadSignProgram(link);
      if (p.outcome != transfer::PullOutcome::kDone || p.records.size() != list.size()) {
        state.SkipWithError(transfer::MessageFor(p).text.c_str());
        break;
      }
      line = ReadReplyBytes(link.sent);  // reading: what comes back over the line
      state.counters["frames"] = static_cast<double>(link.sent.size());
      continue;
    }
    const transfer::Report r =
        transfer::Download(link, list, 1, {}, work == Work::kDownloadAndVerify);
    if (r.outcome != transfer::Outcome::kDone) {
      state.SkipWithError(transfer::MessageFor(r).text.c_str());
      break;
    }
    line = LineBytes(link.sent);
    state.counters["frames"] = static_cast<double>(link.sent.size());
  }
  if (baud > 0)
    state.counters["line_rate_%"] =
        benchmark::Counter(line * 10.0 / baud * 100.0 * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate);
}

// Argument: 0 download, 1 download read back after it, 2 pull.
void BM_Download100OneLinesTcp(benchmark::State& state) {
  EnsureApp();
  SignSimProcess sim;
  if (!sim.Start({"--rows", "1"})) {
    state.SkipWithError("signsim did not start");
    return;
  }
  TcpLink tcp;
  tcp.Connect("127.0.0.1", static_cast<quint16>(sim.tcp_port()));
  transfer_test::RecordingLink link(tcp);
  Run(state, link, 0, static_cast<Work>(state.range(0)));
}
BENCHMARK(BM_Download100OneLinesTcp)
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);

// Argument: 0 download, 2 pull.
void BM_Download100OneLinesSerial57600(benchmark::State& state) {
  EnsureApp();
  SignSimProcess sim;
  if (!sim.Start({"--rows", "1", "--baud", "57600"})) {
    state.SkipWithError("signsim did not start");
    return;
  }
  qputenv("BRELLION_COM2", sim.pty_link().toUtf8());
  CCommControl comm;
  CSignCtrl ctrl;
  if (comm.Create(2, 57600, 0) != 1) {
    state.SkipWithError("port did not open");
    return;
  }
  ctrl.Create();
  ctrl.Attach(&comm);
  transfer_test::RecordingLink link(ctrl);
  Run(state, link, 57600, static_cast<Work>(state.range(0)));
}
BENCHMARK(BM_Download100OneLinesSerial57600)
    ->Arg(0)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

}  // namespace
