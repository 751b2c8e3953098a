#pragma once
// The serial link: runs the exchanges over the serial wrapper, which it does not own.

#include <QObject>
#include <cstdint>

#include "manager/link/sign_link.h"

class CCommControl;

class CSignCtrl : public QObject, public signlink::SignLink {
  Q_OBJECT

 public:
  explicit CSignCtrl(QObject* parent = nullptr);

  // Names the window "SignCtrl Wnd"; nonzero on success.
  int Create();
  // Uses comm for every exchange from now on and purges it.
  void Attach(CCommControl* comm);

  // A port lost to a hang-up is opened again first. kSendError when no wrapper is
  // attached or the port is not open.
  signlink::Result SendAndWait(const signlink::Frame& request) override;
  signlink::Result SendAndRead(const signlink::Frame& request, std::uint8_t* out,
                               std::size_t count) override;

 private:
  CCommControl* comm_ = nullptr;
};
