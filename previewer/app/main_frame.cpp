#include "previewer/app/main_frame.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QActionGroup>
#include <QScreen>
#include <QSettings>
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
  QMenu* viewMenu = menuBar()->addMenu(QStringLiteral("보기(&V)"));
  auto* dots = new QActionGroup(this);
  const int saved = QSettings().value(QStringLiteral("view/dotPixels"), 3).toInt();
  const std::pair<int, QString> choices[] = {
      {1, QStringLiteral("점 1픽셀(&1)")},
      {2, QStringLiteral("점 2픽셀(&2)")},
      {3, QStringLiteral("점 3픽셀(&3)")},
      {CVarnoView::kFitDots, QStringLiteral("창에 맞춤(&W)")}};
  for (const auto& [size, text] : choices) {
    QAction* a = viewMenu->addAction(text);
    a->setObjectName(QStringLiteral("viewDots%1").arg(size));
    a->setCheckable(true);
    dots->addAction(a);
    connect(a, &QAction::triggered, this, [this, size = size] {
      view_->SetDotPixels(size);
      QSettings().setValue(QStringLiteral("view/dotPixels"), size);
    });
  }
  view_->SetDotPixels(saved);
  for (QAction* a : dots->actions()) {
    if (a->objectName() == QStringLiteral("viewDots%1").arg(view_->dotPixels())) a->setChecked(true);
  }
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
