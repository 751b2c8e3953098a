#pragma once
// What the item editors share: text panes stored in the body quarters, option lists
// whose position is the stored header code, the display-window time pickers, the OK/Cancel
// row and the header and body they build on OK.

#include <QDialog>
#include <QHash>
#include <QString>
#include <initializer_list>
#include <string_view>
#include <utility>
#include <vector>

#include "manager/editors/core/pane_text.h"
#include "shared/item_record.h"

class CTextPane;
class QComboBox;
class QGridLayout;
class QTimeEdit;
class QVBoxLayout;

class CTextItemDlg : public QDialog {
  Q_OBJECT
 public:
  // Modify mode: the controls are restored from the stored item (restore()).
  void setModify(const item::ItemHeader& header, const item::ItemBody& body);
  bool isModify() const { return modify_; }

  // Valid after OK: the item's header and body (quarters without a pane are zero).
  const item::ItemHeader& header() const { return header_; }
  const item::ItemBody& body() const { return body_; }

  void accept() override;

 protected:
  CTextItemDlg(item::ItemKind kind, const QString& title, QWidget* parent);

  // A pane kept in the next body quarters (A, then B); Enter in it presses OK. byteLimit
  // holds while typing and is checked again on OK, for a stored text that came in longer.
  CTextPane* addPane(const QString& caption, std::size_t byteLimit = kNoLimit);

  // Entry, hold and exit lists kept at the given header bytes, named prefix + "Entry"...
  // ("entry"... without a prefix), each labelled for grid().
  struct EffectLists {
    QComboBox* entry;
    QComboBox* hold;
    QComboBox* exit;
  };
  EffectLists addEffectLists(const QString& prefix, int entryAt, int holdAt, int exitAt);
  QComboBox* addSpeedList(int at);
  // The display-window pickers "start" and "end" (header bytes 25-28); a dialog without
  // them leaves those bytes 0.
  void addDisplayWindow();
  // A control grid() shows after this label.
  void setLabel(QWidget* control, const QString& label) { labels_.insert(control, label); }

  // The labelled controls two to a row, then the display window on a row of its own.
  QGridLayout* grid(std::initializer_list<QWidget*> controls, bool withDisplayWindow);
  // Adds the OK/Cancel row at the bottom.
  void addOkCancel();

  // Header bytes only one kind of item has.
  virtual void readExtra(const item::ItemHeader&) {}
  virtual void writeExtra(item::ItemHeader&) const {}

  // Restores the controls for a modification. The text editors' default restores the
  // lists by their header bytes, the display window, readExtra() and the panes; editors
  // that build their item elsewhere replace it together with accept().
  virtual void restore(const item::ItemHeader& header, const item::ItemBody& body);

  // A list of texts whose position is the code kept at header byte `at`.
  QComboBox* addList(const std::string_view* texts, int count, int defaultCode, const QString& name,
                     const QString& label, int at);

  // The display-window pickers in minutes after midnight.
  int startMinutes() const;
  int endMinutes() const;
  void setWindowMinutes(int start, int end);

  // Keeps the finished item for header() and body() and closes with OK.
  void finish(const item::ItemHeader& header, const item::ItemBody& body);

  QVBoxLayout* column_;

 private:

  item::ItemKind kind_;
  std::vector<CTextPane*> panes_;                  // in quarters A, then B
  std::vector<std::pair<QComboBox*, int>> lists_;  // with their header byte
  QTimeEdit* start_ = nullptr;
  QTimeEdit* end_ = nullptr;
  QHash<const QWidget*, QString> labels_;
  bool modify_ = false;
  item::ItemHeader header_;
  item::ItemBody body_;
};
