#pragma once
// "IP설정": the sign's IPv4 address (four numbers 0 to 255 only) and TCP port (0 to 65535).

#include <QDialog>
#include <cstdint>

class QLineEdit;

class CIpSettingsDlg : public QDialog {
  Q_OBJECT
 public:
  // ip: first dotted number in the most significant byte.
  CIpSettingsDlg(std::uint32_t ip, std::uint16_t port, QWidget* parent = nullptr);

  std::uint32_t Address() const { return ip_; }
  std::uint16_t Port() const { return port_; }
  QLineEdit* AddressEdit() const { return address_; }
  QLineEdit* PortEdit() const { return portEdit_; }

  // Takes the fields; an incomplete address or a port outside 0-65535 is refused with a
  // message and the dialog stays open.
  void accept() override;

 private:
  QLineEdit* address_;
  QLineEdit* portEdit_;
  std::uint32_t ip_;
  std::uint16_t port_;
};
