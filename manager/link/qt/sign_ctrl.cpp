#include "manager/link/qt/sign_ctrl.h"

#include "manager/link/exchange.h"
#include "manager/link/frame.h"
#include "manager/link/qt/comm_control.h"

CSignCtrl::CSignCtrl(QObject* parent) : QObject(parent) {}

int CSignCtrl::Create() {
  setObjectName(QStringLiteral("SignCtrl Wnd"));
  return 1;
}

void CSignCtrl::Attach(CCommControl* comm) {
  comm_ = comm;
  if (comm_ != nullptr) comm_->Purge();
}

int CSignCtrl::SendAndWait(const std::uint8_t* frame, int len) {
  if (comm_ == nullptr) return signlink::kSendError;
  return signlink::SerialSendAndWait(*comm_, frame, static_cast<std::size_t>(len));
}

int CSignCtrl::SendAndRead(const std::uint8_t* frame, int len, std::uint8_t* out, int count) {
  if (comm_ == nullptr || count < 0) return signlink::kSendError;
  return signlink::SerialSendAndRead(*comm_, frame, static_cast<std::size_t>(len), out,
                                     static_cast<std::size_t>(count));
}
