#pragma once
// Whole files in and out, safely: reading never blocks on a FIFO or a device and never
// takes more than the caller allows; writing replaces a file only once the new bytes are
// on disk, so a full disk or a kill mid-write leaves the old file as it was.
// Paths are in the file system's encoding. Failures are errno values (0: success).

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace fileio {

// A file opened for reading that is known to be a regular file. Opening does not block
// (a FIFO without a writer, a terminal) and follows symbolic links.
class RegularFile {
 public:
  // Not a regular file: error() is ENODEV (a device, FIFO or socket) or EISDIR.
  explicit RegularFile(const std::string& path);
  ~RegularFile();
  RegularFile(const RegularFile&) = delete;
  RegularFile& operator=(const RegularFile&) = delete;

  bool ok() const { return fd_ >= 0; }
  int error() const { return error_; }
  std::uint64_t size() const { return size_; }
  // Reads up to `length` bytes at `offset`, fewer only at the end of the file; nullopt on
  // a read error.
  std::optional<std::vector<std::uint8_t>> ReadAt(std::uint64_t offset, std::size_t length) const;

 private:
  int fd_ = -1;
  int error_ = 0;
  std::uint64_t size_ = 0;
};

// Size of a regular file; nullopt for a missing file or anything else (device, FIFO, folder).
std::optional<std::uint64_t> RegularFileSize(const std::string& path);

// The whole of a regular file of at most maxBytes bytes; nullopt when it is not a regular
// file, is larger, or cannot be read (*error, when given, says why; EFBIG for too large).
std::optional<std::vector<std::uint8_t>> ReadRegularFile(const std::string& path,
                                                         std::uint64_t maxBytes,
                                                         int* error = nullptr);

// The whole new content of a file, written piece by piece into a temporary file in the
// same folder and put in place by Commit: flushed to disk, renamed over the path, the
// folder flushed. Until then the old file is untouched (a reader that has it open keeps
// reading it), and without a successful Commit the temporary file is removed. What no
// piece covers reads as zeros and takes no disk. A path that is a symbolic link is
// replaced at its target.
class ReplacingFile {
 public:
  explicit ReplacingFile(const std::string& path);
  ~ReplacingFile();
  ReplacingFile(const ReplacingFile&) = delete;
  ReplacingFile& operator=(const ReplacingFile&) = delete;

  // Sets the file's length; false on failure.
  bool SetLength(std::uint64_t length);
  // Writes n bytes at offset; false on failure.
  bool WriteAt(std::uint64_t offset, const std::uint8_t* data, std::size_t n);
  // Puts the new content in place; the first errno met, or 0.
  int Commit();

 private:
  bool Fail(int error);

  std::string path_;
  std::string temp_;
  int fd_ = -1;
  int error_ = 0;
};

// Writes bytes as the whole new content of path (a ReplacingFile). On failure the old file
// is untouched, no temporary file is left, and the errno is returned.
int WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes);

// One Korean line saying why a file could not be written or read ("디스크 공간이 부족합니다").
std::string FailureReason(int error);

}  // namespace fileio
