#include "manager/editors/dday_dlg.h"

#include <QDateEdit>
#include <QVBoxLayout>

#include "manager/editors/text_pane.h"

CDDayDlg::CDDayDlg(QWidget* parent)
    : CTextItemDlg(item::ItemKind::DDay, QStringLiteral("디데이"), parent) {
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

void CDDayDlg::readExtra(const item::ItemHeader& header) {
  const QDate target(header.get16(item::hdr::kDDayYear), header[item::hdr::kDDayMonth],
                     header[item::hdr::kDDayDay]);
  if (target.isValid()) date_->setDate(target);
}

void CDDayDlg::writeExtra(item::ItemHeader& header) const {
  const QDate target = date_->date();
  header.set16(item::hdr::kDDayYear, static_cast<std::uint16_t>(target.year()));
  header[item::hdr::kDDayMonth] = static_cast<std::uint8_t>(target.month());
  header[item::hdr::kDDayDay] = static_cast<std::uint8_t>(target.day());
}
