#include "manager/editors/title_sentence_dlg.h"

#include <QComboBox>
#include <QVBoxLayout>

#include "manager/editors/text_pane.h"

CTitleSentenceDlg::CTitleSentenceDlg(QWidget* parent)
    : CTextItemDlg(item::ItemKind::TitleSentence, QStringLiteral("제목과문장"), parent) {
  title_ = addPane(QStringLiteral("제목입력 :"));
  sentence_ = addPane(QStringLiteral("문장입력:"));
  // The sentence's lists sit where a two-line item keeps its lower line's.
  const EffectLists l =
      addEffectLists({}, item::hdr::kLowerEntry, item::hdr::kLowerHold, item::hdr::kLowerExit);
  QComboBox* speed = addSpeedList(item::hdr::kSentenceSpeed);
  addDisplayWindow();
  column_->addWidget(title_);
  column_->addWidget(sentence_);
  column_->addLayout(grid({l.entry, l.hold, l.exit, speed}, true));
  addOkCancel();
}
