#pragma once
// "2줄문장": upper and lower text panes, entry, hold and exit lists per line, one speed
// for both, and the display window. Kind 1; upper line in quarters A, lower in B.

#include "manager/editors/editor_controls.h"

class CTwoLineDlg : public CTextItemDlg {
  Q_OBJECT
 public:
  explicit CTwoLineDlg(QWidget* parent = nullptr);
  CTextPane* upperPane() const { return upper_; }
  CTextPane* lowerPane() const { return lower_; }

 private:
  CTextPane* upper_;
  CTextPane* lower_;
};
