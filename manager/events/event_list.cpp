#include "manager/events/event_list.h"

#include <algorithm>
#include <cstdio>

#include "manager/store/work_store.h"
#include "shared/codes.h"
#include "shared/cp949.h"

namespace events {

namespace {

std::string Number(int n, const char* suffix = "") {
  char buf[24];
  std::snprintf(buf, sizeof buf, "%d%s", n, suffix);
  return buf;
}

bool HasText(const item::ItemRecord& r) {
  return r.body.textA[0] != 0;
}

std::vector<int> Sorted(std::vector<int> rows, int count) {
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  std::erase_if(rows, [count](int r) { return r < 0 || r >= count; });
  return rows;
}

Message NoCaption(const char* text) {
  return {text, {}};
}

}  // namespace

int StoreSlot(int eventSlot) {
  return store::kFirstEventSlot + eventSlot;
}

std::vector<std::string> RowTexts(const item::ItemRecord& event) {
  const item::ItemHeader& h = event.header;
  return {std::string(item::KindLabel(static_cast<std::uint8_t>(item::ItemKind::OneLine))),
          text::Cp949ToUtf8(text::ReadTextQuarter(event.body.textA)),
          Number(h[item::hdr::kEntry] + 1),
          Number(h[item::hdr::kHold] + 1, "초"),
          Number(h[item::hdr::kExit] + 1),
          Number(h[item::hdr::kSpeed] + 1)};
}

item::ItemRecord MakeEvent(const item::ItemHeader& header, const item::Quarter& text,
                           const item::Quarter& attrs) {
  item::ItemRecord r{};
  r.header.setKind(item::ItemKind::OneLine);
  for (int at : {item::hdr::kEntry, item::hdr::kSpeed, item::hdr::kHold, item::hdr::kExit}) {
    r.header[at] = header[at];
  }
  r.body.textA = text;
  r.body.attrA = attrs;
  // A quarter handed in without its NUL still ends inside the slot.
  r.body.textA[item::kMaxTextBytes] = 0;
  const std::size_t kept = text::Cp949CutLength(text::ReadTextQuarter(r.body.textA));
  std::fill(r.body.textA.begin() + static_cast<std::ptrdiff_t>(kept), r.body.textA.end(), 0);
  return r;
}

std::vector<item::ItemRecord> ReadEvents(store::WorkStore& store) {
  std::vector<item::ItemRecord> rows;
  for (int k = 0; k < kMaxEvents; ++k) {
    item::ItemRecord r{};
    const std::size_t base = store::SlotOffset(StoreSlot(k));
    store.Read(base, r.header.bytes.data(), item::kItemHeaderSize);
    store.Read(base + item::QuarterOffset(item::QuarterId::TextA), r.body.textA.data(),
               item::kQuarterSize);
    if (!HasText(r)) break;
    store.Read(base + item::QuarterOffset(item::QuarterId::AttrA), r.body.attrA.data(),
               item::kQuarterSize);
    rows.push_back(r);
  }
  return rows;
}

EventList::EventList(store::WorkStore& store) : store_(store), rows_(ReadEvents(store)) {}

Refusal EventList::CheckAdd() const {
  if (Count() >= kMaxEvents) return Message{"더이상 이벤트를 추가할수 없습니다", "더이상 추가안됨"};
  return std::nullopt;
}

bool EventList::Add(const item::ItemRecord& edited) {
  if (CheckAdd() || !HasText(edited)) return false;
  const item::ItemRecord r = MakeEvent(edited.header, edited.body.textA, edited.body.attrA);
  store_.WriteItem(StoreSlot(Count()), r);
  rows_.push_back(r);
  return true;
}

Refusal EventList::CheckModify(const std::vector<int>& selected, int* row) const {
  const std::vector<int> rows = Sorted(selected, Count());
  if (Count() == 0) return NoCaption("수정할 아이템이 없습니다");
  if (rows.empty()) return NoCaption("수정할곳의 아이템을 선택하십시요");
  if (rows.size() > 1) return NoCaption("수정할곳의 Item만 선택하세요...");
  if (row) *row = rows.front();
  return std::nullopt;
}

bool EventList::Modify(int row, const item::ItemRecord& edited) {
  if (row < 0 || row >= Count() || !HasText(edited)) return false;
  const item::ItemRecord r = MakeEvent(edited.header, edited.body.textA, edited.body.attrA);
  store_.WriteItem(StoreSlot(row), r);
  rows_[static_cast<std::size_t>(row)] = r;
  return true;
}

std::vector<item::ItemRecord> EventList::SlotsFrom(int first) const {
  std::vector<item::ItemRecord> slots;
  for (int k = first; k < Count(); ++k) slots.push_back(store_.ReadRecord(StoreSlot(k)));
  return slots;
}

void EventList::Rewrite(int first, std::vector<item::ItemRecord> slots) {
  // Vacated slots become zero; the whole shift is one change, so a kill leaves the old
  // list or the new one.
  slots.resize(std::max<std::size_t>(slots.size(), static_cast<std::size_t>(Count() - first)));
  store_.ReplaceSlots(StoreSlot(first), slots);
  rows_ = ReadEvents(store_);
}

Refusal EventList::Delete(const std::vector<int>& selected) {
  const std::vector<int> rows = Sorted(selected, Count());
  if (Count() == 0) return NoCaption("삭제할 아이템이 없습니다");
  if (rows.empty()) return NoCaption("삭제할곳의 아이템을 선택하십시요");
  std::vector<item::ItemRecord> slots = SlotsFrom(rows.front());
  for (auto r = rows.rbegin(); r != rows.rend(); ++r)
    slots.erase(slots.begin() + (*r - rows.front()));
  Rewrite(rows.front(), std::move(slots));
  return std::nullopt;
}

Refusal EventList::Cut(const std::vector<int>& selected) {
  const std::vector<int> rows = Sorted(selected, Count());
  if (Count() == 0) return NoCaption("아이템이 없습니다");
  if (rows.size() > 1) return NoCaption("잘라내기 할곳의 Item만 선택하세요...");
  if (rows.empty()) return std::nullopt;  // the menu offers cut only over a selection
  std::vector<item::ItemRecord> slots = SlotsFrom(rows.front());
  cut_ = slots.front();
  slots.erase(slots.begin());
  Rewrite(rows.front(), std::move(slots));
  cutFlag_ = true;
  return std::nullopt;
}

Refusal EventList::Paste(const std::vector<int>& selected) {
  const std::vector<int> rows = Sorted(selected, Count());
  if (!cutFlag_) return Message{"먼저 잘라내기를 하십시요?", "붙여넣기"};
  if (Count() >= kMaxEvents) return NoCaption("더이상 삽입할수 없습니다");
  if (rows.empty()) return NoCaption("붙여넣기 할곳의 아이템을 선택하십시요");
  if (rows.size() > 1) return NoCaption("붙여넣기 할곳의 아이템만 선택하세요?");
  std::vector<item::ItemRecord> slots = SlotsFrom(rows.front());
  slots.insert(slots.begin(), cut_);
  Rewrite(rows.front(), std::move(slots));
  return std::nullopt;
}

Refusal EventList::CheckSend(const std::vector<int>& selected, int* row) const {
  const std::vector<int> rows = Sorted(selected, Count());
  if (rows.empty()) return NoCaption("선택된 Item이 없습니다.");
  if (rows.size() > 1) return NoCaption("한개의 Item만 선택하세요...");
  if (row) *row = rows.front();
  return std::nullopt;
}

}  // namespace events
