#include "manager/editors/two_line_dlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QTimeEdit>
#include <QVBoxLayout>

#include "manager/editors/editor_controls.h"
#include "manager/editors/text_pane.h"

CTwoLineDlg::CTwoLineDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("2줄문장"));
  auto* layout = new QVBoxLayout(this);
  upper_ = new CTextPane(QStringLiteral("윗문장"), this);
  lower_ = new CTextPane(QStringLiteral("아랫문장"), this);
  upperEntry_ = MakeCodeList(kEntryEffectTexts, 0, this);
  upperHold_ = MakeCodeList(kHoldTexts, 2, this);
  upperExit_ = MakeCodeList(kExitEffectTexts, 0, this);
  lowerEntry_ = MakeCodeList(kEntryEffectTexts, 0, this);
  lowerHold_ = MakeCodeList(kHoldTexts, 2, this);
  lowerExit_ = MakeCodeList(kExitEffectTexts, 0, this);
  speed_ = MakeCodeList(kSpeedTexts, 0, this);
  start_ = MakeTimePicker(this);
  end_ = MakeTimePicker(this);
  upperEntry_->setObjectName("upperEntry");
  upperHold_->setObjectName("upperHold");
  upperExit_->setObjectName("upperExit");
  lowerEntry_->setObjectName("lowerEntry");
  lowerHold_->setObjectName("lowerHold");
  lowerExit_->setObjectName("lowerExit");
  speed_->setObjectName("speed");
  start_->setObjectName("start");
  end_->setObjectName("end");

  auto lineLists = [this](QComboBox* entry, QComboBox* hold, QComboBox* exit) {
    auto* grid = new QGridLayout;
    AddLabelled(grid, 0, 0, QStringLiteral("입장효과:"), entry);
    AddLabelled(grid, 0, 1, QStringLiteral("유지시간:"), hold);
    AddLabelled(grid, 1, 0, QStringLiteral("퇴장효과:"), exit);
    return grid;
  };
  layout->addWidget(upper_);
  layout->addLayout(lineLists(upperEntry_, upperHold_, upperExit_));
  layout->addWidget(lower_);
  layout->addLayout(lineLists(lowerEntry_, lowerHold_, lowerExit_));
  auto* grid = new QGridLayout;
  AddLabelled(grid, 0, 0, QStringLiteral("속도:"), speed_);
  AddLabelled(grid, 1, 0, QStringLiteral("표출시작시간:"), start_);
  AddLabelled(grid, 1, 1, QStringLiteral("표출마감시간:"), end_);
  layout->addLayout(grid);
  layout->addWidget(MakeOkCancel(this));
  connect(upper_, &CTextPane::returnPressed, this, &CTwoLineDlg::accept);
  connect(lower_, &CTextPane::returnPressed, this, &CTwoLineDlg::accept);
}

void CTwoLineDlg::setModify(const ItemHeader& header, const ItemBody& body) {
  modify_ = true;
  SelectCode(upperEntry_, header[hdr::kUpperEntry]);
  SelectCode(upperHold_, header[hdr::kUpperHold]);
  SelectCode(upperExit_, header[hdr::kUpperExit]);
  SelectCode(lowerEntry_, header[hdr::kLowerEntry]);
  SelectCode(lowerHold_, header[hdr::kLowerHold]);
  SelectCode(lowerExit_, header[hdr::kLowerExit]);
  SelectCode(speed_, header[hdr::kTwoLineSpeed]);
  SetMinutes(start_, header.startMinutes());
  SetMinutes(end_, header.endMinutes());
  upper_->setQuarters(body.textA, body.attrA);
  lower_->setQuarters(body.textB, body.attrB);
}

void CTwoLineDlg::accept() {
  header_ = {};
  header_.setKind(ItemKind::TwoLine);
  header_[hdr::kUpperEntry] = CodeOf(upperEntry_);
  header_[hdr::kTwoLineSpeed] = CodeOf(speed_);
  header_[hdr::kUpperHold] = CodeOf(upperHold_);
  header_[hdr::kUpperExit] = CodeOf(upperExit_);
  header_[hdr::kLowerEntry] = CodeOf(lowerEntry_);
  header_[hdr::kLowerHold] = CodeOf(lowerHold_);
  header_[hdr::kLowerExit] = CodeOf(lowerExit_);
  WriteDisplayWindow(header_, start_, end_);
  body_ = {};
  upper_->writeQuarters(body_.textA, body_.attrA);
  lower_->writeQuarters(body_.textB, body_.attrB);
  QDialog::accept();
}
