// The message list's speed: RefreshList of 100 items into the view, and opening the main
// window with a 100-item project as `Brellion show.dat` does. Report the median:
//   bench_list --benchmark_repetitions=7 --benchmark_report_aggregates_only=true
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <string>

#include "manager/app/brellion_app.h"
#include "manager/app/brellion_view.h"
#include "manager/app/main_frame.h"
#include "manager/store/work_store.h"
#include "qtshared/message_box.h"
#include "shared/cp949.h"

namespace {

// A project of 100 items of every kind, texts of a few dozen characters.
QString MakeProject(const QTemporaryDir& dir) {
  const QString path = dir.filePath(QStringLiteral("show.dat"));
  store::WorkStore file;
  file.SetPath(path.toStdString());
  if (file.Open() != 0) return {};
  for (int i = 0; i < 100; ++i) {
    item::ItemRecord r;
    r.header[0] = std::uint8_t(i % item::kItemKindCount);
    const std::string text = "전광판 안내 문장 " + std::to_string(i) + " C:\\그림\\pic.bmp";
    text::WriteTextQuarter(r.body.textA, *text::Utf8ToCp949(text));
    text::WriteTextQuarter(r.body.textB, *text::Utf8ToCp949(text));
    file.WriteRecord(i, r);
  }
  file.SetHeight(2);
  return path;
}

void BM_RefreshList100(benchmark::State& state) {
  QTemporaryDir dir;
  const QString project = MakeProject(dir);
  TheApp()->SetProgramDirectory(dir.path());
  TheApp()->InitInstance(false);
  CBrellionView* view = TheApp()->View();
  view->LoadProject(project);
  for (auto _ : state) {
    state.PauseTiming();
    view->List()->clear();
    state.ResumeTiming();
    view->RefreshList();
  }
  if (view->List()->topLevelItemCount() != 100) state.SkipWithError("not 100 rows");
  store::CloseWorkStore();
}
BENCHMARK(BM_RefreshList100)->Unit(benchmark::kMillisecond);

void BM_OpenWindowWithProject100(benchmark::State& state) {
  QTemporaryDir dir;
  const QString project = MakeProject(dir);
  TheApp()->SetProgramDirectory(dir.path());
  for (auto _ : state) {
    // As main() does: the usual start, the project, then the window painted.
    TheApp()->InitInstance(false);
    TheApp()->View()->LoadProject(project);
    CMainFrame* frame = TheApp()->MainFrame();
    frame->show();
    QApplication::processEvents();
    frame->repaint();
    state.PauseTiming();
    if (TheApp()->View()->List()->topLevelItemCount() != 100) state.SkipWithError("not 100 rows");
    frame->hide();
    store::CloseWorkStore();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_OpenWindowWithProject100)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("BRELLION_COM1", "/nonexistent/brellion-com1");  // no port warning box
  MessageRecorder noBoxes;
  CBrellionApp app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
