#include "previewer/app/main_frame.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "previewer/app/varno_view.h"

namespace varno {

CMainFrame::CMainFrame(QWidget* parent) : QMainWindow(parent), view_(new CVarnoView(this)) {
  setWindowTitle(QStringLiteral("미리보기(128MB)"));
  setCentralWidget(view_);

  QMenu* file = menuBar()->addMenu(QStringLiteral("파일(&F)"));
  QAction* exit = file->addAction(QStringLiteral("종료(&X)"));
  exit->setObjectName(QStringLiteral("fileExit"));
  connect(exit, &QAction::triggered, this, &QWidget::close);
  QMenu* help = menuBar()->addMenu(QStringLiteral("도움말(&H)"));
  QAction* about = help->addAction(QStringLiteral("Varno 정보(&A)..."));
  about->setObjectName(QStringLiteral("helpAbout"));
  connect(about, &QAction::triggered, this, &CMainFrame::OnAppAbout);

  resize(1040, 300);
  if (const QScreen* screen = QApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
  }
}

void CMainFrame::OnAppAbout() {
  CAboutDlg dlg(this);
  dlg.exec();
}

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Varno 정보"));
  auto* text = new QLabel(QStringLiteral("Varno 버전 1.0"), this);
  text->setObjectName(QStringLiteral("versionText"));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("확인"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text);
  layout->addWidget(buttons);
}

}  // namespace varno
