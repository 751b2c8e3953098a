#pragma once
// Source pictures are named by CP949 paths as the items store them; the file system
// takes UTF-8, so the path is converted before opening.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace encode {

// The path as the file system spells it.
std::string FileSystemPath(std::string_view cp949Path);

// Size of the file in bytes, or nullopt when it is not a regular file (a FIFO or a device
// is never opened in a way that could block) or cannot be opened.
std::optional<std::uint64_t> PictureFileSize(std::string_view cp949Path);

// Up to maxBytes bytes from offset `at` (fewer at the end of the file); nullopt when the
// file cannot be opened or read.
std::optional<std::vector<std::uint8_t>> ReadPictureBytes(std::string_view cp949Path,
                                                          std::uint64_t at, std::size_t maxBytes);

}  // namespace encode
