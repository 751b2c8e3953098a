#include "manager/settings/board_size_dlg.h"

#include <QComboBox>
#include <QFormLayout>
#include <QVBoxLayout>

#include "manager/settings/dialog_buttons.h"

CBoardSizeDlg::CBoardSizeDlg(int width, int height, QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("규격"));
  width_ = new QComboBox(this);
  width_->setObjectName(QStringLiteral("width"));
  for (int w = 2; w <= 20; ++w) width_->addItem(QStringLiteral("%1열").arg(w));
  height_ = new QComboBox(this);
  height_->setObjectName(QStringLiteral("height"));
  for (int h = 1; h <= 2; ++h) height_->addItem(QStringLiteral("%1단").arg(h));
  width_->setCurrentIndex(width - 2);
  height_->setCurrentIndex(height - 1);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("너비:"), width_);
  form->addRow(QStringLiteral("높이:"), height_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(DialogButtons(this, QStringLiteral("확인"), QStringLiteral("취소")));
}

signlink::BoardSize CBoardSizeDlg::Size() const {
  return signlink::BoardSizeFromIndices(width_->currentIndex(), height_->currentIndex());
}
