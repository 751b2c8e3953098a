#pragma once
// "디데이": the D-day sentence (200 CP949 bytes), the target date and the display window.
// Kind 6; text in quarters A; target year, month and day in header bytes 21-24.

#include <QDialog>

#include "shared/item_record.h"

class CTextPane;
class QDateEdit;
class QTimeEdit;

class CDDayDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CDDayDlg(QWidget* parent = nullptr);

  // Modify mode: target date, display window and text are restored from the item.
  void setModify(const ItemHeader& header, const ItemBody& body);
  bool isModify() const { return modify_; }

  // Valid after OK: the item's header and body (quarters it does not write are zero).
  const ItemHeader& header() const { return header_; }
  const ItemBody& body() const { return body_; }

  CTextPane* pane() const { return pane_; }

  void accept() override;

 private:
  CTextPane* pane_;
  QDateEdit* date_;
  QTimeEdit* start_;
  QTimeEdit* end_;
  bool modify_ = false;
  ItemHeader header_;
  ItemBody body_;
};
