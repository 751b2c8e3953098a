#pragma once
// The manager's top-level window: menu, toolbar, the four status panes and the progress
// bar over the second pane. It holds no data of the system.

#include <QMainWindow>

class QLabel;
class QProgressBar;
class QToolBar;
class CBrellionView;

class CMainFrame : public QMainWindow {
  Q_OBJECT
 public:
  explicit CMainFrame(QWidget* parent = nullptr);

  // Installs the view as the central widget and builds menu and toolbar from its actions.
  void SetView(CBrellionView* view);
  CBrellionView* View() const { return view_; }

  // Progress display. Begin sets the total and shows "0 %"; Step advances by one while
  // below the total and shows position * 100 / total; End empties bar and percent pane.
  void BeginProgress(int total);
  void StepProgress();
  void EndProgress();
  void SetLinkText(const QString& text);

  int ProgressTotal() const { return total_; }
  int ProgressPosition() const { return position_; }
  QString PercentText() const;
  QString LinkText() const;
  QProgressBar* ProgressBar() const { return progress_; }
  QToolBar* ToolBar() const { return toolBar_; }

 protected:
  void showEvent(QShowEvent* event) override;
  // Closing waits for a running sign exchange (a download is cancelled between frames),
  // then offers to save a scratch list first; the answer cannot keep the window open.
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildMenus();
  void BuildToolBar();
  void BuildStatusBar();

  CBrellionView* view_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QLabel* promptPane_ = nullptr;
  QLabel* percentPane_ = nullptr;
  QLabel* linkPane_ = nullptr;
  QToolBar* toolBar_ = nullptr;
  int total_ = 0;
  int position_ = 0;
  bool centred_ = false;
  bool closeWhenIdle_ = false;
};
