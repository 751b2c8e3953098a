#include "manager/events/ui/event_edit_dlg.h"

#include <QComboBox>
#include <QVBoxLayout>

#include "manager/editors/text_pane.h"
#include "manager/events/event_list.h"

CEventEditDlg::CEventEditDlg(QWidget* parent)
    : CTextItemDlg(item::ItemKind::OneLine, QStringLiteral("이벤트편집"), parent) {
  pane_ = addPane(QStringLiteral("문장입력:"));
  const EffectLists l = addEffectLists({}, item::hdr::kEntry, item::hdr::kHold, item::hdr::kExit);
  QComboBox* speed = addSpeedList(item::hdr::kSpeed);
  column_->addWidget(pane_);
  column_->addLayout(grid({l.entry, l.hold, l.exit, speed}, false));
  addOkCancel();
}

item::ItemRecord CEventEditDlg::event() const {
  return events::MakeEvent(header(), body().textA, body().attrA);
}
