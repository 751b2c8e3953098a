// A download of 100 one-line items (304 frames) to signsim over TCP on loopback and over
// its pseudo-terminal paced at 57600 baud, the latter against the line rate.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <string>

#include "bench/transfer/recording_link.h"
#include "manager/link/qt/comm_control.h"
#include "manager/link/qt/sign_ctrl.h"
#include "manager/link/qt/tcp_link.h"
#include "manager/transfer/download.h"
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

template <class Link>
void Run(benchmark::State& state, Link& link, int baud) {
  const std::vector<item::ItemRecord> list = HundredOneLines();
  double line = 0;
  for (auto _ : state) {
    link.sent.clear();
    const transfer::Report r = transfer::Download(link, list, 1);
    if (r.outcome != transfer::Outcome::kDone) {
      state.SkipWithError(transfer::MessageFor(r).text.c_str());
      break;
    }
    line = LineBytes(link.sent);
    state.counters["frames"] = r.frames;
  }
  if (baud > 0)
    state.counters["line_rate_%"] = benchmark::Counter(
        line * 10.0 / baud * 100.0 * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate);
}

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
  Run(state, link, 0);
}
BENCHMARK(BM_Download100OneLinesTcp)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

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
  Run(state, link, 57600);
}
BENCHMARK(BM_Download100OneLinesSerial57600)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace
