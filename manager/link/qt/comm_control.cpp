#include "manager/link/qt/comm_control.h"

#include <QEventLoop>
#include <QTimer>
#include <QWidget>
#include <algorithm>

#include "qtshared/message_box.h"

CCommControl::CCommControl(QWidget* owner)
    : QObject(owner), owner_(owner), ring_(std::make_unique<signlink::ReceiveRing>(clock_, 0)) {
  comm_.SetNotify([this](const std::uint8_t* bytes, int n) {
    ring_->Append(bytes, static_cast<std::size_t>(n));
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
  if (!comm_.running()) {
    ShowMessage(owner_,
                QStringLiteral("통신 포트를 열지 못했습니다.\n설정값을 바꿔 다시 시도 하십시오."),
                QStringLiteral("경고"), MsgButtons::Ok, MsgIcon::Warning);
    return 0;
  }
  return 1;
}

void CCommControl::ClosePort() {
  if (comm_.running()) comm_.Close();
}

int CCommControl::Write(const std::uint8_t* bytes, int n) {
  if (!IsOpen()) {
    ring_->set_status(1);
    return 0;
  }
  ring_->set_status(0);
  comm_.Write(bytes, n);
  return n;
}

int CCommControl::StartTimeout(int ms) {
  if (!IsOpen()) {
    ring_->set_status(1);
    return 1;
  }
  ring_->StartTimeout(ms);
  return 0;
}

int CCommControl::Read(std::uint8_t* dst, int n) {
  return ring_->Read(dst, static_cast<std::size_t>(std::max(n, 0)));
}

void CCommControl::Purge() {
  ring_->Clear();
  comm_.Purge();
}

void CCommControl::AwaitBytes() {
  const std::int64_t left = ring_->deadline() - clock_.NowMs();
  if (left < 0) return;
  QEventLoop loop;
  QTimer timer;
  timer.setSingleShot(true);
  connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
  connect(&comm_, &CComm::Delivered, &loop, &QEventLoop::quit);
  timer.start(static_cast<int>(std::min<std::int64_t>(left + 1, 1000)));
  loop.exec();
}

QString CCommControl::StatusText() const {
  if (!IsOpen()) return QStringLiteral("열린 포트가 없습니다.");
  return QStringLiteral("연결: COM%1, %2 bps").arg(comm_.port_number).arg(comm_.baud_rate);
}
