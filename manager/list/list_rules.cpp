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

void Apply(store::WorkStore& store, const std::vector<SlotOp>& ops, const item::ItemRecord& edited,
           CutBuffer& cut) {
  for (const SlotOp& op : ops) {
    if (op.slot < 0 || op.slot >= kMaxRows) continue;
    switch (op.type) {
      case SlotOp::Type::Append:
        store.AppendSlot(op.slot, edited);
        break;
      case SlotOp::Type::Rewrite:
        store.WriteItem(op.slot, edited);
        break;
      case SlotOp::Type::Remove:
        store.RemoveSlot(op.slot, op.rows);
        break;
      case SlotOp::Type::Insert:
        store.InsertSlot(op.slot, op.rows, cut.record);
        break;
      case SlotOp::Type::TakeCut:
        cut.record = store.ReadRecord(op.slot);
        cut.present = true;
        break;
    }
  }
}

}  // namespace msglist
