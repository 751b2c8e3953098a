#include "manager/editors/title_sentence_dlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QTimeEdit>
#include <QVBoxLayout>

#include "manager/editors/editor_controls.h"
#include "manager/editors/text_pane.h"

CTitleSentenceDlg::CTitleSentenceDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("제목과문장"));
  auto* layout = new QVBoxLayout(this);
  title_ = new CTextPane(QStringLiteral("제목입력 :"), this);
  sentence_ = new CTextPane(QStringLiteral("문장입력:"), this);
  layout->addWidget(title_);
  layout->addWidget(sentence_);

  entry_ = MakeCodeList(kEntryEffectTexts, 0, this);
  hold_ = MakeCodeList(kHoldTexts, 2, this);
  exit_ = MakeCodeList(kExitEffectTexts, 0, this);
  speed_ = MakeCodeList(kSpeedTexts, 0, this);
  start_ = MakeTimePicker(this);
  end_ = MakeTimePicker(this);
  entry_->setObjectName("entry");
  hold_->setObjectName("hold");
  exit_->setObjectName("exit");
  speed_->setObjectName("speed");
  start_->setObjectName("start");
  end_->setObjectName("end");

  auto* grid = new QGridLayout;
  AddLabelled(grid, 0, 0, QStringLiteral("입장효과:"), entry_);
  AddLabelled(grid, 0, 1, QStringLiteral("유지시간:"), hold_);
  AddLabelled(grid, 1, 0, QStringLiteral("퇴장효과:"), exit_);
  AddLabelled(grid, 1, 1, QStringLiteral("속도:"), speed_);
  AddLabelled(grid, 2, 0, QStringLiteral("표출시작시간:"), start_);
  AddLabelled(grid, 2, 1, QStringLiteral("표출마감시간:"), end_);
  layout->addLayout(grid);
  layout->addWidget(MakeOkCancel(this));
  connect(title_, &CTextPane::returnPressed, this, &CTitleSentenceDlg::accept);
  connect(sentence_, &CTextPane::returnPressed, this, &CTitleSentenceDlg::accept);
}

void CTitleSentenceDlg::setModify(const ItemHeader& header, const ItemBody& body) {
  modify_ = true;
  SelectCode(entry_, header[hdr::kLowerEntry]);
  SelectCode(speed_, header[hdr::kSentenceSpeed]);
  SelectCode(hold_, header[hdr::kLowerHold]);
  SelectCode(exit_, header[hdr::kLowerExit]);
  SetMinutes(start_, header.startMinutes());
  SetMinutes(end_, header.endMinutes());
  title_->setQuarters(body.textA, body.attrA);
  sentence_->setQuarters(body.textB, body.attrB);
}

void CTitleSentenceDlg::accept() {
  header_ = {};
  header_.setKind(ItemKind::TitleSentence);
  header_[hdr::kLowerEntry] = CodeOf(entry_);
  header_[hdr::kSentenceSpeed] = CodeOf(speed_);
  header_[hdr::kLowerHold] = CodeOf(hold_);
  header_[hdr::kLowerExit] = CodeOf(exit_);
  WriteDisplayWindow(header_, start_, end_);
  body_ = {};
  title_->writeQuarters(body_.textA, body_.attrA);
  sentence_->writeQuarters(body_.textB, body_.attrB);
  QDialog::accept();
}
