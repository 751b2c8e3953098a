#pragma once
// The preview file seen as the board memory: a board address is a file offset. Every read
// is bounded: bytes past the end of the file, or beyond the 128 MiB board memory, read as
// zero, so a truncated or garbage image can never make a reader leave its buffer.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace sign {

class FlashImage {
 public:
  // A run of bytes at a board address, for images built in memory.
  struct Segment {
    std::uint32_t address = 0;
    std::vector<std::uint8_t> bytes;
  };

  FlashImage() = default;
  ~FlashImage();
  FlashImage(const FlashImage&) = delete;
  FlashImage& operator=(const FlashImage&) = delete;

  // Opens the file read-only; false when it cannot be opened or is not a regular file.
  // Closes what was open.
  bool Open(const std::string& path);
  // Uses segments as the memory; where they overlap the later one wins, the rest is zero.
  void OpenMemory(std::vector<Segment> segments);
  void Close();
  bool isOpen() const { return open_; }

  // Copies length bytes from address into out (which must hold length bytes).
  void Read(std::uint64_t address, std::uint8_t* out, std::size_t length) const;
  std::uint8_t Byte(std::uint64_t address) const;
  std::uint16_t Get16(std::uint64_t address) const;  // big-endian

 private:
  void ReadFile(std::uint64_t address, std::uint8_t* out, std::size_t length) const;
  void ReadMemory(std::uint64_t address, std::uint8_t* out, std::size_t length) const;

  int fd_ = -1;
  bool open_ = false;
  std::vector<Segment> segments_;
};

}  // namespace sign
