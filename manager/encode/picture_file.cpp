#include "manager/encode/picture_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include "shared/cp949.h"

namespace encode {

namespace {
struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

File OpenRegular(const std::string& path, std::uint64_t* size) {
  File f(std::fopen(path.c_str(), "rb"));
  if (!f) return nullptr;
  struct stat st {};
  if (fstat(fileno(f.get()), &st) != 0 || !S_ISREG(st.st_mode)) return nullptr;
  *size = static_cast<std::uint64_t>(st.st_size);
  return f;
}
}  // namespace

std::string FileSystemPath(std::string_view cp949Path) {
  return text::Cp949ToUtf8(cp949Path);
}

std::optional<std::uint64_t> PictureFileSize(std::string_view cp949Path) {
  std::uint64_t size = 0;
  if (!OpenRegular(FileSystemPath(cp949Path), &size)) return std::nullopt;
  return size;
}

std::optional<std::vector<std::uint8_t>> ReadPictureBytes(std::string_view cp949Path,
                                                          std::uint64_t at, std::size_t maxBytes) {
  std::uint64_t size = 0;
  File f = OpenRegular(FileSystemPath(cp949Path), &size);
  if (!f) return std::nullopt;
  if (at >= size) return std::vector<std::uint8_t>{};
  const std::uint64_t n = std::min<std::uint64_t>(size - at, maxBytes);
  std::vector<std::uint8_t> out(static_cast<std::size_t>(n));
  if (fseeko(f.get(), static_cast<off_t>(at), SEEK_SET) != 0) return std::nullopt;
  if (n > 0 && std::fread(out.data(), 1, out.size(), f.get()) != out.size()) return std::nullopt;
  return out;
}

}  // namespace encode
