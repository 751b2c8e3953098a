#pragma once
// The TCP/IP link: owns the one client socket to the sign (none until the first
// Connect), remakes it when an exchange finds it broken, and runs the TCP exchanges.

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <utility>

#include "manager/link/channel.h"
#include "manager/link/qt/sign_socket.h"

class TcpLink : public QObject, public signlink::StreamChannel {
  Q_OBJECT

 public:
  // Where a reconnect goes: dotted IPv4 address and port.
  using Target = std::pair<QString, quint16>;

  explicit TcpLink(QObject* parent = nullptr);

  // Deletes the current socket and starts connecting a new one (completes in the
  // background). True when the attempt started.
  bool Connect(const QString& address, quint16 port);
  // Connects again to what the reconnect source gives; without one, to the last target.
  void Reconnect() override;
  void SetReconnectSource(std::function<Target()> source) { source_ = std::move(source); }

  CSignSocket* socket() const { return socket_; }

  // Result codes of signlink (0 success, 9 without a socket). Callers pass expected 6.
  int SendAndWait(const std::uint8_t* frame, int len, int expected);
  int SendAndRead(const std::uint8_t* frame, int len, std::uint8_t* out, int count);

  // "%d.%d.%d.%d" of the four address bytes, first byte first.
  static QString DottedAddress(const std::uint8_t (&ip)[4]);
  // The link pane text "[IP:%d.%d.%d.%d],   [PORT:%d]".
  static QString LinkText(const std::uint8_t (&ip)[4], int port);

  // StreamChannel.
  bool HasSocket() const override { return socket_ != nullptr; }
  void DiscardUnread() override;
  void Send(const std::uint8_t* bytes, std::size_t n) override;
  signlink::StreamWait Receive(std::uint8_t* dst, std::size_t max, std::int64_t deadline_ms,
                               std::size_t* taken) override;

 private:
  CSignSocket* socket_ = nullptr;
  bool peer_closed_ = false;
  Target last_;
  std::function<Target()> source_;
  signlink::SteadyClock clock_;
};
