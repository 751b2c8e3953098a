#pragma once
// The message list's edit rules. Each edit is decided from the row count and the
// selection alone: either a message to show (and nothing changes) or the slot operations
// to run on the work store, in order. The view shows rows read back from the store.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "manager/store/work_store.h"
#include "shared/item_record.h"

namespace msglist {

inline constexpr int kMaxRows = 100;
// The caption of a box that has none of its own.
inline constexpr std::string_view kAppTitle = "Brellion";

// A message box: OK button only, no icon; text and caption UTF-8.
struct Message {
  std::string text;
  std::string caption = std::string(kAppTitle);
  bool operator==(const Message&) const = default;
};

enum class ListCommand {
  AddOneLine,
  AddTwoLine,
  AddTitleSentence,
  AddBitmap,
  AddAnimation,
  AddDateTime,
  AddDDay,
  AddTemperature,
  Modify,
  Delete,
  Cut,
  Paste,
  Copy,
  MoveUp,
  MoveDown,
};

// The add command of a kind (kinds 0-7).
ListCommand AddCommandOf(item::ItemKind kind);

struct ListState {
  int rows = 0;
  int selected = 0;  // number of selected rows
  bool cutPresent = false;
  int boardHeight = 1;     // tiers
  int firstSelected = -1;  // the selected rows lie within firstSelected .. lastSelected
  int lastSelected = -1;
};

// The rows and the selection part of the state (no cut, one tier).
ListState StateOf(int rows, const std::vector<int>& selected);

// Menu and toolbar enable rule of a command.
bool IsEnabled(ListCommand command, const ListState& state);

// The row context menu: whether it opens at all, and which of its entries are grey
// ("수정" and "삭제" never are; they bring their own messages).
struct ContextMenuRule {
  bool opens = false;
  bool cutGrey = false;  // "잘라내기" and "복사"
  bool pasteGrey = false;
};
ContextMenuRule ContextMenuFor(const ListState& state);

// One store operation. `rows` is the list length before it.
struct SlotOp {
  enum class Type {
    Append,   // write the edited record's used parts into slot `slot` (== rows)
    Rewrite,  // write the edited record's used parts into slot `slot`
    Remove,   // remove slot `slot` from a list of `rows`: later slots move up
    Insert,   // insert the cut record at slot `slot` into a list of `rows`
    TakeCut,  // copy all of slot `slot` into the cut buffer
    Move,     // take the rows `moved` out and put them, in order, before row `slot`
  };
  Type type;
  int slot;
  int rows;
  std::vector<int> moved = {};  // Move: ascending rows of the list before it
  bool operator==(const SlotOp&) const = default;
};

// What an edit does: a refusal message, or the operations and the rows to select after
// them (indices in the new list). No message and no operations: nothing happens.
// Append and Rewrite need the edited record: the caller runs the item's editor first.
struct Plan {
  bool refused = false;
  Message message;
  std::vector<SlotOp> ops;
  std::vector<int> selectAfter;
};

// `selected` lists the selected rows in any order.
Plan PlanAdd(int rows);
Plan PlanModify(int rows, std::vector<int> selected);
Plan PlanDelete(int rows, std::vector<int> selected);
Plan PlanCut(int rows, std::vector<int> selected);
Plan PlanPaste(int rows, std::vector<int> selected, bool cutPresent);
// Copy: the selected row into the cut buffer, the list unchanged.
Plan PlanCopy(int rows, std::vector<int> selected);
// Moves the selected rows so that they stand, in order, before row `target` of the
// current list (0 .. rows; rows = at the end). The selection goes with them. Nothing
// when they would not move.
Plan PlanMove(int rows, std::vector<int> selected, int target);
// One row up or down: a block of adjacent selected rows (nothing otherwise, or at the
// list's end).
Plan PlanMoveUp(int rows, std::vector<int> selected);
Plan PlanMoveDown(int rows, std::vector<int> selected);

// Two quick clicks on the list: modify the first selected row without the selection
// messages. -1 when no row is selected.
int ActivationRow(std::vector<int> selected);

// Kinds 0-7 have an editor; a row of another kind can be deleted, cut and pasted but not
// opened. The refusal shown by "수정" on such a row.
bool HasEditor(std::uint8_t kind);
Message UneditableKindMessage(std::uint8_t kind);

// The content check after an editor returned OK: one-line needs text A, two-line and
// title-and-sentence both texts, bitmap and animation a source path; the rest nothing.
bool HasContent(const item::ItemRecord& record);

struct CutBuffer {
  item::ItemRecord record;
  bool present = false;
};

// One edit of the message slots: slots first .. first + before.size() - 1 held `before`
// and hold `after` (as many); the rows selected before and after it. No slots: the list
// did not change.
struct SlotChange {
  int first = 0;
  std::vector<item::ItemRecord> before, after;
  std::vector<int> selectBefore, selectAfter;
  bool empty() const { return before.empty(); }
};

// Runs the plan's operations on the store as one change: the changed slots are written
// with one ReplaceSlots, so a kill leaves the old list or the new one. `edited` is the
// record for Append and Rewrite. Events (slots 100-109) are never touched; an operation
// outside the list is skipped. Returns the change (selectAfter from the plan), or the
// store's errno when it could not be written: then neither store nor cut buffer changed.
struct Applied {
  SlotChange change;
  int error = 0;
};
Applied Apply(store::WorkStore& store, const Plan& plan, const item::ItemRecord& edited,
              CutBuffer& cut);

}  // namespace msglist
