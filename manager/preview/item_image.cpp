#include "manager/preview/item_image.h"

#include <algorithm>

#include "shared/board_memory.h"

namespace preview {

namespace {

using Segment = sign::FlashImage::Segment;

// The settings bytes from the width to the connection flag; the item count is its own
// write (CountWrite), as in the download.
Segment SettingsRun(const Board& board) {
  Segment s;
  s.address = board::kWidth;
  s.bytes.assign(board::kConnection - board::kWidth + 1, 0);
  s.bytes[board::kWidth - s.address] = static_cast<std::uint8_t>(board.modules);
  s.bytes[board::kRowsCode - s.address] = static_cast<std::uint8_t>(board.tiers);
  s.bytes[board::kConnection - s.address] = board.connection ? 1 : 0;
  return s;
}

void Add(std::vector<Segment>& runs, const encode::MemoryWrite& w) {
  runs.push_back({w.address, w.bytes});
}

// Sorts the runs and joins those that touch or overlap (a later run wins where they do).
std::vector<Segment> Join(std::vector<Segment> runs) {
  std::stable_sort(runs.begin(), runs.end(),
                   [](const Segment& a, const Segment& b) { return a.address < b.address; });
  std::vector<Segment> joined;
  for (Segment& r : runs) {
    if (!joined.empty()) {
      Segment& last = joined.back();
      const std::uint64_t lastEnd = std::uint64_t{last.address} + last.bytes.size();
      if (r.address <= lastEnd) {
        const std::size_t at = r.address - last.address;
        if (at + r.bytes.size() > last.bytes.size()) last.bytes.resize(at + r.bytes.size());
        std::copy(r.bytes.begin(), r.bytes.end(), last.bytes.begin() + static_cast<long>(at));
        continue;
      }
    }
    joined.push_back(std::move(r));
  }
  return joined;
}

}  // namespace

std::vector<Segment> ProgramImage(std::span<const item::ItemRecord> records, const Board& board,
                                  encode::PictureSource& pictures) {
  const encode::Program program = encode::LayOutProgram(records, pictures);
  std::vector<Segment> runs;
  runs.push_back(SettingsRun(board));
  for (const encode::ItemLayout& item : program.items) {
    encode::ForEachWrite(item, [&runs](const encode::MemoryWrite& w) {
      Add(runs, w);
      return true;
    });
  }
  Add(runs, program.count);
  return Join(std::move(runs));
}

std::vector<Segment> OneItemImage(const item::ItemRecord& record, const Board& board,
                                  encode::PictureSource& pictures) {
  return ProgramImage(std::span<const item::ItemRecord>(&record, 1), board, pictures);
}

}  // namespace preview
