#include "manager/settings/ip_settings_dlg.h"

#include <QFormLayout>
#include <QIntValidator>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "manager/link/link_settings.h"
#include "manager/link/link_text.h"
#include "manager/settings/dialog_buttons.h"
#include "qtshared/message_box.h"

CIpSettingsDlg::CIpSettingsDlg(std::uint32_t ip, std::uint16_t port, QWidget* parent)
    : QDialog(parent), ip_(ip), port_(port) {
  setWindowTitle(QStringLiteral("IP설정"));
  address_ = new QLineEdit(QString::fromStdString(signlink::DottedAddress(ip)), this);
  address_->setObjectName(QStringLiteral("address"));
  // As an address control: four numbers of at most three digits, each 0 to 255.
  const QString octet = QStringLiteral("(25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[1-9]?[0-9])");
  address_->setValidator(new QRegularExpressionValidator(
      QRegularExpression(QStringLiteral("^%1\\.%1\\.%1\\.%1$").arg(octet)), address_));
  portEdit_ = new QLineEdit(QString::number(port), this);
  portEdit_->setObjectName(QStringLiteral("port"));
  portEdit_->setValidator(new QIntValidator(0, 65535, portEdit_));
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("IP:"), address_);
  form->addRow(QStringLiteral("PORT:"), portEdit_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(DialogButtons(this, QStringLiteral("확인"), QStringLiteral("취소")));
}

void CIpSettingsDlg::accept() {
  if (!address_->hasAcceptableInput()) {
    ShowMessage(this, QStringLiteral("0에서 255 사이의 숫자 네 개를 입력하십시오."), QString());
    address_->setFocus();
    return;
  }
  if (!portEdit_->hasAcceptableInput()) {
    ShowMessage(this, QStringLiteral("0에서 65535 사이의 정수를 입력하십시오."), QString());
    portEdit_->setFocus();
    return;
  }
  ip_ = signlink::ParseIpAddress(address_->text().toStdString());
  port_ = static_cast<std::uint16_t>(portEdit_->text().toUInt());
  QDialog::accept();
}
