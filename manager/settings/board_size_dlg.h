#pragma once
// "규격": the board's width (2 to 20 modules, "%d열") and height (1 or 2 tiers, "%d단").

#include <QDialog>

#include "manager/link/link_settings.h"

class QComboBox;

class CBoardSizeDlg : public QDialog {
  Q_OBJECT
 public:
  // Opens on width - 2 and height - 1.
  CBoardSizeDlg(int width, int height, QWidget* parent = nullptr);

  // The chosen size, repaired as the rules say.
  signlink::BoardSize Size() const;
  QComboBox* WidthCombo() const { return width_; }
  QComboBox* HeightCombo() const { return height_; }

 private:
  QComboBox* width_;
  QComboBox* height_;
};
