#pragma once
// "포트설정": serial port, baud rate, data bits, parity, stop bits and the flow-control
// boxes. RTS/CTS and XON/XOFF reach the port; DTR/DSR is only recorded (the dialog says so).

#include <QDialog>

#include "manager/link/link_settings.h"

class QCheckBox;
class QComboBox;

class CPortSettingsDlg : public QDialog {
  Q_OBJECT
 public:
  // Opens on the line as signlink::LineForDialog repairs it.
  explicit CPortSettingsDlg(const signlink::SerialLine& line, QWidget* parent = nullptr);

  // The line as chosen, flow-control bits from the boxes.
  signlink::SerialLine Line() const;

  QComboBox* PortCombo() const { return port_; }
  QComboBox* BaudCombo() const { return baud_; }
  QCheckBox* FlowBox(int bit) const { return flow_[bit]; }

 private:
  QComboBox* port_;
  QComboBox* baud_;
  QComboBox* dataBits_;
  QComboBox* parity_;
  QComboBox* stopBits_;
  QCheckBox* flow_[3];
};
