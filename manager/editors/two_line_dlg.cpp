#include "manager/editors/two_line_dlg.h"

#include <QComboBox>
#include <QVBoxLayout>

#include "manager/editors/text_pane.h"

CTwoLineDlg::CTwoLineDlg(QWidget* parent)
    : CTextItemDlg(item::ItemKind::TwoLine, QStringLiteral("2줄문장"), parent) {
  upper_ = addPane(QStringLiteral("윗문장"));
  lower_ = addPane(QStringLiteral("아랫문장"));
  const EffectLists u =
      addEffectLists("upper", item::hdr::kUpperEntry, item::hdr::kUpperHold, item::hdr::kUpperExit);
  const EffectLists l =
      addEffectLists("lower", item::hdr::kLowerEntry, item::hdr::kLowerHold, item::hdr::kLowerExit);
  QComboBox* speed = addSpeedList(item::hdr::kTwoLineSpeed);
  addDisplayWindow();
  column_->addWidget(upper_);
  column_->addLayout(grid({u.entry, u.hold, u.exit}, false));
  column_->addWidget(lower_);
  column_->addLayout(grid({l.entry, l.hold, l.exit}, false));
  column_->addLayout(grid({speed}, true));
  addOkCancel();
}
