#pragma once
// The eight cells of a message-list row, computed from an item record. Cells are UTF-8
// for display; the record's texts are code page 949 and converted here.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "shared/item_record.h"

namespace msglist {

inline constexpr int kColumnCount = 8;
using RowText = std::array<std::string, kColumnCount>;

// Column titles and widths in pixels, in column order.
struct ColumnInfo {
  std::string_view title;
  int width;
};
extern const std::array<ColumnInfo, kColumnCount> kColumns;

// Codes are shown plus one; the display window as "%02d시%02d분". A kind above 7 (only a
// damaged or foreign file holds one) shows UnknownKindText, its text A and its window.
RowText ItemRowText(const item::ItemRecord& record);

// The part of a CP949 path after its last '/' or '\' (the whole text when it has none).
std::string_view FileNameOf(std::string_view cp949Path);

// Column 0 of a row whose kind code has no label.
std::string UnknownKindText(std::uint8_t kind);

}  // namespace msglist
