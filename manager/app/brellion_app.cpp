#include "manager/app/brellion_app.h"

#include "manager/app/about_dlg.h"
#include "manager/app/brellion_view.h"
#include "manager/app/main_frame.h"
#include "qtshared/app_start.h"

CBrellionApp::CBrellionApp(int& argc, char** argv) : QApplication(argc, argv) {
  // No display name: the window system would add it to every title and caption.
  setApplicationName(QStringLiteral("Brellion"));
  UseKoreanInterface(*this);
  setWindowIcon(BrellionIcon());
}

CBrellionApp::~CBrellionApp() {
  delete frame_;
}

bool CBrellionApp::InitInstance(bool show) {
  delete frame_;  // a second start in one process (tests) replaces the first window
  frame_ = new CMainFrame;
  auto* view = new CBrellionView(frame_);
  frame_->SetView(view);
  view->SetProgramDirectory(programDir_.isEmpty() ? applicationDirPath() : programDir_);
  connect(view, &CBrellionView::ExitRequested, frame_, &QWidget::close);
  if (!view->OnInitialUpdate()) return false;
  if (show) frame_->show();
  return true;
}

CBrellionView* CBrellionApp::View() const {
  return frame_ ? frame_->View() : nullptr;
}

CBrellionApp* TheApp() {
  return qobject_cast<CBrellionApp*>(QCoreApplication::instance());
}
