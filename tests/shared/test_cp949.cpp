#include <gtest/gtest.h>

#include "shared/cp949.h"

TEST(Cp949, AllKsx1001HangulRoundTrip) {
  int count = 0;
  for (int lead = 0xB0; lead <= 0xC8; ++lead) {
    for (int trail = 0xA1; trail <= 0xFE; ++trail) {
      const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
      const std::string utf8 = text::Cp949ToUtf8(bytes);
      const auto back = text::Utf8ToCp949(utf8);
      ASSERT_TRUE(back.has_value()) << std::hex << lead << trail;
      EXPECT_EQ(*back, bytes);
      ++count;
    }
  }
  EXPECT_EQ(count, 2350);
  EXPECT_EQ(*text::Utf8ToCp949("가A"),
            "\xB0\xA1"
            "A");
}

TEST(Cp949, UnencodableTextIsRefusedNotDropped) {
  EXPECT_FALSE(text::Utf8ToCp949("가\xF0\x9F\x98\x80").has_value());  // an emoji
  EXPECT_FALSE(text::EncodeCodePoint(0x1F600).has_value());
  // A syllable outside KS X 1001 is encodable (CP949 extension) but not a board code.
  const auto ttom = text::EncodeCodePoint(U'똠');
  ASSERT_TRUE(ttom.has_value());
  ASSERT_EQ(ttom->size(), 2u);
  EXPECT_FALSE(text::IsKsx1001Code(static_cast<std::uint8_t>((*ttom)[0]),
                                   static_cast<std::uint8_t>((*ttom)[1])));
  EXPECT_TRUE(text::IsKsx1001Code(0xB0, 0xA1));
}

TEST(Cp949, DamagedBytesShowAsReplacement) {
  EXPECT_EQ(text::Cp949ToUtf8("A\xFF"), "A\xEF\xBF\xBD");
  EXPECT_EQ(text::Cp949ToUtf8("\xB0"), "\xEF\xBF\xBD");  // lone lead byte at the end
}

TEST(Cp949, QuarterCutNeverSplitsACharacter) {
  item::Quarter q;
  q.fill(0xEE);
  EXPECT_EQ(text::WriteTextQuarter(q, std::string(2047, 'a')), 2047u);
  EXPECT_EQ(q[2046], 'a');
  EXPECT_EQ(q[2047], 0);

  // 2046 single bytes then a two-byte character that would occupy 2046-2047.
  std::string text(2046, 'b');
  text += "\xB0\xA1";
  EXPECT_EQ(text::WriteTextQuarter(q, text), 2046u);
  EXPECT_EQ(q[2045], 'b');
  EXPECT_EQ(q[2046], 0);
  EXPECT_EQ(q[2047], 0);
  EXPECT_EQ(text::ReadTextQuarter(q), std::string(2046, 'b'));

  // Longer text is cut; the rest of the quarter is zero.
  EXPECT_EQ(text::WriteTextQuarter(q, std::string(3000, 'c')), 2047u);
  EXPECT_EQ(text::Cp949CutLength("\xB0\xA1\xB0", 3), 2u);
  EXPECT_EQ(text::Cp949CharCount("\xB0\xA1"
                                 "A"),
            2u);
}
