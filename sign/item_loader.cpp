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
  switch (out.header.kind()) {
    case 0:
    case 6:
      ReadPage(image, body, out.oneLine.text.data());
      ReadPage(image, body + item::kQuarterSize, out.oneLine.attr.data());
      break;
    case 1:
    case 2:
      ReadPage(image, body, out.upper.text.data());
      ReadPage(image, body + item::kQuarterSize, out.upper.attr.data());
      ReadPage(image, body + 2 * item::kQuarterSize, out.lower.text.data());
      ReadPage(image, body + 3 * item::kQuarterSize, out.lower.attr.data());
      break;
    default:
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
