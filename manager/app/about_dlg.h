#pragma once
// "Brellion 정보": icon, version text and an OK button.

#include <QDialog>

class CAboutDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CAboutDlg(QWidget* parent = nullptr);
};

// The program icon, drawn at run time.
QIcon BrellionIcon();
