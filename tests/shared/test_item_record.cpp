#include <gtest/gtest.h>

#include <tuple>

#include "shared/codes.h"
#include "shared/cp949.h"
#include "shared/item_record.h"

TEST(ItemRecord, AttributeBitsFieldsAndSlotOffsets) {
  // Green text, yellow background, fourth font: 0x40 | 0x30 | 0x0C.
  const item::TextAttribute a{item::TextColour::Green, item::BackColour::Yellow,
                              item::BoardFont::Magic};
  EXPECT_EQ(a.Pack(), 0x7C);
  for (int b = 0; b < 256; ++b)
    EXPECT_EQ(item::TextAttribute::Unpack(std::uint8_t(b)).Pack(), b & 0xFC);
  item::ItemHeader h;
  h.setImageAddress(0x004A0000);
  EXPECT_EQ(std::vector<int>(h.bytes.begin() + 21, h.bytes.begin() + 25),
            (std::vector<int>{0, 0x4A, 0, 0}));
  h.set16(item::hdr::kDDayYear, 2011);
  h.setStartMinutes(23 * 60 + 59);
  EXPECT_EQ(std::vector<int>({h[21], h[22], h[item::hdr::kStartHour], h[item::hdr::kStartMinute]}),
            std::vector<int>({0x07, 0xDB, 23, 59}));

  item::ItemRecord r;
  std::vector<std::uint8_t> bytes(item::kItemRecordSize);
  r.header[0] = 1;
  r.body.textA[0] = 'A';
  r.body.attrA[0] = 0x7C;
  r.body.textB[0] = 'B';
  r.body.attrB[2047] = 0xC0;
  item::RecordToBytes(r, bytes.data());
  for (auto [at, v] : {std::pair{0, 1}, {32, 'A'}, {2080, 0x7C}, {4128, 'B'}, {8223, 0xC0}}) {
    EXPECT_EQ(bytes[std::size_t(at)], v) << at;
  }
  EXPECT_EQ(item::RecordFromBytes(bytes.data()), r);
}

TEST(ItemRecord, PresenceRuleAndQuartersByKind) {
  const std::tuple<std::uint8_t, bool, unsigned> rows[] = {
      {0, false, 0b0011}, {1, false, 0b1111}, {2, false, 0b1111}, {3, false, 0b0001},
      {4, false, 0b0001}, {5, true, 0},       {6, true, 0b0011},  {7, true, 0},
      {8, false, 0},      {200, false, 0}};
  for (const auto& [kind, heldEmpty, quarters] : rows) {
    EXPECT_EQ(item::HoldsItem(kind, 0), heldEmpty) << int(kind);
    EXPECT_EQ(item::QuartersWritten(kind), quarters) << int(kind);
  }
  EXPECT_TRUE(item::HoldsItem(0, 'x'));
}

// Damaged bytes still show, as the replacement character.
TEST(Cp949, AllKsx1001HangulRoundTripAndDamagedBytesShow) {
  for (int lead = 0xB0; lead <= 0xC8; ++lead) {
    for (int trail = 0xA1; trail <= 0xFE; ++trail) {
      const std::string bytes{char(lead), char(trail)};
      const auto back = text::Utf8ToCp949(text::Cp949ToUtf8(bytes));
      ASSERT_TRUE(back && *back == bytes) << std::hex << lead << trail;
      EXPECT_TRUE(text::IsKsx1001Code(std::uint8_t(lead), std::uint8_t(trail)));
    }
  }
  EXPECT_EQ(text::Cp949ToUtf8("A\xFF"), "A\xEF\xBF\xBD");
  EXPECT_EQ(text::Cp949ToUtf8("\xB0"), "\xEF\xBF\xBD");  // lone lead byte at the end
}

TEST(Cp949, QuarterCutNeverSplitsACharacter) {
  const std::tuple<std::string, std::size_t> rows[] = {
      {std::string(2047, 'a'), 2047},
      {std::string(3000, 'c'), 2047},
      {std::string(2046, 'b') + "\xB0\xA1", 2046},  // the syllable would take bytes 2046-2047
      {std::string(2045, 'b') + "\xB0\xA1", 2047},
  };
  for (const auto& [s, kept] : rows) {
    item::Quarter q;
    q.fill(0xEE);
    EXPECT_EQ(text::WriteTextQuarter(q, s), kept);
    EXPECT_EQ(text::ReadTextQuarter(q), s.substr(0, kept));
    EXPECT_TRUE(std::all_of(q.begin() + long(kept), q.end(), [](auto b) { return b == 0; }));
  }
  EXPECT_EQ(text::Cp949CutLength("\xB0\xA1\xB0", 3), 2u);
}
