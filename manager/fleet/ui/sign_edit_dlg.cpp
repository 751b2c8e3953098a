#include "manager/fleet/ui/sign_edit_dlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "manager/link/link_settings.h"
#include "manager/settings/dialog_buttons.h"
#include "qtshared/message_box.h"

namespace {
QString Q(const std::string& s) {
  return QString::fromStdString(s);
}
}  // namespace

CSignEditDlg::CSignEditDlg(const fleet::SignBook& book, int replacing, const fleet::Sign& sign,
                           QWidget* parent)
    : QDialog(parent), book_(book), replacing_(replacing) {
  setWindowTitle(QStringLiteral("전광판"));
  const bool isTcp = sign.address.kind == fleet::SignAddress::Kind::kTcp;
  name_ = new QLineEdit(Q(sign.name), this);
  tcp_ = new QRadioButton(QStringLiteral("TCP/IP"), this);
  serial_ = new QRadioButton(QStringLiteral("RS232"), this);
  (isTcp ? tcp_ : serial_)->setChecked(true);
  host_ = new QLineEdit(Q(sign.address.host), this);
  host_->setPlaceholderText(QStringLiteral("192.168.0.10"));
  port_ = new QLineEdit(sign.address.port ? QString::number(sign.address.port) : QString(), this);
  port_->setValidator(new QIntValidator(1, 65535, port_));
  port_->setMaximumWidth(80);
  device_ = new QComboBox(this);
  device_->setEditable(true);
  for (int n = 1; n <= signlink::kSerialPorts; ++n)
    device_->addItem(QStringLiteral("COM%1").arg(n));
  device_->setEditText(isTcp ? QStringLiteral("COM1") : Q(sign.address.device));

  sized_ = new QCheckBox(QStringLiteral("크기 지정"), this);
  sized_->setChecked(sign.size.has_value());
  width_ = new QComboBox(this);
  for (int w = 2; w <= 20; ++w) width_->addItem(QStringLiteral("%1열").arg(w));
  height_ = new QComboBox(this);
  for (int h = 1; h <= 2; ++h) height_->addItem(QStringLiteral("%1단").arg(h));
  const signlink::BoardSize size = sign.size.value_or(signlink::BoardSize{});
  width_->setCurrentIndex(size.width - 2);
  height_->setCurrentIndex(size.height - 1);

  groups_ = new QListWidget(this);
  groups_->setMaximumHeight(120);
  for (const std::string& g : book.Groups()) {
    auto* item = new QListWidgetItem(Q(g), groups_);
    const bool member = std::find(sign.groups.begin(), sign.groups.end(), g) != sign.groups.end();
    item->setCheckState(member ? Qt::Checked : Qt::Unchecked);
  }
  newGroups_ = new QLineEdit(this);
  newGroups_->setPlaceholderText(QStringLiteral("새 그룹 (쉼표로 구분)"));

  auto* tcpRow = new QHBoxLayout;
  tcpRow->addWidget(tcp_);
  tcpRow->addWidget(host_, 1);
  tcpRow->addWidget(port_);
  auto* serialRow = new QHBoxLayout;
  serialRow->addWidget(serial_);
  serialRow->addWidget(device_, 1);
  auto* sizeRow = new QHBoxLayout;
  sizeRow->addWidget(sized_);
  sizeRow->addWidget(width_);
  sizeRow->addWidget(height_);
  sizeRow->addStretch(1);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("이름:"), name_);
  form->addRow(QStringLiteral("연결:"), tcpRow);
  form->addRow(QString(), serialRow);
  form->addRow(QStringLiteral("크기:"), sizeRow);
  form->addRow(QStringLiteral("그룹:"), groups_);
  form->addRow(QString(), newGroups_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(DialogButtons(this, QStringLiteral("확인"), QStringLiteral("취소")));
  connect(tcp_, &QRadioButton::toggled, this, &CSignEditDlg::UpdateEnabled);
  connect(sized_, &QCheckBox::toggled, this, &CSignEditDlg::UpdateEnabled);
  UpdateEnabled();
  resize(480, sizeHint().height());
}

void CSignEditDlg::UpdateEnabled() {
  host_->setEnabled(tcp_->isChecked());
  port_->setEnabled(tcp_->isChecked());
  device_->setEnabled(!tcp_->isChecked());
  width_->setEnabled(sized_->isChecked());
  height_->setEnabled(sized_->isChecked());
}

fleet::Sign CSignEditDlg::Sign() const {
  fleet::Sign s;
  s.name = name_->text().trimmed().toStdString();
  if (tcp_->isChecked()) {
    s.address.kind = fleet::SignAddress::Kind::kTcp;
    s.address.host = host_->text().trimmed().toStdString();
    s.address.port = static_cast<std::uint16_t>(port_->text().toUInt());
  } else {
    const std::string device = device_->currentText().trimmed().toStdString();
    s.address.kind = fleet::SignAddress::Kind::kSerial;
    s.address.device = device;
    if (const auto parsed = fleet::ParseSerial(device)) s.address = *parsed;  // "com3" is COM3
  }
  if (sized_->isChecked()) {
    s.size = signlink::BoardSize{static_cast<std::uint8_t>(width_->currentIndex() + 2),
                                 static_cast<std::uint8_t>(height_->currentIndex() + 1)};
  }
  for (int i = 0; i < groups_->count(); ++i)
    if (groups_->item(i)->checkState() == Qt::Checked)
      s.groups.push_back(groups_->item(i)->text().toStdString());
  for (const QString& g : newGroups_->text().split(QLatin1Char(','), Qt::SkipEmptyParts)) {
    const std::string group = g.trimmed().toStdString();
    if (!group.empty() && std::find(s.groups.begin(), s.groups.end(), group) == s.groups.end())
      s.groups.push_back(group);
  }
  return s;
}

void CSignEditDlg::accept() {
  if (const auto why = fleet::CheckSign(book_, Sign(), replacing_)) {
    ShowMessage(this, Q(*why), windowTitle());
    return;
  }
  QDialog::accept();
}
