#pragma once
// "1줄문장": one text pane (256 CP949 bytes) with entry, hold, exit and speed lists and
// the display window. Kind 0; text in quarters A.

#include "manager/editors/editor_controls.h"

class COneLineDlg : public CTextItemDlg {
  Q_OBJECT
 public:
  explicit COneLineDlg(QWidget* parent = nullptr);
  CTextPane* pane() const { return pane_; }

 private:
  CTextPane* pane_;
};
