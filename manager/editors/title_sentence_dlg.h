#pragma once
// "제목과문장": a fixed title and a sentence with its entry, hold, exit and speed lists,
// and the display window. Kind 2; title in quarters A, sentence in B.

#include <QDialog>

#include "shared/item_record.h"

class CTextPane;
class QComboBox;
class QTimeEdit;

class CTitleSentenceDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CTitleSentenceDlg(QWidget* parent = nullptr);

  // Modify mode: lists, display window and both texts are restored from the item.
  void setModify(const ItemHeader& header, const ItemBody& body);
  bool isModify() const { return modify_; }

  // Valid after OK: the item's header and all four body quarters.
  const ItemHeader& header() const { return header_; }
  const ItemBody& body() const { return body_; }

  CTextPane* titlePane() const { return title_; }
  CTextPane* sentencePane() const { return sentence_; }

  void accept() override;

 private:
  CTextPane* title_;
  CTextPane* sentence_;
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
