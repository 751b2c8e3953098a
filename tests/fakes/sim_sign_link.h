#pragma once
// A sign inside the test process: every request goes to the virtual sign's own request
// handling over a zeroed 128 MiB board memory (pages are touched only when written), and
// its reply is checked as the TCP link checks one. Records every request in order and can
// make a chosen request fail without reaching the sign.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "manager/link/sign_link.h"
#include "shared/board_memory.h"
#include "tools/signsim/sign.h"

namespace fakes {

class SimSignLink : public signlink::SignLink {
 public:
  SimSignLink()
      : memory_(static_cast<std::uint8_t*>(std::calloc(board::kMemorySize, 1)), &std::free),
        sign_(memory_.get(), board::kMemorySize) {
    sign_.Preset("VARNO", -1, -1);
  }

  signsim::Sign& sign() { return sign_; }
  std::uint8_t* memory() { return memory_.get(); }
  const std::vector<signlink::Frame>& sent() const { return sent_; }

  // Request number n (1-based, counted over all requests) gets `r` and never reaches the
  // sign; with `andLater`, so does every request after it.
  void Fail(std::size_t n, signlink::Result r, bool andLater = false) {
    fail_at_ = n;
    fail_result_ = r;
    fail_later_ = andLater;
  }

  signlink::Result SendAndWait(const signlink::Frame& request) override {
    return SendAndRead(request, nullptr, 0);
  }
  signlink::Result SendAndRead(const signlink::Frame& request, std::uint8_t* out,
                               std::size_t count) override {
    sent_.push_back(request);
    const std::size_t n = sent_.size();
    if (fail_at_ && (n == *fail_at_ || (fail_later_ && n > *fail_at_))) return fail_result_;
    const signsim::Answer a = sign_.Handle(request);
    if (a.reply.empty()) return signlink::Result::kTimeout;
    const std::size_t expected = count + signlink::kEnvelope;
    const signlink::Result rc = signlink::CheckTcpReply(a.reply.data(), a.reply.size(), expected);
    if (rc != signlink::Result::kOk) return rc;
    if (count == 0) return signlink::Result::kOk;
    if (a.reply.size() < expected) return signlink::Result::kChecksum;
    std::memcpy(out, a.reply.data() + 4, count);
    return signlink::Result::kOk;
  }

 private:
  std::unique_ptr<std::uint8_t, decltype(&std::free)> memory_;
  signsim::Sign sign_;
  std::vector<signlink::Frame> sent_;
  std::optional<std::size_t> fail_at_;
  signlink::Result fail_result_ = signlink::Result::kTimeout;
  bool fail_later_ = false;
};

}  // namespace fakes
