#include "tools/signsim/request_parser.h"

namespace signsim {

namespace {
constexpr std::uint8_t kStx = 0x02;
constexpr std::uint8_t kEtx = 0x03;
constexpr std::size_t kMinFrame = 6;
}  // namespace

void RequestParser::Feed(const std::uint8_t* bytes, std::size_t n, std::vector<ParsedFrame>& out) {
  for (std::size_t i = 0; i < n; ++i) {
    const std::uint8_t b = bytes[i];
    if (pending_.empty()) {
      if (b == kStx) {
        pending_.push_back(b);
      } else {
        ++skipped_;
      }
      continue;
    }
    pending_.push_back(b);
    if (pending_.size() < 3) continue;
    const std::size_t length = (std::size_t{pending_[1]} << 8) | pending_[2];
    if (length < kMinFrame) {
      // Not a frame start after all: drop the STX and look again in what followed it.
      std::vector<std::uint8_t> rest(pending_.begin() + 1, pending_.end());
      pending_.clear();
      ++skipped_;
      Feed(rest.data(), rest.size(), out);
      continue;
    }
    if (pending_.size() < length) continue;
    unsigned sum = 0;
    for (std::size_t k = 0; k + 2 < length; ++k) sum += pending_[k];
    ParsedFrame f;
    f.checksum_ok = static_cast<std::uint8_t>(sum) == pending_[length - 2];
    f.etx_ok = pending_[length - 1] == kEtx;
    f.bytes.swap(pending_);
    out.push_back(std::move(f));
  }
}

}  // namespace signsim
