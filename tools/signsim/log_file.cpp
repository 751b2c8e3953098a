#include "tools/signsim/log_file.h"

namespace signsim {

LogFile::~LogFile() {
  Flush();
  if (file_ != nullptr) std::fclose(file_);
}

bool LogFile::Open(const std::string& path, std::size_t max_bytes) {
  std::FILE* f = std::fopen(path.c_str(), "a");
  if (f == nullptr) return false;
  if (file_ != nullptr) std::fclose(file_);
  file_ = f;
  path_ = path;
  max_bytes_ = max_bytes;
  std::fseek(file_, 0, SEEK_END);
  const long at = std::ftell(file_);
  size_ = at > 0 ? static_cast<std::size_t>(at) : 0;
  if (size_ >= max_bytes_) Rotate();
  return true;
}

void LogFile::Line(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  VLine(fmt, ap);
  va_end(ap);
}

void LogFile::VLine(const char* fmt, va_list ap) {
  std::FILE* f = file_ != nullptr ? file_ : stderr;
  const int head = std::fputs("signsim: ", f);
  const int body = std::vfprintf(f, fmt, ap);
  std::fputc('\n', f);
  if (file_ == nullptr || head < 0 || body < 0) return;
  size_ += 9 + static_cast<std::size_t>(body) + 1;
  if (size_ >= max_bytes_) Rotate();
}

void LogFile::Flush() {
  std::fflush(file_ != nullptr ? file_ : stderr);
}

void LogFile::Rotate() {
  // Closing first frees a descriptor, so the new file opens even when they ran out.
  std::fclose(file_);
  file_ = nullptr;
  size_ = 0;
  std::rename(path_.c_str(), (path_ + ".1").c_str());
  file_ = std::fopen(path_.c_str(), "a");
  if (file_ == nullptr) Line("cannot reopen the log %s; logging to standard error", path_.c_str());
}

}  // namespace signsim
