#include "manager/editors/one_line_dlg.h"

#include <QComboBox>
#include <QVBoxLayout>

#include "manager/editors/text_pane.h"

COneLineDlg::COneLineDlg(QWidget* parent)
    : CTextItemDlg(item::ItemKind::OneLine, QStringLiteral("1줄문장"), parent) {
  pane_ = addPane(QStringLiteral("문장입력:"), kOneLineLimitBytes);
  const EffectLists l = addEffectLists({}, item::hdr::kEntry, item::hdr::kHold, item::hdr::kExit);
  QComboBox* speed = addSpeedList(item::hdr::kSpeed);
  addDisplayWindow();
  column_->addWidget(pane_);
  column_->addLayout(grid({l.entry, l.hold, l.exit, speed}, true));
  addOkCancel();
}
