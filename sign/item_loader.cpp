#include "sign/item_loader.h"

#include "shared/board_memory.h"

namespace sign {

namespace {

void ReadPage(const FlashImage& image, std::uint32_t address, std::uint8_t* out) {
  image.Read(address, out, item::kQuarterSize);
}

}  // namespace

LoadResult LoadItem(const FlashImage& image, int itemCount, int index, LoadedItem& out) {
  if (index < 0 || index >= itemCount) return LoadResult::PastEnd;
  image.Read(board::HeaderAddress(index), out.header.bytes.data(), item::kItemHeaderSize);
  const std::uint32_t body = board::BodyAddress(index);
  switch (static_cast<item::ItemKind>(out.header.kind())) {
    case item::ItemKind::OneLine:
    case item::ItemKind::DDay:
      ReadPage(image, body, out.oneLine.text.data());
      ReadPage(image, body + item::kQuarterSize, out.oneLine.attr.data());
      break;
    case item::ItemKind::TwoLine:
    case item::ItemKind::TitleSentence:
      ReadPage(image, body, out.upper.text.data());
      ReadPage(image, body + item::kQuarterSize, out.upper.attr.data());
      ReadPage(image, body + 2 * item::kQuarterSize, out.lower.text.data());
      ReadPage(image, body + 3 * item::kQuarterSize, out.lower.attr.data());
      break;
    default:  // the header alone describes the item
      break;
  }
  return LoadResult::Loaded;
}

LookAhead ReadLookAhead(const FlashImage& image, int index) {
  std::uint8_t b[2];
  image.Read(board::HeaderAddress(index), b, 2);
  return {b[0], b[1]};
}

}  // namespace sign
