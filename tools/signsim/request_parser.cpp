#include "tools/signsim/request_parser.h"

#include <algorithm>

namespace signsim {

namespace {
constexpr std::uint8_t kStx = 0x02;
constexpr std::uint8_t kEtx = 0x03;
constexpr std::size_t kMinFrame = 6;
}  // namespace

void RequestParser::Feed(const std::uint8_t* bytes, std::size_t n, std::vector<ParsedFrame>& out) {
  held_.insert(held_.end(), bytes, bytes + n);
  Scan(out, false);
}

void RequestParser::GiveUp(std::vector<ParsedFrame>& out) {
  Scan(out, true);
}

void RequestParser::Drop(std::size_t n) {
  held_.erase(held_.begin(), held_.begin() + static_cast<std::ptrdiff_t>(n));
  reported_end_ = reported_end_ > n ? reported_end_ - n : 0;
}

void RequestParser::Scan(std::vector<ParsedFrame>& out, bool quiet) {
  std::size_t pos = 0;
  for (;;) {
    while (pos < held_.size() && held_[pos] != kStx) {
      ++pos;
      ++skipped_;
    }
    if (held_.size() - pos < 3) break;
    const std::uint8_t* f = held_.data() + pos;
    const std::size_t length = (std::size_t{f[1]} << 8) | f[2];
    if (length < kMinFrame || length > kMaxRequest) {
      ++pos;
      ++skipped_;
      continue;
    }
    if (held_.size() - pos < length) {
      if (!quiet) break;
      // Nothing more is coming, so this start cannot be one.
      ++pos;
      ++skipped_;
      continue;
    }
    unsigned sum = 0;
    for (std::size_t k = 0; k + 2 < length; ++k) sum += f[k];
    ParsedFrame frame;
    frame.checksum_ok = static_cast<std::uint8_t>(sum) == f[length - 2];
    frame.etx_ok = f[length - 1] == kEtx;
    const bool good = frame.checksum_ok && frame.etx_ok;
    if (good || pos >= reported_end_) {
      frame.bytes.assign(f, f + length);
      out.push_back(std::move(frame));
    }
    if (good) {
      pos += length;
      continue;
    }
    // Perhaps a false start: a real frame may begin inside it.
    reported_end_ = std::max(reported_end_, pos + length);
    ++pos;
    ++skipped_;
  }
  if (quiet) {
    skipped_ += held_.size() - pos;
    pos = held_.size();
  }
  Drop(pos);
}

}  // namespace signsim
