#include "shared/item_record.h"

#include <cstring>

namespace item {

std::uint16_t ItemHeader::get16(int at) const {
  return static_cast<std::uint16_t>((bytes[at] << 8) | bytes[at + 1]);
}

void ItemHeader::set16(int at, std::uint16_t v) {
  bytes[at] = static_cast<std::uint8_t>(v >> 8);
  bytes[at + 1] = static_cast<std::uint8_t>(v);
}

std::uint32_t ItemHeader::get32(int at) const {
  return (std::uint32_t{bytes[at]} << 24) | (std::uint32_t{bytes[at + 1]} << 16) |
         (std::uint32_t{bytes[at + 2]} << 8) | std::uint32_t{bytes[at + 3]};
}

void ItemHeader::set32(int at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}

void ItemHeader::setStartMinutes(int m) {
  bytes[hdr::kStartHour] = static_cast<std::uint8_t>(m / 60);
  bytes[hdr::kStartMinute] = static_cast<std::uint8_t>(m % 60);
}

void ItemHeader::setEndMinutes(int m) {
  bytes[hdr::kEndHour] = static_cast<std::uint8_t>(m / 60);
  bytes[hdr::kEndMinute] = static_cast<std::uint8_t>(m % 60);
}

Quarter& ItemBody::quarter(QuarterId q) {
  switch (q) {
    case QuarterId::TextA:
      return textA;
    case QuarterId::AttrA:
      return attrA;
    case QuarterId::TextB:
      return textB;
    case QuarterId::AttrB:
      break;
  }
  return attrB;
}

const Quarter& ItemBody::quarter(QuarterId q) const {
  return const_cast<ItemBody*>(this)->quarter(q);
}

unsigned QuartersWritten(std::uint8_t kind) {
  switch (kind) {
    case 0:
    case 6:
      return 0b0011;  // text A and its attributes
    case 1:
    case 2:
      return 0b1111;
    case 3:
    case 4:
      return 0b0001;  // the source path only
    default:
      return 0;
  }
}

bool HoldsItem(std::uint8_t kind, std::uint8_t firstTextByte) {
  return kind == 5 || kind == 6 || kind == 7 || firstTextByte != 0;
}

void RecordToBytes(const ItemRecord& r, std::uint8_t* out) {
  std::memcpy(out, r.header.bytes.data(), kItemHeaderSize);
  for (int q = 0; q < 4; ++q) {
    std::memcpy(out + QuarterOffset(static_cast<QuarterId>(q)),
                r.body.quarter(static_cast<QuarterId>(q)).data(), kQuarterSize);
  }
}

ItemRecord RecordFromBytes(const std::uint8_t* in) {
  ItemRecord r;
  std::memcpy(r.header.bytes.data(), in, kItemHeaderSize);
  for (int q = 0; q < 4; ++q) {
    std::memcpy(r.body.quarter(static_cast<QuarterId>(q)).data(),
                in + QuarterOffset(static_cast<QuarterId>(q)), kQuarterSize);
  }
  return r;
}

}  // namespace item
