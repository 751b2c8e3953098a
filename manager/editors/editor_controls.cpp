#include "manager/editors/editor_controls.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimeEdit>

#include "manager/editors/text_pane.h"
#include "qtshared/message_box.h"

QComboBox* MakeCodeList(const std::string_view* texts, int count, int defaultCode,
                        QWidget* parent) {
  auto* list = new QComboBox(parent);
  for (int i = 0; i < count; ++i) {
    list->addItem(QString::fromUtf8(texts[i].data(), static_cast<qsizetype>(texts[i].size())));
  }
  list->setCurrentIndex(defaultCode);
  return list;
}

void SelectCode(QComboBox* list, int code) {
  if (code >= 0 && code < list->count()) list->setCurrentIndex(code);
}

std::uint8_t CodeOf(const QComboBox* list) {
  return static_cast<std::uint8_t>(std::max(0, list->currentIndex()));
}

QTimeEdit* MakeTimePicker(QWidget* parent) {
  auto* picker = new QTimeEdit(QTime(0, 0), parent);
  picker->setDisplayFormat(QStringLiteral("HH:mm"));
  return picker;
}

void SetMinutes(QTimeEdit* picker, int minutes) {
  const QTime t(minutes / 60, minutes % 60);
  if (minutes >= 0 && t.isValid()) picker->setTime(t);
}

int MinutesOf(const QTimeEdit* picker) {
  const QTime t = picker->time();
  return t.hour() * 60 + t.minute();
}

void AddLabelled(QGridLayout* grid, int row, int column, const QString& label, QWidget* control) {
  auto* l = new QLabel(label, control->parentWidget());
  l->setBuddy(control);
  grid->addWidget(l, row, column * 2);
  grid->addWidget(control, row, column * 2 + 1);
  grid->setColumnStretch(column * 2 + 1, 1);
}

QDialogButtonBox* MakeOkCancel(QDialog* dialog) {
  auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
  box->button(QDialogButtonBox::Ok)->setText(QStringLiteral("확인"));
  box->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("취소"));
  QObject::connect(box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return box;
}

bool CheckPaneLimit(QDialog* dialog, const CTextPane* pane) {
  if (pane->byteLimit() == kNoLimit || pane->textBytes() <= pane->byteLimit()) return true;
  ShowMessage(dialog, QStringLiteral("%1바이트 이하로 입력하십시오.").arg(pane->byteLimit()),
              QString(), MsgButtons::Ok, MsgIcon::Warning);
  pane->edit()->setFocus();
  return false;
}

void WriteDisplayWindow(ItemHeader& h, const QTimeEdit* start, const QTimeEdit* end) {
  h.setStartMinutes(MinutesOf(start));
  h.setEndMinutes(MinutesOf(end));
}
