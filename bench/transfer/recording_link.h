#pragma once
// A link that hands every frame to another and keeps it, so the benchmark knows what the
// download wrote.

#include <vector>

#include "manager/link/sign_link.h"

namespace transfer_test {

class RecordingLink : public signlink::SignLink {
 public:
  explicit RecordingLink(signlink::SignLink& link) : link_(link) {}
  signlink::Result SendAndWait(const signlink::Frame& f) override {
    sent.push_back(f);
    return link_.SendAndWait(f);
  }
  signlink::Result SendAndRead(const signlink::Frame& f, std::uint8_t* out, std::size_t n) override {
    sent.push_back(f);
    return link_.SendAndRead(f, out, n);
  }
  std::vector<signlink::Frame> sent;

 private:
  signlink::SignLink& link_;
};

}  // namespace transfer_test
