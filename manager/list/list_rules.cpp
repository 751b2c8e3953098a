#include "manager/list/list_rules.h"

#include <algorithm>

namespace msglist {

namespace {

Plan Refuse(std::string text, std::string caption = std::string(kAppTitle)) {
  Plan p;
  p.refused = true;
  p.message = {std::move(text), std::move(caption)};
  return p;
}

std::vector<int> Sorted(std::vector<int> rows) {
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  return rows;
}

// After rows vanished, the row that took the first one's place keeps the selection, so
// the keyboard goes on from there; none when the list is empty.
std::vector<int> SelectAfterRemoval(int first, int rowsLeft) {
  if (rowsLeft <= 0) return {};
  return {std::min(first, rowsLeft - 1)};
}

}  // namespace

ListState StateOf(int rows, const std::vector<int>& selected) {
  ListState s{.rows = rows, .selected = static_cast<int>(selected.size())};
  if (!selected.empty()) {
    s.firstSelected = *std::min_element(selected.begin(), selected.end());
    s.lastSelected = *std::max_element(selected.begin(), selected.end());
  }
  return s;
}

ListCommand AddCommandOf(item::ItemKind kind) {
  return static_cast<ListCommand>(static_cast<int>(kind));
}

bool IsEnabled(ListCommand command, const ListState& s) {
  switch (command) {
    case ListCommand::AddTwoLine:
    case ListCommand::AddTitleSentence:
      return s.boardHeight != 1;
    case ListCommand::Modify:
    case ListCommand::Cut:
      return s.rows > 0 && s.selected == 1;
    case ListCommand::Delete:
      return s.rows > 0 && s.selected >= 1;
    case ListCommand::Paste:
      return s.rows > 0 && s.selected == 1 && s.cutPresent;
    case ListCommand::Copy:
      return s.rows > 0 && s.selected == 1;
    case ListCommand::MoveUp:
    case ListCommand::MoveDown: {
      const bool block = s.selected >= 1 && s.lastSelected - s.firstSelected + 1 == s.selected;
      return block &&
             (command == ListCommand::MoveUp ? s.firstSelected > 0 : s.lastSelected < s.rows - 1);
    }
    default:
      return true;  // the other adds
  }
}

ContextMenuRule ContextMenuFor(const ListState& s) {
  ContextMenuRule rule;
  rule.opens = s.selected >= 1;
  rule.cutGrey = s.rows == 0;
  rule.pasteGrey = s.rows == 0 || !s.cutPresent;
  return rule;
}

Plan PlanAdd(int rows) {
  if (rows >= kMaxRows) return Refuse("더이상 추가할수 없습니다", "더이상 추가안됨");
  Plan p;
  p.ops = {{SlotOp::Type::Append, rows, rows}};
  p.selectAfter = {rows};
  return p;
}

Plan PlanModify(int rows, std::vector<int> selected) {
  selected = Sorted(std::move(selected));
  if (rows == 0) return Refuse("수정할 아이템이 없습니다");
  if (selected.empty()) return Refuse("수정할곳의 아이템을 선택하십시요");
  if (selected.size() >= 2) return Refuse("수정할곳의 Item만 선택하세요...");
  Plan p;
  p.ops = {{SlotOp::Type::Rewrite, selected[0], rows}};
  p.selectAfter = {selected[0]};
  return p;
}

Plan PlanDelete(int rows, std::vector<int> selected) {
  selected = Sorted(std::move(selected));
  if (rows == 0) return Refuse("삭제할 아이템이 없습니다");
  if (selected.empty()) return Refuse("삭제할곳의 아이템을 선택하십시요");
  // Each removal moves the later selected rows up by one.
  Plan p;
  for (int i = 0; i < static_cast<int>(selected.size()); ++i) {
    p.ops.push_back({SlotOp::Type::Remove, selected[i] - i, rows - i});
  }
  p.selectAfter = SelectAfterRemoval(selected[0], rows - static_cast<int>(selected.size()));
  return p;
}

Plan PlanCut(int rows, std::vector<int> selected) {
  selected = Sorted(std::move(selected));
  if (rows == 0) return Refuse("아이템이 없습니다");
  if (selected.size() >= 2) return Refuse("잘라내기 할곳의 Item만 선택하세요...");
  if (selected.empty()) return {};
  const int p = selected[0];
  Plan plan;
  plan.ops = {{SlotOp::Type::TakeCut, p, rows}, {SlotOp::Type::Remove, p, rows}};
  plan.selectAfter = SelectAfterRemoval(p, rows - 1);
  return plan;
}

Plan PlanPaste(int rows, std::vector<int> selected, bool cutPresent) {
  selected = Sorted(std::move(selected));
  if (!cutPresent) return Refuse("먼저 잘라내기를 하십시요?", "붙여넣기");
  if (rows >= kMaxRows) return Refuse("더이상 삽입할수 없습니다");
  if (selected.empty()) return Refuse("붙여넣기 할곳의 아이템을 선택하십시요");
  if (selected.size() >= 2) return Refuse("붙여넣기 할곳의 아이템만 선택하세요?");
  const int p = selected[0];
  Plan plan;
  plan.ops = {{SlotOp::Type::Insert, p, rows}};
  // The selection stays on the row pasted before, so another paste goes before it too.
  plan.selectAfter = {p + 1};
  return plan;
}

Plan PlanCopy(int rows, std::vector<int> selected) {
  selected = Sorted(std::move(selected));
  if (rows == 0) return Refuse("복사할 아이템이 없습니다");
  if (selected.size() >= 2) return Refuse("복사할곳의 Item만 선택하세요...");
  if (selected.empty()) return {};
  Plan plan;
  plan.ops = {{SlotOp::Type::TakeCut, selected[0], rows}};
  plan.selectAfter = selected;
  return plan;
}

Plan PlanMove(int rows, std::vector<int> selected, int target) {
  selected = Sorted(std::move(selected));
  if (selected.empty() || selected.front() < 0 || selected.back() >= rows || target < 0 ||
      target > rows) {
    return {};
  }
  // Where the block starts once the rows are out of the list.
  const int before = static_cast<int>(
      std::count_if(selected.begin(), selected.end(), [target](int r) { return r < target; }));
  const int at = target - before;
  Plan plan;
  for (int i = 0; i < static_cast<int>(selected.size()); ++i) plan.selectAfter.push_back(at + i);
  if (plan.selectAfter == selected) return {};
  plan.ops = {{SlotOp::Type::Move, target, rows, selected}};
  return plan;
}

Plan PlanMoveUp(int rows, std::vector<int> selected) {
  selected = Sorted(std::move(selected));
  if (!IsEnabled(ListCommand::MoveUp, StateOf(rows, selected))) return {};
  return PlanMove(rows, selected, selected.front() - 1);
}

Plan PlanMoveDown(int rows, std::vector<int> selected) {
  selected = Sorted(std::move(selected));
  if (!IsEnabled(ListCommand::MoveDown, StateOf(rows, selected))) return {};
  return PlanMove(rows, selected, selected.back() + 2);
}

int ActivationRow(std::vector<int> selected) {
  selected = Sorted(std::move(selected));
  return selected.empty() ? -1 : selected[0];
}

bool HasEditor(std::uint8_t kind) {
  return kind < item::kItemKindCount;
}

Message UneditableKindMessage(std::uint8_t kind) {
  return {"알수없는 종류(" + std::to_string(kind) + ")의 아이템은 수정할수 없습니다"};
}

bool HasContent(const item::ItemRecord& r) {
  const bool a = r.body.textA[0] != 0, b = r.body.textB[0] != 0;
  switch (static_cast<item::ItemKind>(r.header.kind())) {
    case item::ItemKind::OneLine:
    case item::ItemKind::Bitmap:
    case item::ItemKind::Animation:
      return a;
    case item::ItemKind::TwoLine:
    case item::ItemKind::TitleSentence:
      return a && b;
    case item::ItemKind::DateTime:
    case item::ItemKind::DDay:
    case item::ItemKind::Temperature:
      return true;
  }
  return false;
}

namespace {

// The message slots after one operation, as the store's slot rules say: removal moves
// the later rows up and zeroes the list's last slot, insertion moves them down; slots
// past the list stay as they are.
void RunOp(const SlotOp& op, std::vector<item::ItemRecord>& slots, const item::ItemRecord& edited,
           CutBuffer& cut) {
  const int p = op.slot, n = op.rows;
  if (p < 0 || n < 0 || n > kMaxRows) return;
  const auto at = [&slots](int k) { return slots.begin() + k; };
  switch (op.type) {
    case SlotOp::Type::Append:
    case SlotOp::Type::Rewrite:
      if (p < kMaxRows) slots[std::size_t(p)] = store::MergedItem(slots[std::size_t(p)], edited);
      break;
    case SlotOp::Type::Remove:
      if (p >= n) return;
      slots.erase(at(p));
      slots.insert(at(n - 1), item::ItemRecord{});
      break;
    case SlotOp::Type::Insert:
      if (p > n || n >= kMaxRows) return;
      slots.insert(at(p), cut.record);
      slots.erase(at(n + 1));  // slot n took the last row; the old slot n is gone
      break;
    case SlotOp::Type::TakeCut:
      if (p >= n) return;
      cut.record = slots[std::size_t(p)];
      cut.present = true;
      break;
    case SlotOp::Type::Move: {
      if (p > n || op.moved.empty() || op.moved.back() >= n) return;
      std::vector<item::ItemRecord> block, rest;
      for (int k = 0; k < n; ++k) {
        const bool moved = std::binary_search(op.moved.begin(), op.moved.end(), k);
        (moved ? block : rest).push_back(slots[std::size_t(k)]);
      }
      const auto before =
          std::count_if(op.moved.begin(), op.moved.end(), [p](int r) { return r < p; });
      rest.insert(rest.begin() + (p - before), block.begin(), block.end());
      std::copy(rest.begin(), rest.end(), slots.begin());
      break;
    }
  }
}

}  // namespace

Applied Apply(store::WorkStore& store, const Plan& plan, const item::ItemRecord& edited,
              CutBuffer& cut) {
  std::vector<item::ItemRecord> old(kMaxRows);
  for (int k = 0; k < kMaxRows; ++k) old[std::size_t(k)] = store.ReadRecord(k);
  std::vector<item::ItemRecord> slots = old;
  CutBuffer taken = cut;
  for (const SlotOp& op : plan.ops) RunOp(op, slots, edited, taken);

  Applied applied;
  applied.change.selectAfter = plan.selectAfter;
  const auto first = std::mismatch(old.begin(), old.end(), slots.begin()).first - old.begin();
  if (first < kMaxRows) {
    auto last = kMaxRows;
    while (old[std::size_t(last - 1)] == slots[std::size_t(last - 1)]) --last;
    const std::span changed(slots.begin() + first, slots.begin() + last);
    if (!store.ReplaceSlots(static_cast<int>(first), changed)) {
      applied.error = store.LastError();
      return applied;
    }
    applied.change.first = static_cast<int>(first);
    applied.change.before.assign(old.begin() + first, old.begin() + last);
    applied.change.after.assign(changed.begin(), changed.end());
  }
  cut = taken;
  return applied;
}

}  // namespace msglist
