#pragma once
// The text pane of the text item editors (and the event editor): one single-line rich
// text edit that shows text the way the sign will, three radio groups that format the
// selected characters, and a note that names refused and blank-on-board characters.

#include <QTextEdit>
#include <QWidget>
#include <cstddef>

#include "manager/editors/core/pane_text.h"

class QButtonGroup;
class QLabel;
class QRadioButton;

// Single-line rich edit: Enter emits returnPressed instead of a line break; typed, composed,
// pasted and dropped text passes the byte limit and the CP949 check first.
class CPaneEdit : public QTextEdit {
  Q_OBJECT
 public:
  explicit CPaneEdit(QWidget* parent = nullptr);

  // CP949 bytes the text may hold while typing; kNoLimit for none.
  void setByteLimit(std::size_t bytes) { limit_ = bytes; }
  std::size_t byteLimit() const { return limit_; }

  // The characters and attributes of [from, to) in document positions; to < 0 is the end.
  StyledText styledText(int from = 0, int to = -1) const;
  // Replaces the selection with text, each character in its attribute's format.
  void insertStyled(const StyledText& text);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 signals:
  void returnPressed();
  // Part of an insertion was refused: characters CP949 cannot encode, or the limit.
  void refused(const QString& unencodable, bool overLimit);

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void inputMethodEvent(QInputMethodEvent* e) override;
  bool canInsertFromMimeData(const QMimeData* source) const override;
  void insertFromMimeData(const QMimeData* source) override;
  QMimeData* createMimeDataFromSelection() const override;

 private:
  std::size_t roomBytes() const;
  // What of input may replace the selection; remembers what was refused for flushRefusal.
  StyledText admit(const StyledText& input);
  void flushRefusal();

  std::size_t limit_ = kNoLimit;
  QString pendingUnencodable_;
  bool pendingOverLimit_ = false;
};

class CTextPane : public QWidget {
  Q_OBJECT
 public:
  enum Group { TextColourGroup = 0, BackColourGroup = 1, FontGroup = 2 };

  // caption is the pane's label ("문장입력:" ...); empty for none.
  explicit CTextPane(const QString& caption, QWidget* parent = nullptr);

  CPaneEdit* edit() const { return edit_; }
  QRadioButton* button(Group g, int index) const;  // index 0-3, in screen order
  QLabel* noteLabel() const { return note_; }
  QString note() const;

  void setByteLimit(std::size_t bytes) { edit_->setByteLimit(bytes); }
  std::size_t byteLimit() const { return edit_->byteLimit(); }

  // Whole text with attributes; setting it replaces the text without any limit check.
  StyledText styledText() const { return edit_->styledText(); }
  void setStyledText(const StyledText& text);
  QString plainText() const { return edit_->toPlainText(); }
  // CP949 bytes of the text.
  std::size_t textBytes() const;

  // Modify mode: the text and attributes of an item's quarters.
  void setQuarters(const item::Quarter& text, const item::Quarter& attrs);
  // OK: clears and fills both quarters; returns the text bytes stored (cut at 2047).
  std::size_t writeQuarters(item::Quarter& text, item::Quarter& attrs) const;

  // What a radio button does: format the selection, then collapse the caret to the end of
  // the text and format there too, so the next typing takes it.
  void applyTextColour(item::TextColour c);
  void applyBackColour(item::BackColour c);
  void applyFont(item::BoardFont f);

 signals:
  void returnPressed();

 private:
  void applyFormat(const QTextCharFormat& f);
  void showRefusal(const QString& unencodable, bool overLimit);
  void updateNote();

  CPaneEdit* edit_;
  QButtonGroup* groups_[3];
  QLabel* note_;
  QString refusal_;
};
