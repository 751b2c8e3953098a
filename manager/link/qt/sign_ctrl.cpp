#include "manager/link/qt/sign_ctrl.h"

#include "manager/link/exchange.h"
#include "manager/link/qt/comm_control.h"

using signlink::Result;

CSignCtrl::CSignCtrl(QObject* parent) : QObject(parent) {}

int CSignCtrl::Create() {
  setObjectName(QStringLiteral("SignCtrl Wnd"));
  return 1;
}

void CSignCtrl::Attach(CCommControl* comm) {
  comm_ = comm;
  if (comm_ != nullptr) comm_->Purge();
}

Result CSignCtrl::SendAndWait(const signlink::Frame& request) {
  if (comm_ == nullptr) return Result::kSendError;
  comm_->ReopenIfLost();
  return signlink::SerialSendAndWait(*comm_, request.data(), request.size());
}

Result CSignCtrl::SendAndRead(const signlink::Frame& request, std::uint8_t* out,
                              std::size_t count) {
  if (comm_ == nullptr) return Result::kSendError;
  comm_->ReopenIfLost();
  return signlink::SerialSendAndRead(*comm_, request.data(), request.size(), out, count);
}
