#include "manager/link/qt/tcp_link.h"

#include <QEventLoop>
#include <QTimer>

#include "manager/link/exchange.h"

namespace {
// What one exchange's start drains of bytes that came before it: more than any socket's
// receive queue holds, so only a peer that never stops sending is not waited out.
constexpr qint64 kDrainBytes = 16 * 1024 * 1024;
}  // namespace

TcpLink::TcpLink(QObject* parent) : QObject(parent) {}

bool TcpLink::Connect(const QString& address, quint16 port) {
  if (socket_ != nullptr) {
    socket_->abort();
    // Deferred: an outer exchange may still be inside one of this socket's signals.
    socket_->deleteLater();
  }
  last_ = {address, port};
  peer_closed_ = false;
  socket_ = new CSignSocket(this);
  socket_->setReadBufferSize(kReadBufferBytes);
  connect(socket_, &QIODevice::readyRead, this, [this, s = socket_] {
    if (s == socket_ && exchanging_ == 0) DropUnread();
  });
  connect(socket_, &QAbstractSocket::errorOccurred, this,
          [this, s = socket_](QAbstractSocket::SocketError e) {
            if (s == socket_ && e == QAbstractSocket::RemoteHostClosedError) peer_closed_ = true;
          });
  socket_->connectToHost(address, port);
  return socket_->state() != QAbstractSocket::UnconnectedState;
}

void TcpLink::Reconnect() {
  const Target t = source_ ? source_() : last_;
  Connect(t.first, t.second);
}

void TcpLink::DropUnread() {
  if (socket_ != nullptr) socket_->skip(socket_->bytesAvailable());
}

void TcpLink::DiscardUnread() {
  if (socket_ == nullptr) return;
  DropUnread();
  // Pull in what the system already holds for us, and forget it too.
  qint64 drained = 0;
  while (drained < kDrainBytes && socket_->state() == QAbstractSocket::ConnectedState &&
         socket_->waitForReadyRead(0))
    drained += socket_->skip(socket_->bytesAvailable());
}

void TcpLink::Send(const std::uint8_t* bytes, std::size_t n) {
  if (socket_ == nullptr || socket_->state() == QAbstractSocket::UnconnectedState) return;
  // While still connecting the bytes wait in the socket's buffer and go once connected.
  socket_->write(reinterpret_cast<const char*>(bytes), static_cast<qint64>(n));
  if (socket_->state() == QAbstractSocket::ConnectedState) socket_->flush();
}

signlink::StreamWait TcpLink::Receive(std::uint8_t* dst, std::size_t max, std::int64_t deadline,
                                      std::size_t* taken) {
  *taken = 0;
  for (;;) {
    if (socket_ == nullptr) return signlink::StreamWait::kError;
    if (socket_->bytesAvailable() > 0) {
      const qint64 n = socket_->read(reinterpret_cast<char*>(dst), static_cast<qint64>(max));
      if (n > 0) {
        *taken = static_cast<std::size_t>(n);
        return signlink::StreamWait::kData;
      }
    }
    const auto state = socket_->state();
    if (state == QAbstractSocket::UnconnectedState || state == QAbstractSocket::ClosingState)
      return peer_closed_ ? signlink::StreamWait::kClosed : signlink::StreamWait::kError;
    const std::int64_t left = deadline - clock_.NowMs();
    // A socket that never got connected cannot receive: that is a failure, not silence.
    if (left < 0)
      return state == QAbstractSocket::ConnectedState ? signlink::StreamWait::kTimeout
                                                      : signlink::StreamWait::kError;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    connect(socket_, &QIODevice::readyRead, &loop, &QEventLoop::quit);
    connect(socket_, &QAbstractSocket::stateChanged, &loop, &QEventLoop::quit);
    connect(socket_, &QObject::destroyed, &loop, &QEventLoop::quit);
    timer.start(static_cast<int>(left + 1));
    loop.exec();
  }
}

template <typename Exchange>
signlink::Result TcpLink::Exchanging(Exchange run) {
  ++exchanging_;
  const signlink::Result r = run();
  if (--exchanging_ == 0) DropUnread();
  return r;
}

signlink::Result TcpLink::SendAndWait(const signlink::Frame& request) {
  return Exchanging([&] {
    return signlink::TcpSendAndWait(*this, clock_, request.data(), request.size(),
                                    signlink::kAckSize);
  });
}

signlink::Result TcpLink::SendAndRead(const signlink::Frame& request, std::uint8_t* out,
                                      std::size_t count) {
  return Exchanging([&] {
    return signlink::TcpSendAndRead(*this, clock_, request.data(), request.size(), out, count);
  });
}
