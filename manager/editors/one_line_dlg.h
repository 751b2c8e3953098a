#pragma once
// "1줄문장": one text pane (256 CP949 bytes) with entry, hold, exit and speed lists and
// the display window. Kind 0; text in quarters A.

#include <QDialog>

#include "shared/item_record.h"

class CTextPane;
class QComboBox;
class QTimeEdit;

class COneLineDlg : public QDialog {
  Q_OBJECT
 public:
  explicit COneLineDlg(QWidget* parent = nullptr);

  // Modify mode: lists, display window and text are restored from the item.
  void setModify(const ItemHeader& header, const ItemBody& body);
  bool isModify() const { return modify_; }

  // Valid after OK: the item's header and body (quarters it does not write are zero).
  const ItemHeader& header() const { return header_; }
  const ItemBody& body() const { return body_; }

  CTextPane* pane() const { return pane_; }

  void accept() override;

 private:
  CTextPane* pane_;
  QComboBox* entry_;
  QComboBox* hold_;
  QComboBox* exit_;
  QComboBox* speed_;
  QTimeEdit* start_;
  QTimeEdit* end_;
  bool modify_ = false;
  ItemHeader header_;
  ItemBody body_;
};
