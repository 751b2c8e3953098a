#pragma once
// The manager's application object: creates the main frame and view at start. The links
// to the sign belong to the view (CBrellionView::Link).

#include <QApplication>

class CMainFrame;
class CBrellionView;

class CBrellionApp : public QApplication {
  Q_OBJECT
 public:
  CBrellionApp(int& argc, char** argv);
  ~CBrellionApp() override;

  // Creates frame and view and runs the view's initial update; shows the window when
  // `show` is set. False when the start failed (the message has been shown): the
  // process must then end with status 0.
  bool InitInstance(bool show = true);

  // The folder the work store and the PREVIEW folder live in; defaults to the
  // executable's folder. Set before InitInstance.
  void SetProgramDirectory(const QString& dir) { programDir_ = dir; }

  CMainFrame* MainFrame() const { return frame_; }
  CBrellionView* View() const;

 private:
  QString programDir_;
  CMainFrame* frame_ = nullptr;
};

// The running application object, or null outside the manager.
CBrellionApp* TheApp();
