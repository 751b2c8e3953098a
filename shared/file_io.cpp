#include "shared/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string_view>

namespace fileio {

namespace {

// The folder part of a path ("." for a bare name).
std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// A link is replaced at its target, so a project reached through a link stays linked.
std::string ResolvedTarget(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char resolved[PATH_MAX];
  return ::realpath(path.c_str(), resolved) ? std::string(resolved) : path;
}

}  // namespace

RegularFile::RegularFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    error_ = errno;
    return;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    error_ = errno;
  } else if (S_ISDIR(st.st_mode)) {
    error_ = EISDIR;
  } else if (!S_ISREG(st.st_mode)) {
    error_ = ENODEV;
  } else {
    fd_ = fd;
    size_ = static_cast<std::uint64_t>(st.st_size);
    return;
  }
  ::close(fd);
}

RegularFile::~RegularFile() {
  if (fd_ >= 0) ::close(fd_);
}

std::optional<std::vector<std::uint8_t>> RegularFile::ReadAt(std::uint64_t offset,
                                                            std::size_t length) const {
  if (fd_ < 0) return std::nullopt;
  std::vector<std::uint8_t> out(length);
  std::size_t got = 0;
  while (got < length) {
    const ssize_t n = ::pread(fd_, out.data() + got, length - got, static_cast<off_t>(offset + got));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return std::nullopt;
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  out.resize(got);
  return out;
}

std::optional<std::uint64_t> RegularFileSize(const std::string& path) {
  const RegularFile f(path);
  if (!f.ok()) return std::nullopt;
  return f.size();
}

std::optional<std::vector<std::uint8_t>> ReadRegularFile(const std::string& path,
                                                         std::uint64_t maxBytes, int* error) {
  const RegularFile f(path);
  int why = f.error();
  std::optional<std::vector<std::uint8_t>> bytes;
  if (f.ok() && f.size() > maxBytes) {
    why = EFBIG;
  } else if (f.ok()) {
    bytes = f.ReadAt(0, static_cast<std::size_t>(f.size()));
    if (!bytes) why = errno;
  }
  if (error) *error = bytes ? 0 : why;
  return bytes;
}

ReplacingFile::ReplacingFile(const std::string& path) : path_(ResolvedTarget(path)) {
  temp_ = path_ + ".XXXXXX";
  fd_ = ::mkstemp(temp_.data());
  if (fd_ < 0) {
    temp_.clear();
    Fail(errno);
    return;
  }
  // mkstemp makes the file private; a replaced file keeps its permissions, a new one gets
  // the usual ones.
  struct stat old {};
  if (::stat(path_.c_str(), &old) == 0) {
    ::fchmod(fd_, old.st_mode & 07777);
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd_, 0666 & ~mask);
  }
}

ReplacingFile::~ReplacingFile() {
  if (fd_ >= 0) ::close(fd_);
  if (!temp_.empty()) ::unlink(temp_.c_str());
}

bool ReplacingFile::Fail(int error) {
  if (error_ == 0) error_ = error;
  return false;
}

bool ReplacingFile::SetLength(std::uint64_t length) {
  if (error_ != 0) return false;
  return ::ftruncate(fd_, static_cast<off_t>(length)) == 0 || Fail(errno);
}

bool ReplacingFile::WriteAt(std::uint64_t offset, const std::uint8_t* data, std::size_t n) {
  if (error_ != 0) return false;
  while (n > 0) {
    const ssize_t done = ::pwrite(fd_, data, n, static_cast<off_t>(offset));
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) return Fail(done < 0 ? errno : EIO);
    data += done;
    offset += static_cast<std::uint64_t>(done);
    n -= static_cast<std::size_t>(done);
  }
  return true;
}

int ReplacingFile::Commit() {
  if (error_ != 0) return error_;
  if (::fsync(fd_) != 0) Fail(errno);
  if (::close(fd_) != 0) Fail(errno);
  fd_ = -1;
  if (error_ == 0 && ::rename(temp_.c_str(), path_.c_str()) != 0) Fail(errno);
  if (error_ != 0) return error_;
  temp_.clear();
  const int dir = ::open(FolderOf(path_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return 0;
}

int WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes) {
  ReplacingFile file(path);
  file.WriteAt(0, bytes.data(), bytes.size());
  return file.Commit();
}

std::string FailureReason(int error) {
  switch (error) {
    case ENOSPC:
      return "디스크 공간이 부족합니다";
    case EDQUOT:
      return "디스크 사용 한도를 넘었습니다";
    case EFBIG:
      return "파일이 너무 큽니다";
    case EACCES:
    case EPERM:
      return "접근 권한이 없습니다";
    case EROFS:
      return "읽기 전용 디스크입니다";
    case ENOENT:
      return "파일이나 폴더가 없습니다";
    case ENOTDIR:
      return "폴더가 아닌 경로입니다";
    case EISDIR:
      return "폴더입니다";
    case ENODEV:
      return "일반 파일이 아닙니다";
    case ENAMETOOLONG:
      return "경로가 너무 깁니다";
    case EIO:
      return "입출력 오류입니다";
    default:
      return "오류 " + std::to_string(error);
  }
}

}  // namespace fileio
