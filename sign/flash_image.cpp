#include "sign/flash_image.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "shared/board_memory.h"

namespace sign {

FlashImage::~FlashImage() {
  Close();
}

bool FlashImage::Open(const std::string& path) {
  Close();
  // Non-blocking, so a FIFO of that name cannot hang the open; only a regular file is an image.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  open_ = true;
  return true;
}

void FlashImage::OpenMemory(std::vector<Segment> segments) {
  Close();
  segments_ = std::move(segments);
  open_ = true;
}

void FlashImage::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  segments_.clear();
  open_ = false;
}

void FlashImage::Read(std::uint64_t address, std::uint8_t* out, std::size_t length) const {
  if (length == 0) return;
  std::memset(out, 0, length);
  if (!open_ || address >= board::kMemorySize) return;
  const std::size_t inside =
      static_cast<std::size_t>(std::min<std::uint64_t>(length, board::kMemorySize - address));
  if (fd_ >= 0) {
    ReadFile(address, out, inside);
  } else {
    ReadMemory(address, out, inside);
  }
}

void FlashImage::ReadFile(std::uint64_t address, std::uint8_t* out, std::size_t length) const {
  std::size_t done = 0;
  while (done < length) {
    const ssize_t got = ::pread(fd_, out + done, length - done, static_cast<off_t>(address + done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) break;  // end of file: the rest stays zero
    done += static_cast<std::size_t>(got);
  }
}

void FlashImage::ReadMemory(std::uint64_t address, std::uint8_t* out, std::size_t length) const {
  const std::uint64_t end = address + length;
  for (const Segment& s : segments_) {
    const std::uint64_t from = std::max<std::uint64_t>(address, s.address);
    const std::uint64_t to =
        std::min<std::uint64_t>(end, std::uint64_t{s.address} + s.bytes.size());
    if (from >= to) continue;
    std::memcpy(out + (from - address), s.bytes.data() + (from - s.address),
                static_cast<std::size_t>(to - from));
  }
}

std::uint8_t FlashImage::Byte(std::uint64_t address) const {
  std::uint8_t b = 0;
  Read(address, &b, 1);
  return b;
}

std::uint16_t FlashImage::Get16(std::uint64_t address) const {
  std::uint8_t b[2];
  Read(address, b, 2);
  return board::Get16(b);
}

}  // namespace sign
