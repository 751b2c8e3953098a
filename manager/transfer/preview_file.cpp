#include "manager/transfer/preview_file.h"

#include <algorithm>

#include "manager/transfer/picture_cache.h"
#include "shared/board_memory.h"
#include "shared/file_io.h"

namespace transfer {

std::string PreviewFolder(const std::string& programDir) {
  std::string dir = programDir;
  if (!dir.empty() && dir.back() != '/') dir += '/';
  return dir + "PREVIEW/";
}

PreviewReport WritePreview(const std::string& path, std::span<const item::ItemRecord> list,
                           const PreviewSettings& settings, const PreviewProgress& progress,
                           encode::PictureSource& source) {
  PictureCache pictures(source);
  PreviewReport report;
  const std::size_t n = std::min(list.size(), static_cast<std::size_t>(board::kMaxItems));
  {
    encode::ProgramLayout plan(pictures);
    for (std::size_t i = 0; i < n; ++i) report.total += encode::PreviewSteps(plan.Next(list[i]));
  }
  if (progress.begin) progress.begin(report.total);
  struct EndProgress {
    const PreviewProgress& p;
    ~EndProgress() {
      if (p.end) p.end();
    }
  } endProgress{progress};
  const auto step = [&] {
    ++report.steps;
    if (progress.step) progress.step();
  };

  // A whole new file, so a previewer still playing the old one keeps reading it whole.
  fileio::ReplacingFile file(path);
  if (!file.SetLength(board::kMemorySize)) return report;
  const auto put = [&](std::uint32_t at, const std::uint8_t* data, std::size_t size) {
    file.WriteAt(at, data, size);
    report.bytes += size;
  };
  const auto putWrite = [&](const encode::MemoryWrite& w) {
    put(w.address, w.bytes.data(), w.bytes.size());
  };

  // Pictures that cannot be read leave their bytes alone, as the layout says; the header
  // still goes out with the address they would have had.
  encode::ProgramLayout layout(pictures);
  for (std::size_t i = 0; i < n; ++i) {
    const encode::ItemLayout item = layout.Next(list[i]);
    for (const encode::MemoryWrite& w : item.writes) putWrite(w);
    if (item.frames > 0) {
      for (int k = 0; k < item.frames; ++k) {
        for (const encode::MemoryWrite& w : item.FrameWrites(k)) putWrite(w);
        step();
      }
    } else if (encode::PreviewSteps(item) > 0) {
      step();
    }
  }
  const std::uint8_t size[2] = {settings.width, settings.rowsCode};
  put(board::kWidth, size, 2);
  putWrite(encode::CountWrite(static_cast<int>(n)));
  put(board::kConnection, &settings.connection, 1);
  report.items = static_cast<int>(n);
  report.written = file.Commit() == 0;
  return report;
}

PreviewReport WritePreview(const std::string& path, std::span<const item::ItemRecord> list,
                           const PreviewSettings& settings, const PreviewProgress& progress) {
  encode::FilePictures files;
  return WritePreview(path, list, settings, progress, files);
}

}  // namespace transfer
