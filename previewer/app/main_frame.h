#pragma once
// The previewer's main window: title, menu and the view; 1040 x 300, centred.

#include <QDialog>
#include <QMainWindow>

namespace varno {

class CVarnoView;

class CMainFrame : public QMainWindow {
  Q_OBJECT

 public:
  explicit CMainFrame(QWidget* parent = nullptr);
  CVarnoView* view() const { return view_; }

 public slots:
  void OnAppAbout();

 private:
  CVarnoView* view_;
};

class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace varno
