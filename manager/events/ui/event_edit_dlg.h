#pragma once
// "이벤트편집": one text pane without a byte limit (what passes 2047 bytes is named in the
// pane's note and cut on OK) with the entry, hold, exit and speed lists; no display window.

#include "manager/editors/editor_controls.h"
#include "shared/item_record.h"

class CEventEditDlg : public CTextItemDlg {
  Q_OBJECT
 public:
  explicit CEventEditDlg(QWidget* parent = nullptr);
  CTextPane* pane() const { return pane_; }

  // Modify mode: the codes, text and attributes of a stored event.
  void setEvent(const item::ItemRecord& event) { setModify(event.header, event.body); }
  // After OK: kind 0, the four codes, text and attributes in quarters A.
  item::ItemRecord event() const;

 private:
  CTextPane* pane_;
};
