#pragma once
// Undo and redo of the message list's edits on one store. Each step is the range of
// message slots an edit changed, old and new records; undoing or redoing writes the
// range back as one store change, so the store holds exactly the bytes it held then.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "manager/list/list_rules.h"
#include "manager/store/work_store.h"

namespace msglist {

class EditHistory {
 public:
  // Steps kept; the oldest goes beyond it.
  static constexpr std::size_t kMaxSteps = 100;

  // A new edit: it becomes the step to undo, and what could be redone is gone.
  void Record(const SlotChange& change);
  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }
  std::size_t UndoSteps() const { return undo_.size(); }

  // Writes the last step's old records back and makes it the step to redo; returns the
  // rows to select (those selected before the edit). nullopt when there is nothing to
  // undo or the store could not be written (store.LastError(); then nothing changed).
  std::optional<std::vector<int>> Undo(store::WorkStore& store);
  // The same forward: the new records again, and the rows selected after the edit.
  std::optional<std::vector<int>> Redo(store::WorkStore& store);
  // Another store was opened (load, new).
  void Clear();

 private:
  // A step packed: each distinct record once (trailing zeros of its quarters dropped, as
  // items rarely fill them), the slots as indices into that pool.
  struct Step {
    int first = 0;
    std::vector<std::string> pool;
    std::vector<std::uint16_t> before, after;
    std::vector<int> selectBefore, selectAfter;
  };
  static std::optional<std::vector<int>> Replay(store::WorkStore& store, std::deque<Step>& from,
                                                std::deque<Step>& to, bool forward);

  std::deque<Step> undo_, redo_;
};

}  // namespace msglist
