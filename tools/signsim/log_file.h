#pragma once
// Where the simulator's lines go: standard error, or a file kept under a size cap so a
// flood of frames cannot fill the disk. Lines are buffered until Flush.

#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <string>

namespace signsim {

class LogFile {
 public:
  LogFile() = default;
  ~LogFile();
  LogFile(const LogFile&) = delete;
  LogFile& operator=(const LogFile&) = delete;

  // path empty: standard error, not capped. Otherwise lines are appended to path; once it
  // holds max_bytes it is renamed to path + ".1" (replacing an older one) and begun anew,
  // so the two hold at most max_bytes and one line each. False when path cannot be opened.
  bool Open(const std::string& path, std::size_t max_bytes);
  // One line, "signsim: " and the formatted text.
  void Line(const char* fmt, ...) __attribute__((format(printf, 2, 3)));
  void VLine(const char* fmt, va_list ap);
  // Hands buffered lines to the file or standard error.
  void Flush();

 private:
  void Rotate();

  std::FILE* file_ = nullptr;  // null: standard error
  std::string path_;
  std::size_t max_bytes_ = 0;
  std::size_t size_ = 0;
};

}  // namespace signsim
