#include "manager/settings/port_settings_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

#include "manager/settings/dialog_buttons.h"

namespace {

// A list whose entries carry the value stored for them.
QComboBox* ValueCombo(QWidget* parent, std::initializer_list<std::pair<QString, int>> entries,
                      int value) {
  auto* c = new QComboBox(parent);
  for (const auto& [text, v] : entries) c->addItem(text, v);
  c->setCurrentIndex(std::max(0, c->findData(value)));
  return c;
}

int Value(const QComboBox* c) {
  return c->currentData().toInt();
}

}  // namespace

CPortSettingsDlg::CPortSettingsDlg(const signlink::SerialLine& given, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(QStringLiteral("포트설정"));
  const signlink::SerialLine line = signlink::LineForDialog(given);

  port_ = new QComboBox(this);
  for (int p = 1; p <= signlink::kSerialPorts; ++p) port_->addItem(QStringLiteral("COM%1").arg(p), p);
  port_->setCurrentIndex(line.port - 1);
  baud_ = new QComboBox(this);
  for (int b : signlink::kBaudRates) baud_->addItem(QString::number(b), b);
  baud_->setCurrentIndex(baud_->findData(line.baud));
  dataBits_ = ValueCombo(this, {{QStringLiteral("7"), 7}, {QStringLiteral("8"), 8}}, line.dataBits);
  parity_ = ValueCombo(
      this, {{QStringLiteral("None"), 0}, {QStringLiteral("Even"), 2}, {QStringLiteral("Odd"), 1}},
      line.parity);
  stopBits_ = ValueCombo(
      this, {{QStringLiteral("1"), 0}, {QStringLiteral("1.5"), 1}, {QStringLiteral("2"), 2}},
      line.stopBits);

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("Port:"), port_);
  form->addRow(QStringLiteral("Baud Rate:"), baud_);
  form->addRow(QStringLiteral("Data Bits:"), dataBits_);
  form->addRow(QStringLiteral("Parity:"), parity_);
  form->addRow(QStringLiteral("Stop Bits:"), stopBits_);

  auto* group = new QGroupBox(QStringLiteral("흐름제어"), this);
  auto* flowLayout = new QVBoxLayout(group);
  const QString names[3] = {QStringLiteral("DTR / DSR"), QStringLiteral("RTS / CTS"),
                            QStringLiteral("XON / XOFF")};
  for (int bit = 0; bit < 3; ++bit) {
    flow_[bit] = new QCheckBox(names[bit], group);
    flow_[bit]->setChecked(line.flowBits & (1u << bit));
    flowLayout->addWidget(flow_[bit]);
  }
  auto* note = new QLabel(
      QStringLiteral("RTS / CTS, XON / XOFF: 포트의 흐름제어로 씁니다.\n"
                     "DTR / DSR: 기록만 합니다 (DTR은 늘 켜 둡니다)."),
      group);
  note->setWordWrap(true);
  flowLayout->addWidget(note);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(group);
  layout->addWidget(DialogButtons(this, QStringLiteral("OK"), QStringLiteral("Cancel")));
}

signlink::SerialLine CPortSettingsDlg::Line() const {
  signlink::SerialLine line;
  line.port = port_->currentIndex() + 1;
  line.baud = Value(baud_);
  line.dataBits = Value(dataBits_);
  line.parity = Value(parity_);
  line.stopBits = Value(stopBits_);
  line.flowBits = 0;
  for (int bit = 0; bit < 3; ++bit)
    if (flow_[bit]->isChecked()) line.flowBits |= static_cast<std::uint8_t>(1u << bit);
  return line;
}
