#pragma once
// The progress window of the preview: modeless, centred on the screen, a bar over the
// steps of writing the preview file and the percentage below it.

#include <QDialog>

class QLabel;
class QProgressBar;

class CPreviewProgressDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CPreviewProgressDlg(QWidget* parent = nullptr);

  // Shows the window with the bar at 0 of `total`.
  void Create(int total);
  // One step more, drawn at once; steps beyond the total are ignored.
  void Step();

  int Total() const { return total_; }
  int Done() const { return done_; }
  QString PercentText() const;
  QProgressBar* Bar() const { return bar_; }

 private:
  QProgressBar* bar_;
  QLabel* percent_;
  int total_ = 0;
  int done_ = 0;
};
