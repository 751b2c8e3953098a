#pragma once
// A line's text as the board stores it: a CP949 page (NUL-terminated, or ending with the
// page) and one attribute byte per text byte; a two-byte character takes the attribute of
// its first byte.

#include <array>
#include <cstdint>

#include "shared/item_record.h"
#include "sign/font_set.h"

namespace sign {

struct TextPage {
  std::array<std::uint8_t, item::kQuarterSize> text{};
  std::array<std::uint8_t, item::kQuarterSize> attr{};
};

// One character of a page.
struct PageChar {
  std::uint16_t code = 0;  // a byte below 0x80, or lead << 8 | trail
  std::uint8_t attr = 0;
  int next = 0;       // index of the following character
  bool last = false;  // the text ends after this character
};

// True when the text ends at byte i.
bool AtEnd(const TextPage& page, int i);
// The character at byte i (not at the end). A lead byte whose trail is the NUL or lies
// beyond the page is a two-byte character that ends the text, as the measuring does.
PageChar CharAt(const TextPage& page, int i);
// Width in dots of the page's text in the font of `size`.
int PageWidth(const TextPage& page, int size);
// Colours and style of an attribute byte into pen.
void SetPen(FontPen& pen, std::uint8_t attr);

}  // namespace sign
