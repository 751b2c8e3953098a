#pragma once
// Reading items out of the preview image: the header from the item table and the text
// pages a kind uses from the item data area.

#include <cstdint>

#include "shared/item_record.h"
#include "sign/flash_image.h"
#include "sign/text_page.h"

namespace sign {

struct LoadedItem {
  item::ItemHeader header;
  TextPage oneLine;  // one-line and D-day items
  TextPage upper;    // two-line and title items
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
