#include "manager/link/qt/sign_socket.h"

CSignSocket::CSignSocket(QObject* parent) : QTcpSocket(parent) {
  // Frames are small and strictly request/reply: do not hold them back.
  connect(this, &QAbstractSocket::connected, this,
          [this] { setSocketOption(QAbstractSocket::LowDelayOption, 1); });
}
