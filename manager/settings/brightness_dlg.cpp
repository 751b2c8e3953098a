#include "manager/settings/brightness_dlg.h"

#include <QComboBox>
#include <QFormLayout>
#include <QVBoxLayout>

#include "manager/link/link_settings.h"
#include "manager/settings/dialog_buttons.h"

namespace {
QComboBox* LevelCombo(QWidget* parent, int index, const char* name) {
  auto* c = new QComboBox(parent);
  c->setObjectName(QString::fromLatin1(name));
  c->addItem(QStringLiteral("10 (최대밝기)"));
  for (int level = 9; level >= 2; --level) c->addItem(QString::number(level));
  c->addItem(QStringLiteral("1 (최소밝기)"));
  c->setCurrentIndex(signlink::LevelIndex(index));
  return c;
}
}  // namespace

CBrightnessDlg::CBrightnessDlg(int dayIndex, int nightIndex, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("LED밝기"));
  day_ = LevelCombo(this, dayIndex, "day");
  night_ = LevelCombo(this, nightIndex, "night");
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("주간 LED밝기값:"), day_);
  form->addRow(QStringLiteral("야간 LED밝기값:"), night_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(DialogButtons(this, QStringLiteral("확인"), QStringLiteral("취소")));
}

std::uint8_t CBrightnessDlg::DayIndex() const {
  return signlink::LevelIndex(day_->currentIndex());
}

std::uint8_t CBrightnessDlg::NightIndex() const {
  return signlink::LevelIndex(night_->currentIndex());
}
