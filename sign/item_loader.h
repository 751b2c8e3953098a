#pragma once
// Reading items out of the preview image: the header from the item table and the text
// pages a kind uses from the item data area.

#include <array>
#include <cstdint>

#include "shared/item_record.h"
#include "sign/flash_image.h"

namespace sign {

// A CP949 text (NUL-terminated, or ending with the page) and one attribute byte per
// text byte.
struct TextPage {
  std::array<std::uint8_t, item::kQuarterSize> text{};
  std::array<std::uint8_t, item::kQuarterSize> attr{};
};

struct LoadedItem {
  item::ItemHeader header;
  TextPage oneLine;  // kinds 0 and 6
  TextPage upper;    // kinds 1 and 2
  TextPage lower;
};

enum class LoadResult { Loaded, PastEnd };

// Past the end (nothing read) when index >= itemCount; otherwise reads header and pages.
// Pages a kind does not use are left as they were.
LoadResult LoadItem(const FlashImage& image, int itemCount, int index, LoadedItem& out);

// Bytes 0 and 1 of item index's header, read without loading it.
struct LookAhead {
  std::uint8_t kind = 0xFF;
  std::uint8_t byte1 = 0xFF;
};
LookAhead ReadLookAhead(const FlashImage& image, int index);

}  // namespace sign
