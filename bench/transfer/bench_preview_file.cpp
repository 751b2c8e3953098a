// Writing the preview file of a 100-item list, 20 of them pictures (10 bitmaps of 320 x 32,
// 10 animations of 8 frames of 160 x 32): time, bytes the file really takes on disk, and
// the process's peak memory.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "manager/transfer/preview_file.h"
#include "shared/cp949.h"
#include "tests/support/picture_builders.h"

namespace {

std::vector<item::ItemRecord> Program(const std::filesystem::path& dir) {
  const std::string bmp = (dir / "picture.bmp").string();
  encode_test::WriteFile(bmp, encode_test::MakeBmp24(320, 32, [](int x, int y) {
                           return encode_test::Rgb{static_cast<std::uint8_t>(x),
                                                   static_cast<std::uint8_t>(y * 8), 0};
                         }));
  const std::string gif = (dir / "movie.gif").string();
  encode_test::GifBuilder g(160, 32, {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {255, 255, 0}});
  for (int k = 0; k < 8; ++k) {
    std::vector<std::uint8_t> dots(160 * 32);
    for (std::size_t i = 0; i < dots.size(); ++i) dots[i] = static_cast<std::uint8_t>((i / 7 + k) % 4);
    g.Gce(10, 0).Image(0, 0, 160, 32, dots);
  }
  encode_test::WriteFile(gif, g.Finish());
  std::vector<item::ItemRecord> list;
  for (int i = 0; i < 100; ++i) {
    item::ItemRecord r;
    const int kind = i % 5 == 0 ? (i % 10 == 0 ? 3 : 4) : i % 3;
    r.header.setKind(static_cast<item::ItemKind>(kind));
    text::WriteTextQuarter(r.body.textA, kind == 3 ? bmp : kind == 4 ? gif : "text " + std::to_string(i));
    r.body.attrA.fill(0x12);
    list.push_back(r);
  }
  return list;
}

void BM_PreviewFile100Items20Pictures(benchmark::State& state) {
  const auto dir = std::filesystem::temp_directory_path() / ("bench_preview_" + std::to_string(::getpid()));
  std::filesystem::create_directories(dir);
  const std::vector<item::ItemRecord> list = Program(dir);
  const std::string path = (dir / "preview.tmp").string();
  std::uint64_t onDisk = 0, written = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove(path);  // every run makes the file anew
    state.ResumeTiming();
    const transfer::PreviewReport r = transfer::WritePreview(path, list, {});
    if (!r.written) {
      state.SkipWithError("preview not written");
      break;
    }
    written = r.bytes;
    struct stat st {};
    ::stat(path.c_str(), &st);
    onDisk = static_cast<std::uint64_t>(st.st_blocks) * 512u;
  }
  struct rusage usage {};
  ::getrusage(RUSAGE_SELF, &usage);
  state.counters["program_bytes"] = static_cast<double>(written);
  state.counters["disk_bytes"] = static_cast<double>(onDisk);
  state.counters["peak_rss_MiB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
  std::filesystem::remove_all(dir);
}
BENCHMARK(BM_PreviewFile100Items20Pictures)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
