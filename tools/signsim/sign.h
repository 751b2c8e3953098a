#pragma once
// What the virtual sign does with one request frame: memory writes and reads act on the
// board memory, every other command of the contract is acknowledged. Replies carry the
// request's command byte in byte 3.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace signsim {

struct Answer {
  std::vector<std::uint8_t> reply;  // empty: the request gets no reply
  std::string what;                 // command, address and length, for the log
  std::string problem;              // why there is no reply; empty when answered
};

class Sign {
 public:
  // memory: the board memory of `size` bytes, not owned.
  Sign(std::uint8_t* memory, std::size_t size) : memory_(memory), size_(size) {}

  // frame: a whole request, STX to ETX, whose checksum was found right.
  Answer Handle(const std::vector<std::uint8_t>& frame);

  // The settings block preset: model identifier (8 bytes, zero padded, cut at 8), and
  // width and rows where given (negative: left as they are).
  void Preset(const std::string& model, int width, int rows);

  const std::uint8_t* event_header() const { return event_header_; }
  bool event_running() const { return event_running_; }
  const std::uint8_t* news() const { return news_; }

 private:
  std::uint8_t* memory_;
  std::size_t size_;
  std::uint8_t event_header_[32] = {};
  std::vector<std::uint8_t> event_pages_ = std::vector<std::uint8_t>(4096);
  bool event_running_ = false;
  std::uint8_t news_[8] = {};
};

// A reply frame around data.
std::vector<std::uint8_t> ReplyFrame(std::uint8_t command, const std::uint8_t* data, std::size_t n);

}  // namespace signsim
