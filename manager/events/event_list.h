#pragma once
// The prepared event list: event slots 0-9 (work-store slots 100-109) hold at most ten
// one-line events, contiguous from slot 0 and ended by the first slot with an empty text.
// Every edit writes through to the store at once; the rows kept here mirror the slots.
// Messages are UTF-8; an empty caption means the application's title.

#include <optional>
#include <string>
#include <vector>

#include "shared/item_record.h"

namespace store {
class WorkStore;
}

namespace events {

inline constexpr int kMaxEvents = 10;

// Work-store slot of event slot k (0-9).
int StoreSlot(int eventSlot);

struct Message {
  std::string text;
  std::string caption;
  bool operator==(const Message&) const = default;
};
// What an operation shows instead of acting; nullopt when it acted (or had nothing to do).
using Refusal = std::optional<Message>;

// The six cells of a list row: kind label, text, entry code + 1, "hold + 1초", exit + 1,
// speed + 1.
std::vector<std::string> RowTexts(const item::ItemRecord& event);

// An event as the event commands carry it: kind 0, header bytes 1-4 (entry, speed, hold,
// exit) from `header`, text and attributes in quarters A; everything else zero.
item::ItemRecord MakeEvent(const item::ItemHeader& header, const item::Quarter& text,
                           const item::Quarter& attrs);

// The events in the store: slots 0-9 up to the first empty text. Each record holds the
// header and quarters A.
std::vector<item::ItemRecord> ReadEvents(store::WorkStore& store);

class EventList {
 public:
  // Reads the list from the store (which must outlive this), with nothing cut.
  explicit EventList(store::WorkStore& store);

  int Count() const { return static_cast<int>(rows_.size()); }
  const item::ItemRecord& At(int row) const { return rows_.at(static_cast<std::size_t>(row)); }
  const std::vector<item::ItemRecord>& Rows() const { return rows_; }
  bool HasCut() const { return cutFlag_; }

  // Each takes the selected rows (any order). Refusal checks come first; a refusal leaves
  // rows and slots unchanged.
  Refusal CheckAdd() const;
  // Appends an edited event; an empty text stores nothing (returns false).
  bool Add(const item::ItemRecord& edited);
  // On nullopt, *row (when given) is the one row to modify.
  Refusal CheckModify(const std::vector<int>& selected, int* row = nullptr) const;
  // Writes an edited event over `row`; an empty text keeps the old one (returns false).
  bool Modify(int row, const item::ItemRecord& edited);
  Refusal Delete(const std::vector<int>& selected);
  Refusal Cut(const std::vector<int>& selected);
  // Inserts the cut event before the one selected row; the cut stays for further pastes.
  Refusal Paste(const std::vector<int>& selected);
  // On nullopt, *row is the one row to send.
  Refusal CheckSend(const std::vector<int>& selected, int* row = nullptr) const;

 private:
  // The store's slots from event row `first` to the end of the list, whole.
  std::vector<item::ItemRecord> SlotsFrom(int first) const;
  // Writes `slots` from event row `first` on and reads the rows back.
  void Rewrite(int first, std::vector<item::ItemRecord> slots);

  store::WorkStore& store_;
  std::vector<item::ItemRecord> rows_;
  item::ItemRecord cut_{};
  bool cutFlag_ = false;
};

}  // namespace events
