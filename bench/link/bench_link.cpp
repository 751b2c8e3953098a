// Acknowledged 2060-byte memory writes per second against signsim: over TCP on loopback,
// and over the pseudo-terminal paced at 57600 baud (reported against the line rate).
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <string>
#include <vector>

#include "manager/link/frame.h"
#include "manager/link/qt/comm_control.h"
#include "manager/link/qt/sign_ctrl.h"
#include "manager/link/qt/tcp_link.h"
#include "tests/support/signsim_process.h"

namespace {

void EnsureApp() {
  static int argc = 1;
  static char name[] = "bench_link";
  static char* argv[] = {name, nullptr};
  if (QCoreApplication::instance() == nullptr) {
    new QCoreApplication(argc, argv);
  }
}

signlink::Frame WriteFrame() {
  std::vector<std::uint8_t> page(2048);
  for (std::size_t i = 0; i < page.size(); ++i) page[i] = static_cast<std::uint8_t>(i * 13);
  return signlink::BuildMemoryWrite(0x080000, page.data(), page.size());
}

void BM_TcpWrite2060(benchmark::State& state) {
  EnsureApp();
  SignSimProcess sim;
  if (!sim.Start()) {
    state.SkipWithError("signsim did not start");
    return;
  }
  TcpLink link;
  link.Connect("127.0.0.1", static_cast<quint16>(sim.tcp_port()));
  const signlink::Frame frame = WriteFrame();
  for (auto _ : state) {
    if (const int rc = static_cast<int>(link.SendAndWait(frame)); rc != 0) {
      state.SkipWithError(("exchange failed with " + std::to_string(rc)).c_str());
      break;
    }
  }
  state.counters["frames/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * 2060);
}
BENCHMARK(BM_TcpWrite2060)->UseRealTime()->Unit(benchmark::kMicrosecond);

void BM_SerialWrite2060(benchmark::State& state) {
  EnsureApp();
  const int baud = static_cast<int>(state.range(0));
  SignSimProcess sim;
  if (!sim.Start({"--baud", QString::number(baud)})) {
    state.SkipWithError("signsim did not start");
    return;
  }
  qputenv("BRELLION_COM1", sim.pty_link().toUtf8());
  CCommControl comm;
  CSignCtrl ctrl;
  if (comm.Create(1, baud, 0) != 1) {
    state.SkipWithError("port did not open");
    return;
  }
  ctrl.Create();
  ctrl.Attach(&comm);
  const signlink::Frame frame = WriteFrame();
  for (auto _ : state) {
    if (const int rc = static_cast<int>(ctrl.SendAndWait(frame)); rc != 0) {
      state.SkipWithError(("exchange failed with " + std::to_string(rc)).c_str());
      break;
    }
  }
  state.counters["frames/s"] =
      benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
  // Request bytes per second against what the line carries: baud / 10 bytes a second.
  state.counters["line_rate_%"] =
      benchmark::Counter(static_cast<double>(state.iterations()) * 2060.0 * 100.0 / (baud / 10.0),
                         benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SerialWrite2060)
    ->Arg(57600)
    ->Iterations(20)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
