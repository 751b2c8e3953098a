#pragma once
// The TCP/IP link: owns the one client socket to the sign (none until the first
// Connect), remakes it when an exchange finds it broken, and runs the TCP exchanges.
// Bytes the sign sends outside an exchange, or beyond the reply an exchange takes, are
// dropped as they arrive; the socket never holds more than kReadBufferBytes.

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <utility>

#include "manager/link/channel.h"
#include "manager/link/qt/sign_socket.h"
#include "manager/link/sign_link.h"

class TcpLink : public QObject, public signlink::StreamChannel, public signlink::SignLink {
  Q_OBJECT

 public:
  // Where a reconnect goes: dotted IPv4 address and port.
  using Target = std::pair<QString, quint16>;
  // What the socket buffers before it stops reading: above the largest reply a frame's
  // 16-bit length allows.
  static constexpr qint64 kReadBufferBytes = 64 * 1024;

  explicit TcpLink(QObject* parent = nullptr);

  // Deletes the current socket and starts connecting a new one (completes in the
  // background). True when the attempt started.
  bool Connect(const QString& address, quint16 port);
  // Connects again to what the reconnect source gives; without one, to the last target.
  void Reconnect() override;
  void SetReconnectSource(std::function<Target()> source) { source_ = std::move(source); }

  CSignSocket* socket() const { return socket_; }

  // SignLink: kNoSocket before the first Connect. An acknowledgement is 6 bytes.
  signlink::Result SendAndWait(const signlink::Frame& request) override;
  signlink::Result SendAndRead(const signlink::Frame& request, std::uint8_t* out,
                               std::size_t count) override;

  // StreamChannel.
  bool HasSocket() const override { return socket_ != nullptr; }
  void DiscardUnread() override;
  void Send(const std::uint8_t* bytes, std::size_t n) override;
  signlink::StreamWait Receive(std::uint8_t* dst, std::size_t max, std::int64_t deadline_ms,
                               std::size_t* taken) override;

 private:
  // Runs one exchange; what the reply leaves unread is dropped afterwards.
  template <typename Exchange>
  signlink::Result Exchanging(Exchange run);
  void DropUnread();

  CSignSocket* socket_ = nullptr;
  int exchanging_ = 0;  // exchanges under way (a command may start inside another's wait)
  bool peer_closed_ = false;
  Target last_;
  std::function<Target()> source_;
  signlink::SteadyClock clock_;
};
