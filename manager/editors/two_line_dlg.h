#pragma once
// "2줄문장": upper and lower text panes, entry, hold and exit lists per line, one speed
// for both, and the display window. Kind 1; upper line in quarters A, lower in B.

#include <QDialog>

#include "shared/item_record.h"

class CTextPane;
class QComboBox;
class QTimeEdit;

class CTwoLineDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CTwoLineDlg(QWidget* parent = nullptr);

  // Modify mode: lists, display window and both texts are restored from the item.
  void setModify(const ItemHeader& header, const ItemBody& body);
  bool isModify() const { return modify_; }

  // Valid after OK: the item's header and all four body quarters.
  const ItemHeader& header() const { return header_; }
  const ItemBody& body() const { return body_; }

  CTextPane* upperPane() const { return upper_; }
  CTextPane* lowerPane() const { return lower_; }

  void accept() override;

 private:
  CTextPane* upper_;
  CTextPane* lower_;
  QComboBox* upperEntry_;
  QComboBox* upperHold_;
  QComboBox* upperExit_;
  QComboBox* lowerEntry_;
  QComboBox* lowerHold_;
  QComboBox* lowerExit_;
  QComboBox* speed_;
  QTimeEdit* start_;
  QTimeEdit* end_;
  bool modify_ = false;
  ItemHeader header_;
  ItemBody body_;
};
