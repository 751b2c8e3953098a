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
  struct Case {
    LocalTime now;
    int year, month, day, days;
  } cases[] = {
      {Day(2025, 5, 10), 2025, 5, 10, 0},
      {Day(2025, 5, 10), 2025, 5, 11, 1},
      {Day(2025, 12, 31), 2026, 1, 1, 1},
      {Day(2024, 2, 1), 2024, 3, 1, 29},
      {Day(2025, 2, 1), 2025, 3, 1, 28},
      {Day(2000, 2, 1), 2000, 3, 1, 29},
      {Day(2100, 2, 1), 2100, 3, 1, 28},
      {Day(2025, 1, 1), 2026, 1, 1, 365},
      {Day(2023, 3, 1), 2024, 3, 1, 366},
      {Day(2025, 5, 10), 2025, 5, 9, kDayCountPast},
      {Day(2025, 5, 10), 2025, 4, 30, kDayCountPast},
      {Day(2025, 5, 10), 2024, 12, 31, kDayCountPast},
      {Day(2099, 12, 1), 2150, 13, 5, 30},  // a month that never comes: stops in January 2100
      {Day(2099, 12, 31), 2100, 1, 1, 1}};
  for (const Case& c : cases)
    EXPECT_EQ(DayCount(c.now, c.year, c.month, c.day), c.days) << c.year << "-" << c.month;
  EXPECT_GE(DayCount(Day(2025, 5, 10), 65535, 0, 255), 0);  // garbage never loops
  EXPECT_EQ(DDayText(12, true), "D-12");
  EXPECT_EQ(DDayText(kDayCountPast, false), "D-XX");
}

TEST(ClockLayout, TwoTiersSixModulesAtFivePastNine) {
  const FrameBuffer f = Clock(6, 2, Day(2025, 3, 7, 9, 5));
  EXPECT_EQ(ReadText(f, 0, 0, 96), "25년 3월 7일");
  EXPECT_EQ(ReadText(f, 0, 16, 96), "오전 9시05분");
  // Numbers red, words green, the half-day word yellow, on an unlit background.
  EXPECT_EQ(f.at(20, 65), kDotRed);
  EXPECT_EQ(f.at(20, 50), kDotGreen);
  EXPECT_EQ(f.at(20, 2), kDotYellow);
  EXPECT_EQ(f.at(20, 47), kDotOff);
}

TEST(ClockLayout, TwoTiersNarrowBoards) {
  // Four modules: the short layout centred at (64 - 64) / 2 = 0; five at (80 - 64) / 2 = 8;
  // two from 0 too, cut at the board's edge.
  FrameBuffer f = Clock(4, 2, Day(2025, 11, 7, 15, 42));
  EXPECT_EQ(ReadText(f, 0, 0, 64), "11월 7일");
  EXPECT_EQ(ReadText(f, 0, 16, 64), " 3시42분");
  f = Clock(5, 2, Day(2025, 11, 7, 15, 42));
  EXPECT_EQ(ReadText(f, 8, 16, 64), " 3시42분");
  f = Clock(2, 2, Day(2025, 11, 7, 15, 42));
  EXPECT_EQ(ReadText(f, 0, 0, 32), "11월");
}

TEST(ClockLayout, OneTierWidthClasses) {
  // Twelve modules and more: the whole date and time on one row, centred.
  FrameBuffer f = Clock(14, 1, Day(2025, 3, 7, 0, 30));
  EXPECT_EQ(ReadText(f, (224 - 192) / 2, 0, 192), "2025년 3월 7일 오전12:30");
  // Five to eleven modules: half-day word, hour, separator, minute.
  f = Clock(6, 1, Day(2025, 3, 7, 12, 30));
  EXPECT_EQ(ReadText(f, 12, 0, 72), "오후12:30");
  // Fewer than five: hour, separator, minute.
  f = Clock(3, 1, Day(2025, 3, 7, 21, 7));
  EXPECT_EQ(ReadText(f, 4, 0, 40), " 9:07");
  f = Clock(2, 1, Day(2025, 3, 7, 21, 7), false);
  EXPECT_EQ(ReadText(f, 0, 0, 32), " 9 0");
  // Rows 16-31 of a one-tier board are not the clock's.
  EXPECT_EQ(f.at(20, 0), 0x3F);
}

TEST(LocalTimeText, ParsesTheRenderersFormat) {
  LocalTime t;
  ASSERT_TRUE(ParseLocalTime("2024-02-29 23:59:01", t));
  EXPECT_EQ(std::tuple(t.year, t.month, t.day, t.hour, t.minute, t.second),
            std::tuple(2024, 2, 29, 23, 59, 1));
  EXPECT_FALSE(ParseLocalTime("2025-02-29 10:00:00", t));
  EXPECT_FALSE(ParseLocalTime("2025-01-01 24:00:00", t));
  EXPECT_FALSE(ParseLocalTime("2025-01-01", t));
  EXPECT_FALSE(ParseLocalTime("2025-01-01 10:00:00x", t));
}
