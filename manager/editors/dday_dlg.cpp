#include "manager/editors/dday_dlg.h"

#include <QDateEdit>
#include <QVBoxLayout>

#include "manager/editors/text_pane.h"

CDDayDlg::CDDayDlg(QWidget* parent)
    : CTextItemDlg(ItemKind::DDay, QStringLiteral("디데이"), parent) {
  pane_ = addPane(QStringLiteral("디데이 문장:"), kDDayLimitBytes);
  date_ = new QDateEdit(QDate::currentDate(), this);
  date_->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
  date_->setCalendarPopup(true);
  date_->setObjectName("date");
  setLabel(date_, QStringLiteral("예정일:"));
  addDisplayWindow();
  column_->addWidget(pane_);
  column_->addLayout(grid({date_}, true));
  addOkCancel();
}

void CDDayDlg::readExtra(const ItemHeader& header) {
  const QDate target(header.get16(hdr::kDDayYear), header[hdr::kDDayMonth], header[hdr::kDDayDay]);
  if (target.isValid()) date_->setDate(target);
}

void CDDayDlg::writeExtra(ItemHeader& header) const {
  const QDate target = date_->date();
  header.set16(hdr::kDDayYear, static_cast<std::uint16_t>(target.year()));
  header[hdr::kDDayMonth] = static_cast<std::uint8_t>(target.month());
  header[hdr::kDDayDay] = static_cast<std::uint8_t>(target.day());
}
