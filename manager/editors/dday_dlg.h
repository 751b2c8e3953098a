#pragma once
// "디데이": the D-day sentence (200 CP949 bytes), the target date and the display window.
// Kind 6; text in quarters A; target year, month and day in header bytes 21-24.

#include "manager/editors/editor_controls.h"

class QDateEdit;

class CDDayDlg : public CTextItemDlg {
  Q_OBJECT
 public:
  explicit CDDayDlg(QWidget* parent = nullptr);
  CTextPane* pane() const { return pane_; }

 protected:
  void readExtra(const item::ItemHeader& header) override;
  void writeExtra(item::ItemHeader& header) const override;

 private:
  CTextPane* pane_;
  QDateEdit* date_;
};
