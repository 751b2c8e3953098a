#include <gtest/gtest.h>

#include <tuple>

#include "shared/cp949.h"
#include "shared/item_record.h"

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
