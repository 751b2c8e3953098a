#include "manager/transfer/preview_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "manager/transfer/picture_cache.h"
#include "shared/board_memory.h"

namespace transfer {

namespace {

class File {
 public:
  explicit File(const std::string& path) : fd_(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644)) {}
  ~File() {
    if (fd_ >= 0) ::close(fd_);
  }
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  // Open, and at least as long as the board memory; a shorter file is extended with a
  // hole, which reads as zeros.
  bool Ready() const {
    if (fd_ < 0) return false;
    struct stat st {};
    if (::fstat(fd_, &st) != 0) return false;
    return st.st_size >= static_cast<off_t>(board::kMemorySize) ||
           ::ftruncate(fd_, static_cast<off_t>(board::kMemorySize)) == 0;
  }

  bool Put(std::uint32_t at, const std::uint8_t* data, std::size_t n) {
    while (n > 0) {
      const ssize_t done = ::pwrite(fd_, data, n, static_cast<off_t>(at));
      if (done < 0 && errno == EINTR) continue;
      if (done <= 0) return ok_ = false;
      data += done;
      at += static_cast<std::uint32_t>(done);
      n -= static_cast<std::size_t>(done);
      bytes_ += static_cast<std::uint64_t>(done);
    }
    return true;
  }
  bool Put(const encode::MemoryWrite& w) { return Put(w.address, w.bytes.data(), w.bytes.size()); }

  bool Close() {
    const bool closed = ::close(fd_) == 0;
    fd_ = -1;
    return ok_ && closed;
  }
  std::uint64_t bytes() const { return bytes_; }

 private:
  int fd_;
  bool ok_ = true;
  std::uint64_t bytes_ = 0;
};

}  // namespace

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

  File file(path);
  if (!file.Ready()) return report;

  // Pictures that cannot be read leave their bytes alone, as the layout says; the header
  // still goes out with the address they would have had.
  encode::ProgramLayout layout(pictures);
  for (std::size_t i = 0; i < n; ++i) {
    const encode::ItemLayout item = layout.Next(list[i]);
    for (const encode::MemoryWrite& w : item.writes) file.Put(w);
    if (item.frames > 0) {
      for (int k = 0; k < item.frames; ++k) {
        for (const encode::MemoryWrite& w : item.FrameWrites(k)) file.Put(w);
        step();
      }
    } else if (encode::PreviewSteps(item) > 0) {
      step();
    }
  }
  const std::uint8_t size[2] = {settings.width, settings.rowsCode};
  file.Put(board::kWidth, size, 2);
  file.Put(encode::CountWrite(static_cast<int>(n)));
  file.Put(board::kConnection, &settings.connection, 1);
  report.items = static_cast<int>(n);
  report.bytes = file.bytes();
  report.written = file.Close();
  return report;
}

PreviewReport WritePreview(const std::string& path, std::span<const item::ItemRecord> list,
                           const PreviewSettings& settings, const PreviewProgress& progress) {
  encode::FilePictures files;
  return WritePreview(path, list, settings, progress, files);
}

}  // namespace transfer
