#include "manager/list/history.h"

#include <map>

namespace msglist {

namespace {

std::string Pack(const item::ItemRecord& r) {
  std::string out(reinterpret_cast<const char*>(r.header.bytes.data()), item::kItemHeaderSize);
  for (int q = 0; q < 4; ++q) {
    const item::Quarter& quarter = r.body.quarter(static_cast<item::QuarterId>(q));
    std::size_t used = quarter.size();
    while (used > 0 && quarter[used - 1] == 0) --used;
    out.push_back(static_cast<char>(used >> 8));
    out.push_back(static_cast<char>(used & 0xFF));
    out.append(reinterpret_cast<const char*>(quarter.data()), used);
  }
  return out;
}

item::ItemRecord Unpack(const std::string& packed) {
  item::ItemRecord r;
  const auto* p = reinterpret_cast<const std::uint8_t*>(packed.data());
  std::copy(p, p + item::kItemHeaderSize, r.header.bytes.begin());
  p += item::kItemHeaderSize;
  for (int q = 0; q < 4; ++q) {
    const std::size_t used = std::size_t(p[0]) << 8 | p[1];
    std::copy(p + 2, p + 2 + used, r.body.quarter(static_cast<item::QuarterId>(q)).begin());
    p += 2 + used;
  }
  return r;
}

}  // namespace

void EditHistory::Record(const SlotChange& change) {
  if (change.empty()) return;
  Step step{change.first, {}, {}, {}, change.selectBefore, change.selectAfter};
  std::map<std::string, std::uint16_t> seen;
  const auto index = [&](const item::ItemRecord& r) {
    const auto [it, added] = seen.try_emplace(Pack(r), std::uint16_t(step.pool.size()));
    if (added) step.pool.push_back(it->first);
    return it->second;
  };
  for (const item::ItemRecord& r : change.before) step.before.push_back(index(r));
  for (const item::ItemRecord& r : change.after) step.after.push_back(index(r));
  undo_.push_back(std::move(step));
  if (undo_.size() > kMaxSteps) undo_.pop_front();
  redo_.clear();
}

std::optional<std::vector<int>> EditHistory::Undo(store::WorkStore& store) {
  return Replay(store, undo_, redo_, false);
}

std::optional<std::vector<int>> EditHistory::Redo(store::WorkStore& store) {
  return Replay(store, redo_, undo_, true);
}

std::optional<std::vector<int>> EditHistory::Replay(store::WorkStore& store, std::deque<Step>& from,
                                                    std::deque<Step>& to, bool forward) {
  if (from.empty()) return std::nullopt;
  Step& step = from.back();
  std::vector<item::ItemRecord> records;
  for (std::uint16_t i : forward ? step.after : step.before)
    records.push_back(Unpack(step.pool[i]));
  if (!store.ReplaceSlots(step.first, records)) return std::nullopt;
  std::vector<int> select = forward ? step.selectAfter : step.selectBefore;
  to.push_back(std::move(step));
  from.pop_back();
  return select;
}

void EditHistory::Clear() {
  undo_.clear();
  redo_.clear();
}

}  // namespace msglist
