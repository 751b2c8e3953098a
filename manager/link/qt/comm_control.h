#pragma once
// The serial wrapper: owns the port, collects received bytes in a ring and answers the
// serial exchange's questions (have n bytes come, has the deadline passed). Lives on the
// user-interface thread; received bytes arrive while that thread processes events.

#include <QObject>
#include <string>
#include <memory>

#include "manager/link/channel.h"
#include "manager/link/qt/comm.h"
#include "manager/link/receive_ring.h"

class CCommControl : public QObject, public signlink::SerialChannel {
  Q_OBJECT

 public:
  explicit CCommControl(QObject* parent = nullptr);
  ~CCommControl() override;

  // Sets up the ring (ring_size below 196608 is raised to it), port number and baud rate,
  // then opens the port. 1 when all succeeded, 0 otherwise.
  int Create(int port, int baud, int ring_size);
  // Opens the port; 1 when it is open, 0 when it did not open (the caller warns the
  // operator: signlink::kPortOpenFailedText).
  int OpenPort();
  void ClosePort();
  bool IsOpen() const { return comm_.running(); }
  // A port lost to a hang-up stays closed, costing nothing, until this opens it again
  // (each exchange calls it first). True when the port is open afterwards.
  bool ReopenIfLost();

  // SerialChannel: Write gives n, or 0 (status kPortClosed) when the port is not open;
  // StartTimeout gives false when not open; Read gives kPortClosed once the port was lost.
  int Write(const std::uint8_t* bytes, int n) override;
  bool StartTimeout(int ms) override;
  signlink::SerialRead Read(std::uint8_t* dst, int n) override;
  void Purge() override;
  // Processes events until bytes arrive, the port is lost or the deadline passes, sleeping
  // meanwhile.
  void AwaitBytes() override;

  // "연결: COM%d, %d bps" while open, "열린 포트가 없습니다." otherwise.
  std::string StatusText() const;

  CComm& comm() { return comm_; }
  signlink::SerialRead status() const { return ring_->status(); }
  std::size_t ring_size() const { return ring_->size(); }
  std::size_t received_count() const { return ring_->count(); }

 signals:
  // The port was lost or opened again: StatusText changed without a call here.
  void StatusChanged();

 private:
  CComm comm_;
  bool lost_ = false;
  signlink::SteadyClock clock_;
  std::unique_ptr<signlink::ReceiveRing> ring_;
};
