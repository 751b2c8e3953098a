#pragma once
// The link the commands talk to: it holds the serial and the TCP/IP link and hands each
// frame to the one the transmit option selects at that moment, so a multi-frame command
// follows a switch made while it runs.

#include "manager/link/sign_link.h"

namespace signlink {

class LinkSwitch : public SignLink {
 public:
  // Neither link is owned; both must outlive the switch.
  LinkSwitch(SignLink& serial, SignLink& tcp) : serial_(serial), tcp_(tcp) {}

  void SetTransmit(Transmit t) { transmit_ = t; }
  Transmit transmit() const { return transmit_; }

  Result SendAndWait(const Frame& request) override { return Selected().SendAndWait(request); }
  Result SendAndRead(const Frame& request, std::uint8_t* out, std::size_t count) override {
    return Selected().SendAndRead(request, out, count);
  }

 private:
  SignLink& Selected() { return transmit_ == Transmit::kTcp ? tcp_ : serial_; }

  SignLink& serial_;
  SignLink& tcp_;
  Transmit transmit_ = Transmit::kSerial;
};

}  // namespace signlink
