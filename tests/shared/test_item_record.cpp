#include <gtest/gtest.h>

#include "shared/board_memory.h"
#include "shared/codes.h"
#include "shared/item_record.h"

TEST(TextAttribute, FieldsPackIntoTheirBitsAndBack) {
  // Green text, yellow background, fourth font: 0x40 | 0x30 | 0x0C.
  item::TextAttribute a{item::TextColour::Green, item::BackColour::Yellow, item::BoardFont::Magic};
  EXPECT_EQ(a.Pack(), 0x7C);
  EXPECT_EQ(
      (item::TextAttribute{item::TextColour::Black, item::BackColour::Black, item::BoardFont::Gulim}
           .Pack()),
      0xC0);
  EXPECT_EQ(item::TextAttribute{}.Pack(), 0x00);
  for (int b = 0; b < 256; ++b) {
    const auto byte = static_cast<std::uint8_t>(b);
    EXPECT_EQ(item::TextAttribute::Unpack(byte).Pack(), byte & 0xFC) << b;
  }
}

TEST(ItemHeader, MultiByteFieldsAreBigEndian) {
  item::ItemHeader h;
  h.setImageAddress(0x004A0000);
  EXPECT_EQ(h[21], 0x00);
  EXPECT_EQ(h[22], 0x4A);
  EXPECT_EQ(h[23], 0x00);
  EXPECT_EQ(h[24], 0x00);
  h.set16(item::hdr::kDDayYear, 2011);
  EXPECT_EQ(h[21], 0x07);
  EXPECT_EQ(h[22], 0xDB);
  h.setStartMinutes(23 * 60 + 59);
  EXPECT_EQ(h[item::hdr::kStartHour], 23);
  EXPECT_EQ(h[item::hdr::kStartMinute], 59);
  EXPECT_EQ(h.startMinutes(), 1439);
}

TEST(ItemRecord, BytesRoundTripAtTheSlotOffsets) {
  item::ItemRecord r;
  r.header[0] = 1;
  r.body.textA[0] = 'A';
  r.body.attrA[0] = 0x7C;
  r.body.textB[0] = 'B';
  r.body.attrB[2047] = 0xC0;
  std::vector<std::uint8_t> bytes(item::kItemRecordSize);
  item::RecordToBytes(r, bytes.data());
  EXPECT_EQ(bytes[0], 1);
  EXPECT_EQ(bytes[32], 'A');
  EXPECT_EQ(bytes[2080], 0x7C);
  EXPECT_EQ(bytes[4128], 'B');
  EXPECT_EQ(bytes[8223], 0xC0);
  EXPECT_EQ(item::RecordFromBytes(bytes.data()), r);
}

TEST(ItemRecord, PresenceRuleAndQuartersByKind) {
  for (std::uint8_t kind : {5, 6, 7}) EXPECT_TRUE(item::HoldsItem(kind, 0)) << int(kind);
  for (std::uint8_t kind : {0, 1, 2, 3, 4, 8}) EXPECT_FALSE(item::HoldsItem(kind, 0)) << int(kind);
  EXPECT_TRUE(item::HoldsItem(0, 'x'));

  EXPECT_EQ(item::QuartersWritten(0), 0b0011u);
  EXPECT_EQ(item::QuartersWritten(1), 0b1111u);
  EXPECT_EQ(item::QuartersWritten(2), 0b1111u);
  EXPECT_EQ(item::QuartersWritten(3), 0b0001u);
  EXPECT_EQ(item::QuartersWritten(5), 0u);
  EXPECT_EQ(item::QuartersWritten(6), 0b0011u);
  EXPECT_EQ(item::QuartersWritten(200), 0u);
}

TEST(Codes, ListsHaveTheirLengthsAndLabels) {
  EXPECT_EQ(item::kEntryEffectTexts[0], "1. 지나가기");
  EXPECT_EQ(item::kEntryEffectTexts[16], "17. 효과없음(유지시간동안유지)");
  EXPECT_EQ(item::kExitEffectTexts[15], "16. 효과없음");
  EXPECT_EQ(item::kHoldTexts[9], "10");
  EXPECT_EQ(item::KindLabel(2), "제목과문장");
  EXPECT_EQ(item::KindLabel(8), "");
}

TEST(BoardMemory, AddressesAndPlaneSizes) {
  EXPECT_EQ(board::HeaderAddress(99), 0x060C60u);
  EXPECT_EQ(board::BodyAddress(99), 0x146000u);
  EXPECT_EQ(board::PlaneRowBytes(1), 1u);
  EXPECT_EQ(board::PlaneRowBytes(800), 100u);
  EXPECT_EQ(board::PictureBytes(9, 1), 4u);
  EXPECT_EQ(board::BodyBytesSent(0), 4096u);
  EXPECT_EQ(board::BodyBytesSent(2), 8192u);
  EXPECT_EQ(board::BodyBytesSent(3), 0u);
  EXPECT_EQ(board::BodyBytesSent(9), 0u);
}
