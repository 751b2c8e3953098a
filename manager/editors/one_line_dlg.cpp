#include "manager/editors/one_line_dlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QTimeEdit>
#include <QVBoxLayout>

#include "manager/editors/editor_controls.h"
#include "manager/editors/text_pane.h"

COneLineDlg::COneLineDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("1줄문장"));
  auto* layout = new QVBoxLayout(this);
  pane_ = new CTextPane(QStringLiteral("문장입력:"), this);
  pane_->setByteLimit(kOneLineLimitBytes);
  layout->addWidget(pane_);

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
  connect(pane_, &CTextPane::returnPressed, this, &COneLineDlg::accept);
}

void COneLineDlg::setModify(const ItemHeader& header, const ItemBody& body) {
  modify_ = true;
  SelectCode(entry_, header[hdr::kEntry]);
  SelectCode(hold_, header[hdr::kHold]);
  SelectCode(exit_, header[hdr::kExit]);
  SelectCode(speed_, header[hdr::kSpeed]);
  SetMinutes(start_, header.startMinutes());
  SetMinutes(end_, header.endMinutes());
  pane_->setQuarters(body.textA, body.attrA);
}

void COneLineDlg::accept() {
  if (!CheckPaneLimit(this, pane_)) return;
  header_ = {};
  header_.setKind(ItemKind::OneLine);
  header_[hdr::kEntry] = CodeOf(entry_);
  header_[hdr::kSpeed] = CodeOf(speed_);
  header_[hdr::kHold] = CodeOf(hold_);
  header_[hdr::kExit] = CodeOf(exit_);
  WriteDisplayWindow(header_, start_, end_);
  body_ = {};
  pane_->writeQuarters(body_.textA, body_.attrA);
  QDialog::accept();
}
