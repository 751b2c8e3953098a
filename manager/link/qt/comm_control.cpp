#include "manager/link/qt/comm_control.h"

#include <QEventLoop>
#include <QTimer>
#include <algorithm>

#include "manager/link/link_text.h"

CCommControl::CCommControl(QObject* parent)
    : QObject(parent), ring_(std::make_unique<signlink::ReceiveRing>(clock_, 0)) {
  comm_.SetNotify([this](const std::uint8_t* bytes, int n) {
    ring_->Append(bytes, static_cast<std::size_t>(n));
  });
  connect(&comm_, &CComm::Lost, this, [this] {
    lost_ = true;
    emit StatusChanged();
  });
}

CCommControl::~CCommControl() {
  ClosePort();
}

int CCommControl::Create(int port, int baud, int ring_size) {
  ring_ = std::make_unique<signlink::ReceiveRing>(clock_,
                                                  static_cast<std::size_t>(std::max(ring_size, 0)));
  comm_.baud_rate = baud;
  comm_.port_number = static_cast<std::uint8_t>(port);
  return OpenPort();
}

int CCommControl::OpenPort() {
  comm_.Open();
  if (comm_.running()) lost_ = false;
  return comm_.running() ? 1 : 0;
}

void CCommControl::ClosePort() {
  lost_ = false;
  if (comm_.running()) comm_.Close();
}

bool CCommControl::ReopenIfLost() {
  if (lost_ && OpenPort() == 1) emit StatusChanged();
  return IsOpen();
}

int CCommControl::Write(const std::uint8_t* bytes, int n) {
  if (!IsOpen()) {
    ring_->set_status(signlink::SerialRead::kPortClosed);
    return 0;
  }
  ring_->set_status(signlink::SerialRead::kComplete);
  comm_.Write(bytes, n);
  return n;
}

bool CCommControl::StartTimeout(int ms) {
  if (!IsOpen()) {
    ring_->set_status(signlink::SerialRead::kPortClosed);
    return false;
  }
  ring_->StartTimeout(ms);
  return true;
}

signlink::SerialRead CCommControl::Read(std::uint8_t* dst, int n) {
  const signlink::SerialRead s = ring_->Read(dst, static_cast<std::size_t>(std::max(n, 0)));
  if (s != signlink::SerialRead::kWaiting || IsOpen()) return s;
  ring_->set_status(signlink::SerialRead::kPortClosed);
  return signlink::SerialRead::kPortClosed;
}

void CCommControl::Purge() {
  ring_->Clear();
  comm_.Purge();
}

void CCommControl::AwaitBytes() {
  const std::int64_t left = ring_->deadline() - clock_.NowMs();
  if (left < 0 || !IsOpen()) return;
  QEventLoop loop;
  QTimer timer;
  timer.setSingleShot(true);
  connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
  connect(&comm_, &CComm::Delivered, &loop, &QEventLoop::quit);
  connect(&comm_, &CComm::Lost, &loop, &QEventLoop::quit);
  timer.start(static_cast<int>(std::min<std::int64_t>(left + 1, 1000)));
  loop.exec();
}

std::string CCommControl::StatusText() const {
  return signlink::SerialLinkText(IsOpen(), comm_.port_number, comm_.baud_rate);
}
