#pragma once
// The serial port: opens and configures COMn (the device of signlink::SerialDevicePath),
// writes, and hands every received chunk to the notify sink on the thread that owns it,
// while that thread processes events. A device that hangs up or fails to read (an adapter
// pulled, a pseudo-terminal closed) is closed at once and reported as lost.

#include <QObject>
#include <QSerialPort>
#include <cstdint>
#include <functional>
#include <string>

class CComm : public QObject {
  Q_OBJECT

 public:
  static constexpr std::uint8_t kFlowDtrDsr = 0x01;
  static constexpr std::uint8_t kFlowRtsCts = 0x02;
  static constexpr std::uint8_t kFlowXonXoff = 0x04;

  using Sink = std::function<void(const std::uint8_t* bytes, int n)>;

  explicit CComm(QObject* parent = nullptr);
  ~CComm() override;

  // 1 when the port is open and configured, 0 otherwise. An open port is closed first.
  int Open();
  void Close();
  bool running() const { return running_; }
  // Queues all bytes for sending and returns 1 without waiting.
  int Write(const std::uint8_t* bytes, int n);
  // Bytes already received and not yet delivered, up to max; 0 when none.
  int Read(std::uint8_t* dst, int max);
  // Discards everything queued in both directions.
  void Purge();
  void SetNotify(Sink sink) { sink_ = std::move(sink); }

  // Line settings, read at Open. A non-empty device is opened instead of port_number's.
  std::string device;
  std::uint8_t port_number = 1;
  std::uint8_t byte_size = 8;  // 7 or 8
  // Bits of kFlow...: RTS/CTS or else XON/XOFF handshake; DTR/DSR is recorded only (the
  // serial library offers no DSR handshake), DTR is raised as without it.
  std::uint8_t flow_bits = 0;
  std::uint8_t parity = 0;     // 0 none, 1 odd, 2 even
  std::uint8_t stop_bits = 0;  // 0 one, 1 one and a half, 2 two
  std::int32_t baud_rate = 115200;

 signals:
  // After a chunk went to the sink.
  void Delivered();
  // The device hung up or failed to read; the port is closed now.
  void Lost();

 private:
  void OnReadyRead();
  void OnError(QSerialPort::SerialPortError error);
  QSerialPort::FlowControl FlowControl() const;

  QSerialPort* port_;
  bool running_ = false;
  std::uint64_t opening_ = 0;  // counts Open calls
  Sink sink_;
};
