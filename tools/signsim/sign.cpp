#include "tools/signsim/sign.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "shared/board_memory.h"

namespace signsim {

namespace {

std::string Hex(std::uint32_t v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%06X", v);
  return buf;
}

Answer Refuse(std::string what, std::string problem) {
  return Answer{{}, std::move(what), std::move(problem)};
}

}  // namespace

std::vector<std::uint8_t> ReplyFrame(std::uint8_t command, const std::uint8_t* data,
                                     std::size_t n) {
  std::vector<std::uint8_t> f(n + 6);
  f[0] = 0x02;
  board::Put16(&f[1], static_cast<std::uint16_t>(f.size()));
  f[3] = command;
  if (n > 0) std::memcpy(&f[4], data, n);
  unsigned sum = 0;
  for (std::size_t i = 0; i + 2 < f.size(); ++i) sum += f[i];
  f[f.size() - 2] = static_cast<std::uint8_t>(sum);
  f[f.size() - 1] = 0x03;
  return f;
}

Answer Sign::Handle(const std::vector<std::uint8_t>& frame) {
  if (frame.size() < 6) return Refuse("short frame", "not a frame");
  const std::uint8_t cmd = frame[3];
  const std::uint8_t* d = frame.data() + 4;
  const std::size_t n = frame.size() - 6;
  const auto ack = [cmd](std::string what) {
    return Answer{ReplyFrame(cmd, nullptr, 0), std::move(what), {}};
  };
  switch (cmd) {
    case 0x21: {
      if (n != 7) return Refuse("clock-set", "data length " + std::to_string(n));
      char buf[64];
      std::snprintf(buf, sizeof buf, "clock-set %04u-%02u-%02u %02u:%02u:%02u",
                    unsigned{board::Get16(d)}, d[2], d[3], d[4], d[5], d[6]);
      return ack(buf);
    }
    case 0x23: {
      if (n < 6) return Refuse("memory-write", "data length " + std::to_string(n));
      const std::uint32_t addr = board::Get32(d);
      const std::size_t count = board::Get16(d + 4);
      std::string what = "memory-write addr " + Hex(addr) + " len " + std::to_string(count);
      if (count != n - 6) return Refuse(what, "count does not match the frame");
      if (addr > size_ || count > size_ - addr) return Refuse(what, "outside the board memory");
      if (count > 0) std::memcpy(memory_ + addr, d + 6, count);
      return ack(what);
    }
    case 0x24: {
      if (n != 6) return Refuse("memory-read", "data length " + std::to_string(n));
      const std::uint32_t addr = board::Get32(d);
      const std::size_t count = board::Get16(d + 4);
      std::string what = "memory-read addr " + Hex(addr) + " len " + std::to_string(count);
      if (count + 6 > 0xFFFF) return Refuse(what, "reply too long");
      if (addr > size_ || count > size_ - addr) return Refuse(what, "outside the board memory");
      return Answer{ReplyFrame(cmd, memory_ + addr, count), what, {}};
    }
    case 0x25:
      if (n != 0) return Refuse("apply", "data length " + std::to_string(n));
      return ack("apply");
    case 0x26: {
      if (n < 1) return Refuse("event-block", "no block number");
      const std::uint8_t block = d[0];
      std::string what = "event-block " + std::to_string(block) + " len " + std::to_string(n - 1);
      if (block == 0 && n - 1 == 32) {
        std::memcpy(event_header_, d + 1, 32);
      } else if ((block == 1 || block == 2) && n - 1 == 2048) {
        std::memcpy(event_pages_.data() + (block - 1) * 2048, d + 1, 2048);
      } else {
        return Refuse(what, "unexpected block");
      }
      return ack(what);
    }
    case 0x27:
      if (n != 0) return Refuse("event-start", "data length " + std::to_string(n));
      event_running_ = true;
      return ack("event-start");
    case 0x28:
      if (n != 0) return Refuse("event-cancel", "data length " + std::to_string(n));
      event_running_ = false;
      return ack("event-cancel");
    case 0x29: {
      if (n != 8) return Refuse("news", "data length " + std::to_string(n));
      std::memcpy(news_, d, 8);
      std::string what = "news ";
      for (int i = 0; i < 8; ++i) what += news_[i] ? '1' : '0';
      return ack(what);
    }
    default: {
      char buf[32];
      std::snprintf(buf, sizeof buf, "command 0x%02X", cmd);
      return Refuse(buf, "unknown command");
    }
  }
}

void Sign::Preset(const std::string& model, int width, int rows) {
  std::uint8_t id[8] = {};
  std::memcpy(id, model.data(), std::min<std::size_t>(model.size(), 8));
  std::memcpy(memory_ + board::kModelId, id, 8);
  if (width >= 0) memory_[board::kWidth] = static_cast<std::uint8_t>(width);
  if (rows >= 0) memory_[board::kRowsCode] = static_cast<std::uint8_t>(rows);
}

}  // namespace signsim
