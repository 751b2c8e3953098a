#include <gtest/gtest.h>

#include "shared/cp949.h"

TEST(Cp949, AllKsx1001HangulRoundTrip) {
  for (int lead = 0xB0; lead <= 0xC8; ++lead) {
    for (int trail = 0xA1; trail <= 0xFE; ++trail) {
      const std::string bytes{char(lead), char(trail)};
      const auto back = text::Utf8ToCp949(text::Cp949ToUtf8(bytes));
      ASSERT_TRUE(back && *back == bytes) << std::hex << lead << trail;
      EXPECT_TRUE(text::IsKsx1001Code(std::uint8_t(lead), std::uint8_t(trail)));
    }
  }
}

TEST(Cp949, RefusedAndDamagedText) {
  EXPECT_FALSE(
      text::Utf8ToCp949("가\xF0\x9F\x98\x80").has_value());  // an emoji is refused, not dropped
  // 똠 is a CP949 extension: encodable, but no board code.
  const auto ttom = text::EncodeCodePoint(U'똠');
  ASSERT_TRUE(ttom && ttom->size() == 2u);
  EXPECT_FALSE(text::IsKsx1001Code(std::uint8_t((*ttom)[0]), std::uint8_t((*ttom)[1])));
  EXPECT_EQ(text::Cp949ToUtf8("A\xFF"), "A\xEF\xBF\xBD");
  EXPECT_EQ(text::Cp949ToUtf8("\xB0"), "\xEF\xBF\xBD");  // lone lead byte at the end
}

TEST(Cp949, QuarterCutNeverSplitsACharacter) {
  const struct {
    std::string text;
    std::size_t kept;
  } rows[] = {
      {std::string(2047, 'a'), 2047},
      {std::string(3000, 'c'), 2047},
      {std::string(2046, 'b') + "\xB0\xA1", 2046},  // the syllable would take bytes 2046-2047
      {std::string(2045, 'b') + "\xB0\xA1", 2047},
  };
  for (const auto& r : rows) {
    item::Quarter q;
    q.fill(0xEE);
    EXPECT_EQ(text::WriteTextQuarter(q, r.text), r.kept);
    EXPECT_EQ(text::ReadTextQuarter(q), r.text.substr(0, r.kept));
    EXPECT_TRUE(std::all_of(q.begin() + long(r.kept), q.end(), [](auto b) { return b == 0; }));
  }
  EXPECT_EQ(text::Cp949CutLength("\xB0\xA1\xB0", 3), 2u);
}
