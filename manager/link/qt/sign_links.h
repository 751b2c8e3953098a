#pragma once
// The one owner of both links to the sign: the serial wrapper with its protocol window,
// and the TCP/IP client. Every exchange goes over the link the transmit option selects
// when the frame is sent. Open failures are returned; showing them is the caller's work.

#include <QObject>
#include <QString>
#include <cstdint>
#include <string>

#include "manager/link/link_settings.h"
#include "manager/link/link_switch.h"
#include "manager/link/qt/comm_control.h"
#include "manager/link/qt/sign_ctrl.h"
#include "manager/link/qt/tcp_link.h"

class SignLinks : public QObject, public signlink::SignLink {
  Q_OBJECT

 public:
  explicit SignLinks(QObject* parent = nullptr);
  ~SignLinks() override;

  // Closes the serial port, sets COM`port` (its device: signlink::SerialDevicePath) and the
  // baud rate, opens it and attaches the protocol window. False when it did not open.
  bool OpenSerial(int port, int baud);
  // The same with the baud rate the port had.
  bool ReopenSerial(int port) { return OpenSerial(port, comm_.comm().baud_rate); }
  // The same on a device path given by the user (a console option), at `baud`.
  bool OpenSerialDevice(const std::string& path, int baud);
  void CloseSerial() { comm_.ClosePort(); }
  // The serial line as it is set (port number, baud rate, data bits, parity, stop bits,
  // flow-control bits).
  signlink::SerialLine Line();
  // Closes the port, takes the whole line and opens it again. False when it did not open.
  bool ApplyLine(const signlink::SerialLine& line);
  bool SerialOpen() const { return comm_.IsOpen(); }

  // Replaces the TCP client with one connecting to ip:port (ip: first dotted number in the
  // most significant byte) or to host:port; completes in the background.
  void ConnectTcp(std::uint32_t ip, std::uint16_t port);
  void ConnectTcp(const QString& host, std::uint16_t port);

  void SetTransmit(signlink::Transmit t) { switch_.SetTransmit(t); }
  signlink::Transmit transmit() const { return switch_.transmit(); }

  // The link pane text of the selected link: the TCP target last connected, or the
  // serial port's status.
  std::string LinkText() const;

  // SignLink: over the selected link.
  signlink::Result SendAndWait(const signlink::Frame& request) override {
    return switch_.SendAndWait(request);
  }
  signlink::Result SendAndRead(const signlink::Frame& request, std::uint8_t* out,
                               std::size_t count) override {
    return switch_.SendAndRead(request, out, count);
  }

  CCommControl& Serial() { return comm_; }
  CSignCtrl& Protocol() { return ctrl_; }
  TcpLink& Tcp() { return tcp_; }

 signals:
  // The serial port was lost, or opened again by an exchange: LinkText() may have changed.
  void LinkTextChanged();

 private:
  bool Open();

  CCommControl comm_;
  CSignCtrl ctrl_;
  TcpLink tcp_;
  signlink::LinkSwitch switch_{ctrl_, tcp_};
  std::uint32_t tcpIp_ = 0;
  std::uint16_t tcpPort_ = 0;
};
