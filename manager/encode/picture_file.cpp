#include "manager/encode/picture_file.h"

#include <algorithm>

#include "shared/cp949.h"
#include "shared/file_io.h"

namespace encode {

std::string FileSystemPath(std::string_view cp949Path) {
  return text::Cp949ToUtf8(cp949Path);
}

std::optional<std::uint64_t> PictureFileSize(std::string_view cp949Path) {
  return fileio::RegularFileSize(FileSystemPath(cp949Path));
}

std::optional<std::vector<std::uint8_t>> ReadPictureBytes(std::string_view cp949Path,
                                                          std::uint64_t at, std::size_t maxBytes) {
  const fileio::RegularFile file(FileSystemPath(cp949Path));
  if (!file.ok()) return std::nullopt;
  if (at >= file.size()) return std::vector<std::uint8_t>{};
  return file.ReadAt(at,
                     static_cast<std::size_t>(std::min<std::uint64_t>(file.size() - at, maxBytes)));
}

}  // namespace encode
