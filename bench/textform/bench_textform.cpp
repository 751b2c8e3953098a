// Export and import of an editor-made project of 100 items (every kind, texts in mixed
// colours and fonts, three events): what a script pays per project.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "manager/textform/project_text.h"
#include "tests/support/sample_project.h"

namespace {

void BM_Export(benchmark::State& state) {
  const textform::ProjectBytes project = sample::Project(100);
  std::size_t bytes = 0;
  for (auto _ : state) {
    const std::string json = textform::ExportProject(project);
    bytes = json.size();
    benchmark::DoNotOptimize(json.data());
  }
  state.counters["json_bytes"] = double(bytes);
}
BENCHMARK(BM_Export)->Unit(benchmark::kMillisecond);

void BM_Import(benchmark::State& state) {
  const std::string json = textform::ExportProject(sample::Project(100));
  for (auto _ : state) {
    const textform::ImportResult r = textform::ImportProject(json);
    if (!r.project) std::abort();
    benchmark::DoNotOptimize(r.project->data());
  }
}
BENCHMARK(BM_Import)->Unit(benchmark::kMillisecond);

}  // namespace
