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
#include "manager/preview/item_image.h"
#include "shared/item_record.h"

namespace sign {
class FontSet;
class LedStrip;
class LocalClock;
}  // namespace sign
class QTimer;

class CTextPane;
class QComboBox;
class QGridLayout;
class QLabel;
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
  // The strip shows its first frame, at its board's size, before the window first shows.
  void setVisible(bool visible) override;

  // The live strip under the controls plays the item as it stands now, on this board
  // (by default the store's settings, repaired as the view repairs them).
  void setPreviewBoard(const preview::Board& board);
  const preview::Board& previewBoard() const { return board_; }
  sign::LedStrip* strip() const { return strip_; }
  // The item the controls describe now, as OK would store it (no checks, no messages).
  virtual item::ItemRecord currentItem() const;
  // Restarts the strip with currentItem() now; changes call it a moment later, once.
  void restartPreview();

  // Fonts and clock of every strip made afterwards, for tests (null: the board fonts
  // beside the program, loaded once, and the computer's clock). Not owned.
  static void SetPreviewFonts(const sign::FontSet* fonts);
  static void SetPreviewClock(const sign::LocalClock* clock);

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
  // Adds the LED strip and the OK/Cancel row at the bottom; from then on a change of any
  // list, picker or pane restarts the strip.
  void addOkCancel();
  // Something the item is made of changed: the strip restarts (coalesced, at once).
  void itemChanged();

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
  // Every grid's label columns as wide as the widest label, so the lists line up.
  void alignGrids();
  void restartOnEveryChange();

  item::ItemKind kind_;
  std::vector<CTextPane*> panes_;                  // in quarters A, then B
  std::vector<std::pair<QComboBox*, int>> lists_;  // with their header byte
  QTimeEdit* start_ = nullptr;
  QTimeEdit* end_ = nullptr;
  QHash<const QWidget*, QString> labels_;
  std::vector<QGridLayout*> grids_;
  std::vector<QLabel*> gridLabels_;
  bool modify_ = false;
  item::ItemHeader header_;
  item::ItemBody body_;
  preview::Board board_;
  sign::LedStrip* strip_ = nullptr;
  QTimer* restart_ = nullptr;
};
