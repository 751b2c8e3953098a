#include "sign/text_page.h"

#include <string_view>

#include "shared/codes.h"

namespace sign {

namespace {

// Indexed by the attribute's colour fields.
constexpr std::uint8_t kForeColours[4] = {kDotRed, kDotGreen, kDotYellow, kDotOff};
constexpr std::uint8_t kBackColours[4] = {kDotOff, kDotRed, kDotGreen, kDotYellow};

}  // namespace

bool AtEnd(const TextPage& page, int i) {
  return i >= static_cast<int>(item::kQuarterSize) || page.text[static_cast<std::size_t>(i)] == 0;
}

PageChar CharAt(const TextPage& page, int i) {
  const auto at = static_cast<std::size_t>(i);
  PageChar c;
  const std::uint8_t lead = page.text[at];
  c.attr = page.attr[at];
  if (lead < 0x80) {
    c.code = lead;
    c.next = i + 1;
    return c;
  }
  const std::uint8_t trail = at + 1 < item::kQuarterSize ? page.text[at + 1] : 0;
  c.code = static_cast<std::uint16_t>(lead << 8 | trail);
  c.next = i + 2;
  c.last = trail == 0;
  return c;
}

int PageWidth(const TextPage& page, int size) {
  return MeasureText(
      std::string_view(reinterpret_cast<const char*>(page.text.data()), page.text.size()), size);
}

void SetPen(FontPen& pen, std::uint8_t attr) {
  const item::TextAttribute a = item::TextAttribute::Unpack(attr);
  pen.fore = kForeColours[static_cast<int>(a.text)];
  pen.back = kBackColours[static_cast<int>(a.back)];
  pen.style = static_cast<int>(a.font);
}

}  // namespace sign
