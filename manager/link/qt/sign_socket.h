#pragma once
// The TCP client socket to the sign. Non-blocking; the link acts on its notifications
// only while an exchange waits.

#include <QTcpSocket>

class CSignSocket : public QTcpSocket {
  Q_OBJECT

 public:
  explicit CSignSocket(QObject* parent = nullptr);
};
