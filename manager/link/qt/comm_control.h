#pragma once
// The serial wrapper: owns the port, collects received bytes in a ring and answers the
// serial exchange's questions (have n bytes come, has the deadline passed). Lives on the
// user-interface thread; received bytes arrive while that thread processes events.

#include <QObject>
#include <QString>
#include <memory>

#include "manager/link/channel.h"
#include "manager/link/qt/comm.h"
#include "manager/link/receive_ring.h"

class QWidget;

class CCommControl : public QObject, public signlink::SerialChannel {
  Q_OBJECT

 public:
  // owner: parent, and the widget that owns the warning box; may be null.
  explicit CCommControl(QWidget* owner = nullptr);
  ~CCommControl() override;

  // Sets up the ring (ring_size below 196608 is raised to it), port number and baud rate,
  // then opens the port. 1 when all succeeded, 0 otherwise.
  int Create(int port, int baud, int ring_size);
  // Opens the port; on failure shows the "경고" warning and returns 0.
  int OpenPort();
  void ClosePort();
  bool IsOpen() const { return comm_.running(); }

  // SerialChannel: Write gives n or 0 (status 1) when the port is not open; StartTimeout
  // gives 0 or 1 when not open; Read gives 0, 2 or 3.
  int Write(const std::uint8_t* bytes, int n) override;
  int StartTimeout(int ms) override;
  int Read(std::uint8_t* dst, int n) override;
  void Purge() override;
  // Processes events until bytes arrive or the deadline passes, sleeping meanwhile.
  void AwaitBytes() override;

  // "연결: COM%d, %d bps" while open, "열린 포트가 없습니다." otherwise.
  QString StatusText() const;

  CComm& comm() { return comm_; }
  int status() const { return ring_->status(); }
  std::size_t ring_size() const { return ring_->size(); }
  std::size_t received_count() const { return ring_->count(); }

 private:
  QWidget* owner_;
  CComm comm_;
  signlink::SteadyClock clock_;
  std::unique_ptr<signlink::ReceiveRing> ring_;
};
