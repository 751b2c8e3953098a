#include "manager/app/preview_progress_dlg.h"

#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>

CPreviewProgressDlg::CPreviewProgressDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("진행률"));
  setModal(false);
  setFixedSize(320, 140);
  auto* making = new QLabel(QStringLiteral("미리보기 파일을 만드는 중입니다."), this);
  making->setGeometry(20, 14, 280, 20);
  auto* wait = new QLabel(QStringLiteral("잠시 기다려 주세요..."), this);
  wait->setGeometry(20, 38, 280, 20);
  bar_ = new QProgressBar(this);
  bar_->setObjectName(QStringLiteral("progress1163"));
  bar_->setGeometry(20, 70, 280, 18);
  bar_->setTextVisible(false);
  percent_ = new QLabel(this);
  percent_->setGeometry(80, 105, 220, 20);
  percent_->setAutoFillBackground(true);  // opaque on the dialog face
}

void CPreviewProgressDlg::Create(int total) {
  total_ = total;
  done_ = 0;
  bar_->setRange(0, total);
  bar_->setValue(0);
  percent_->clear();
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - rect().center());
  show();
  repaint();
}

void CPreviewProgressDlg::Step() {
  if (done_ >= total_) return;
  ++done_;
  bar_->setValue(done_);
  percent_->setText(PercentText());
  bar_->repaint();
  percent_->repaint();
}

QString CPreviewProgressDlg::PercentText() const {
  const int percent = total_ > 0 ? std::min(100, done_ * 100 / total_) : 0;
  return QString::asprintf("%d %%   진행중입니다...", percent);
}
