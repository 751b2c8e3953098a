#include "manager/editors/dday_dlg.h"

#include <QDateEdit>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QTimeEdit>
#include <QVBoxLayout>

#include "manager/editors/editor_controls.h"
#include "manager/editors/text_pane.h"

CDDayDlg::CDDayDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("디데이"));
  auto* layout = new QVBoxLayout(this);
  pane_ = new CTextPane(QStringLiteral("디데이 문장:"), this);
  pane_->setByteLimit(kDDayLimitBytes);
  layout->addWidget(pane_);

  date_ = new QDateEdit(QDate::currentDate(), this);
  date_->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
  date_->setCalendarPopup(true);
  date_->setObjectName("date");
  start_ = MakeTimePicker(this);
  end_ = MakeTimePicker(this);
  start_->setObjectName("start");
  end_->setObjectName("end");

  auto* grid = new QGridLayout;
  AddLabelled(grid, 0, 0, QStringLiteral("예정일:"), date_);
  AddLabelled(grid, 1, 0, QStringLiteral("표출시작시간:"), start_);
  AddLabelled(grid, 1, 1, QStringLiteral("표출마감시간:"), end_);
  layout->addLayout(grid);
  layout->addWidget(MakeOkCancel(this));
  connect(pane_, &CTextPane::returnPressed, this, &CDDayDlg::accept);
}

void CDDayDlg::setModify(const ItemHeader& header, const ItemBody& body) {
  modify_ = true;
  const QDate target(header.get16(hdr::kDDayYear), header[hdr::kDDayMonth], header[hdr::kDDayDay]);
  if (target.isValid()) date_->setDate(target);
  SetMinutes(start_, header.startMinutes());
  SetMinutes(end_, header.endMinutes());
  pane_->setQuarters(body.textA, body.attrA);
}

void CDDayDlg::accept() {
  if (!CheckPaneLimit(this, pane_)) return;
  header_ = {};
  header_.setKind(ItemKind::DDay);
  const QDate target = date_->date();
  header_.set16(hdr::kDDayYear, static_cast<std::uint16_t>(target.year()));
  header_[hdr::kDDayMonth] = static_cast<std::uint8_t>(target.month());
  header_[hdr::kDDayDay] = static_cast<std::uint8_t>(target.day());
  WriteDisplayWindow(header_, start_, end_);
  body_ = {};
  pane_->writeQuarters(body_.textA, body_.attrA);
  QDialog::accept();
}
