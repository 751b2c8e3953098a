#include "manager/settings/news_dlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QVBoxLayout>

#include "manager/settings/dialog_buttons.h"
#include "shared/codes.h"

CNewsDlg::CNewsDlg(const std::array<std::uint8_t, 8>& flags, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("뉴스"));
  auto* group = new QGroupBox(QStringLiteral("항목선택"), this);
  auto* grid = new QGridLayout(group);
  for (std::size_t i = 0; i < boxes_.size(); ++i) {
    const std::string_view name = item::kNewsCategoryNames[i];
    boxes_[i] = new QCheckBox(QString::fromUtf8(name.data(), qsizetype(name.size())), group);
    boxes_[i]->setChecked(flags[i] != 0);
    grid->addWidget(boxes_[i], static_cast<int>(i / 4), static_cast<int>(i % 4));
  }
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addWidget(DialogButtons(this, QStringLiteral("확인"), QStringLiteral("취소")));
}

std::array<std::uint8_t, 8> CNewsDlg::Flags() const {
  std::array<std::uint8_t, 8> flags{};
  for (std::size_t i = 0; i < boxes_.size(); ++i) flags[i] = boxes_[i]->isChecked() ? 1 : 0;
  return flags;
}
