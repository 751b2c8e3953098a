#pragma once
// "전광판": one sign of the book — its name, its link (TCP/IP address and port, or a serial
// port or device), the board size it should have (optional) and its groups.

#include <QDialog>

#include "manager/fleet/sign_book.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QRadioButton;

class CSignEditDlg : public QDialog {
  Q_OBJECT
 public:
  // Shows `sign`; `replacing` is its place in `book` (-1 for a new sign), so its own name
  // is no clash. The book's groups are offered as check boxes.
  CSignEditDlg(const fleet::SignBook& book, int replacing, const fleet::Sign& sign,
               QWidget* parent = nullptr);

  // The sign as the fields give it.
  fleet::Sign Sign() const;
  // Takes the fields; a sign the book cannot hold is refused with its reason and the
  // dialog stays open.
  void accept() override;

  QLineEdit* NameEdit() const { return name_; }
  QRadioButton* TcpButton() const { return tcp_; }
  QRadioButton* SerialButton() const { return serial_; }
  QLineEdit* HostEdit() const { return host_; }
  QLineEdit* PortEdit() const { return port_; }
  QComboBox* DeviceBox() const { return device_; }
  QCheckBox* SizeBox() const { return sized_; }
  QComboBox* WidthBox() const { return width_; }
  QComboBox* HeightBox() const { return height_; }
  QListWidget* GroupList() const { return groups_; }
  QLineEdit* NewGroupsEdit() const { return newGroups_; }

 private:
  void UpdateEnabled();

  const fleet::SignBook& book_;
  int replacing_;
  QLineEdit* name_;
  QRadioButton* tcp_;
  QRadioButton* serial_;
  QLineEdit* host_;
  QLineEdit* port_;
  QComboBox* device_;
  QCheckBox* sized_;
  QComboBox* width_;
  QComboBox* height_;
  QListWidget* groups_;
  QLineEdit* newGroups_;
};
