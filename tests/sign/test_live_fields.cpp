#include <gtest/gtest.h>

#include "sign/live_fields.h"
#include "tests/support/test_fonts.h"

using namespace sign;
using namespace sign_test;

namespace {

LocalTime Day(int y, int m, int d, int hh = 10, int mm = 0) {
  return {y, m, d, hh, mm, 0};
}

FrameBuffer Clock(int modules, int tier, const LocalTime& t, bool separator = true) {
  FrameBuffer f;
  f.dots.fill(0x3F);  // the clock must clear its rows itself
  DrawClock(f, TestFonts(), MakeGeometry(modules, tier, 1, false), t, separator);
  return f;
}

}  // namespace

TEST(DayCount, CountsToTheTargetPastTargetsAndTheYear2100StopTheWalk) {
  // clang-format off
  struct Case {
    LocalTime now;
    int year, month, day, days;
  } cases[] = {
      {Day(2025, 5, 10), 2025, 5, 10, 0},  {Day(2025, 5, 10), 2025, 5, 11, 1},
      {Day(2025, 12, 31), 2026, 1, 1, 1},  {Day(2024, 2, 1), 2024, 3, 1, 29},
      {Day(2025, 2, 1), 2025, 3, 1, 28},   {Day(2000, 2, 1), 2000, 3, 1, 29},
      {Day(2100, 2, 1), 2100, 3, 1, 28},   {Day(2025, 1, 1), 2026, 1, 1, 365},
      {Day(2023, 3, 1), 2024, 3, 1, 366},  {Day(2025, 5, 10), 2025, 5, 9, kDayCountPast},
      {Day(2025, 5, 10), 2025, 4, 30, kDayCountPast}, {Day(2025, 5, 10), 2024, 12, 31, kDayCountPast},
      {Day(2099, 12, 31), 2100, 1, 1, 1},
      {Day(2099, 12, 1), 2150, 13, 5, 30}};  // a month that never comes: stops in January 2100
  // clang-format on
  for (const Case& c : cases)
    EXPECT_EQ(DayCount(c.now, c.year, c.month, c.day), c.days) << c.year << "-" << c.month;
  EXPECT_GE(DayCount(Day(2025, 5, 10), 65535, 0, 255), 0);  // garbage never loops
  EXPECT_EQ(DDayText(12, true), "D-12");
  EXPECT_EQ(DDayText(kDayCountPast, false), "D-XX");
}

// Two tiers: date above, time below, the short layout centred from four modules down (cut at
// the edge on two). One tier: the whole date and time from twelve modules, half-day word and
// time from five, the time alone below that.
TEST(ClockLayout, LayoutsByTierAndWidth) {
  const struct {
    int modules, tier;
    LocalTime now;
    int x, y, w;
    const char* text;
  } cases[] = {{6, 2, Day(2025, 3, 7, 9, 5), 0, 0, 96, "25년 3월 7일"},
               {6, 2, Day(2025, 3, 7, 9, 5), 0, 16, 96, "오전 9시05분"},
               {4, 2, Day(2025, 11, 7, 15, 42), 0, 0, 64, "11월 7일"},
               {4, 2, Day(2025, 11, 7, 15, 42), 0, 16, 64, " 3시42분"},
               {5, 2, Day(2025, 11, 7, 15, 42), 8, 16, 64, " 3시42분"},
               {2, 2, Day(2025, 11, 7, 15, 42), 0, 0, 32, "11월"},
               {14, 1, Day(2025, 3, 7, 0, 30), (224 - 192) / 2, 0, 192, "2025년 3월 7일 오전12:30"},
               {6, 1, Day(2025, 3, 7, 12, 30), 12, 0, 72, "오후12:30"},
               {3, 1, Day(2025, 3, 7, 21, 7), 4, 0, 40, " 9:07"}};
  for (const auto& c : cases)
    EXPECT_EQ(ReadText(Clock(c.modules, c.tier, c.now), c.x, c.y, c.w), c.text) << c.modules;
  // Numbers red, words green, the half-day word yellow, on an unlit background.
  const FrameBuffer f = Clock(6, 2, Day(2025, 3, 7, 9, 5));
  EXPECT_EQ(std::vector<int>({f.at(20, 65), f.at(20, 50), f.at(20, 2), f.at(20, 47)}),
            std::vector<int>({kDotRed, kDotGreen, kDotYellow, kDotOff}));
  // Without the separator; rows 16-31 of a one-tier board are not the clock's.
  const FrameBuffer g = Clock(2, 1, Day(2025, 3, 7, 21, 7), false);
  EXPECT_EQ(ReadText(g, 0, 0, 32), " 9 0");
  EXPECT_EQ(g.at(20, 0), 0x3F);
}

TEST(LocalTimeText, ParsesTheRenderersFormat) {
  LocalTime t;
  ASSERT_TRUE(ParseLocalTime("2024-02-29 23:59:01", t));
  EXPECT_EQ(std::tuple(t.year, t.month, t.day, t.hour, t.minute, t.second),
            std::tuple(2024, 2, 29, 23, 59, 1));
  for (const char* bad :
       {"2025-02-29 10:00:00", "2025-01-01 24:00:00", "2025-01-01", "2025-01-01 10:00:00x"})
    EXPECT_FALSE(ParseLocalTime(bad, t)) << bad;
}
