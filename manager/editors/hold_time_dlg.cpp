#include "manager/editors/hold_time_dlg.h"

#include <QComboBox>
#include <QVBoxLayout>

#include "manager/editors/core/picture_items.h"
#include "shared/codes.h"

CHoldTimeDlg::CHoldTimeDlg(bool temperature, QWidget* parent)
    : CTextItemDlg(temperature ? item::ItemKind::Temperature : item::ItemKind::DateTime,
                   QStringLiteral("유지시간"), parent),
      temperature_(temperature) {
  hold_ = addList(item::kHoldTexts.data(), item::kHoldCount, editors::kDefaultHoldCode, "hold",
                  QStringLiteral("유지시간:"), item::hdr::kHold);
  addDisplayWindow();
  column_->addLayout(grid({hold_}, true));
  addOkCancel();
}

void CHoldTimeDlg::restore(const item::ItemHeader& header, const item::ItemBody&) {
  const editors::HoldTimeValues v = editors::ReadHoldTimeHeader(header, temperature_);
  hold_->setCurrentIndex(v.hold);
  setWindowMinutes(v.window.startMinutes, v.window.endMinutes);
}

void CHoldTimeDlg::accept() {
  const editors::HoldTimeValues v{temperature_, hold_->currentIndex(),
                                  {startMinutes(), endMinutes()}};
  finish(editors::BuildHoldTimeHeader(v), {});
}
