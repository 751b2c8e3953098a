#include "manager/link/qt/sign_links.h"

#include "manager/link/link_text.h"

SignLinks::SignLinks(QObject* parent) : QObject(parent) {
  ctrl_.Create();
  ctrl_.Attach(&comm_);
  connect(&comm_, &CCommControl::StatusChanged, this, &SignLinks::LinkTextChanged);
}

SignLinks::~SignLinks() {
  comm_.ClosePort();
}

bool SignLinks::Open() {
  const bool open = comm_.OpenPort() == 1;
  // Attaching purges what the old port left in the ring.
  ctrl_.Attach(&comm_);
  return open;
}

bool SignLinks::OpenSerial(int port, int baud) {
  comm_.ClosePort();
  comm_.comm().device.clear();
  comm_.comm().port_number = static_cast<std::uint8_t>(port);
  comm_.comm().baud_rate = baud;
  return Open();
}

bool SignLinks::OpenSerialDevice(const std::string& path, int baud) {
  comm_.ClosePort();
  comm_.comm().device = path;
  comm_.comm().baud_rate = baud;
  return Open();
}

signlink::SerialLine SignLinks::Line() {
  const CComm& c = comm_.comm();
  return {c.port_number, c.baud_rate, c.byte_size, c.parity, c.stop_bits, c.flow_bits};
}

bool SignLinks::ApplyLine(const signlink::SerialLine& line) {
  comm_.ClosePort();
  CComm& c = comm_.comm();
  c.device.clear();
  c.port_number = static_cast<std::uint8_t>(line.port);
  c.baud_rate = line.baud;
  c.byte_size = static_cast<std::uint8_t>(line.dataBits);
  c.parity = static_cast<std::uint8_t>(line.parity);
  c.stop_bits = static_cast<std::uint8_t>(line.stopBits);
  c.flow_bits = line.flowBits;
  return Open();
}

void SignLinks::ConnectTcp(std::uint32_t ip, std::uint16_t port) {
  tcpIp_ = ip;
  tcpPort_ = port;
  tcp_.Connect(QString::fromStdString(signlink::DottedAddress(ip)), port);
}

void SignLinks::ConnectTcp(const QString& host, std::uint16_t port) {
  tcpIp_ = 0;
  tcpPort_ = port;
  tcp_.Connect(host, port);
}

std::string SignLinks::LinkText() const {
  if (transmit() == signlink::Transmit::kTcp) return signlink::TcpLinkText(tcpIp_, tcpPort_);
  return comm_.StatusText();
}
