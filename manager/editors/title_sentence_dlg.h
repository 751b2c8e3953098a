#pragma once
// "제목과문장": a fixed title and a sentence with its entry, hold, exit and speed lists,
// and the display window. Kind 2; title in quarters A, sentence in B.

#include "manager/editors/editor_controls.h"

class CTitleSentenceDlg : public CTextItemDlg {
  Q_OBJECT
 public:
  explicit CTitleSentenceDlg(QWidget* parent = nullptr);
  CTextPane* titlePane() const { return title_; }
  CTextPane* sentencePane() const { return sentence_; }

 private:
  CTextPane* title_;
  CTextPane* sentence_;
};
