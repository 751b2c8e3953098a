#include "manager/link/qt/comm.h"

#include <QSerialPort>

#include "manager/link/port_name.h"

CComm::CComm(QObject* parent) : QObject(parent), port_(new QSerialPort(this)) {
  connect(port_, &QSerialPort::readyRead, this, &CComm::OnReadyRead);
  connect(port_, &QSerialPort::errorOccurred, this, &CComm::OnError);
}

void CComm::OnError(QSerialPort::SerialPortError error) {
  if (!running_ || (error != QSerialPort::ReadError && error != QSerialPort::ResourceError)) return;
  // A hung-up device reports the error at every poll, so the port would spin until it is
  // closed; closing it from inside its own notification is left to the event loop, and a
  // port opened again meanwhile is not the one lost.
  running_ = false;
  QMetaObject::invokeMethod(
      this,
      [this, opening = opening_] {
        if (opening != opening_) return;
        port_->close();
        emit Lost();
      },
      Qt::QueuedConnection);
}

CComm::~CComm() {
  Close();
}

int CComm::Open() {
  Close();
  ++opening_;
  port_->setPortName(QString::fromStdString(
      signlink::SerialOpenPath(device.empty() ? signlink::SerialDevicePath(port_number) : device)));
  if (!port_->open(QIODevice::ReadWrite)) return 0;
  // The line itself must be what was asked for; without it nothing the sign says is read.
  const bool ok = port_->setBaudRate(baud_rate) &&
                  port_->setDataBits(byte_size == 7 ? QSerialPort::Data7 : QSerialPort::Data8) &&
                  port_->setParity(parity == 1   ? QSerialPort::OddParity
                                   : parity == 2 ? QSerialPort::EvenParity
                                                 : QSerialPort::NoParity) &&
                  port_->setStopBits(stop_bits == 1   ? QSerialPort::OneAndHalfStop
                                     : stop_bits == 2 ? QSerialPort::TwoStop
                                                      : QSerialPort::OneStop);
  if (!ok) {
    port_->close();
    return 0;
  }
  // Handshake and modem lines are taken where the device has them; a pseudo-terminal or
  // a three-wire adapter has none, and the line works without them.
  port_->setFlowControl(FlowControl());
  if (!(flow_bits & kFlowRtsCts)) port_->setRequestToSend(true);
  port_->setDataTerminalReady(true);
  port_->clearError();
  port_->clear();
  running_ = true;
  return 1;
}

QSerialPort::FlowControl CComm::FlowControl() const {
  if (flow_bits & kFlowRtsCts) return QSerialPort::HardwareControl;
  if (flow_bits & kFlowXonXoff) return QSerialPort::SoftwareControl;
  return QSerialPort::NoFlowControl;
}

void CComm::Close() {
  if (!port_->isOpen()) {
    running_ = false;
    return;
  }
  running_ = false;
  port_->setDataTerminalReady(false);
  port_->clear();
  port_->close();
}

int CComm::Write(const std::uint8_t* bytes, int n) {
  port_->write(reinterpret_cast<const char*>(bytes), n);
  port_->flush();
  return 1;
}

int CComm::Read(std::uint8_t* dst, int max) {
  if (!running_) return 0;
  const qint64 n = port_->read(reinterpret_cast<char*>(dst), max);
  return n > 0 ? static_cast<int>(n) : 0;
}

void CComm::Purge() {
  if (running_) port_->clear();
}

void CComm::OnReadyRead() {
  std::uint8_t chunk[4096];
  for (;;) {
    const int n = Read(chunk, sizeof chunk);
    if (n == 0) break;
    if (sink_) sink_(chunk, n);
  }
  emit Delivered();
}
