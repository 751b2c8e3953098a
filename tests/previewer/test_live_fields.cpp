#include <gtest/gtest.h>

#include "engine_test_support.h"
#include "previewer/live_fields.h"

using namespace testing_preview;

namespace {

LocalTime Day(int y, int m, int d, int hh = 10, int mm = 0) {
  return {y, m, d, hh, mm, 0};
}

constexpr std::uint16_t kYearWord = 0xB3E2, kMonthWord = 0xBFF9, kDayWord = 0xC0CF,
                        kHourWord = 0xBDC3, kMinuteWord = 0xBAD0, kO = 0xBFC0, kJeon = 0xC0FC,
                        kHu = 0xC8C4;

FrameBuffer Clock(int modules, int tier, const LocalTime& t, bool separator = true) {
  FrameBuffer f;
  f.dots.fill(0x3F);  // the clock must clear its rows itself
  DrawClock(f, TestFonts(), MakeGeometry(modules, tier, 1, false), t, separator);
  return f;
}

}  // namespace

TEST(DayCount, CountsToTheTarget) {
  EXPECT_EQ(DayCount(Day(2025, 5, 10), 2025, 5, 10), 0);
  EXPECT_EQ(DayCount(Day(2025, 5, 10), 2025, 5, 11), 1);
  EXPECT_EQ(DayCount(Day(2025, 12, 31), 2026, 1, 1), 1);
  EXPECT_EQ(DayCount(Day(2024, 2, 1), 2024, 3, 1), 29);
  EXPECT_EQ(DayCount(Day(2025, 2, 1), 2025, 3, 1), 28);
  EXPECT_EQ(DayCount(Day(2000, 2, 1), 2000, 3, 1), 29);  // divisible by 400
  EXPECT_EQ(DayCount(Day(2100, 2, 1), 2100, 3, 1), 28);  // by 100 only
  EXPECT_EQ(DayCount(Day(2025, 1, 1), 2026, 1, 1), 365);
  EXPECT_EQ(DayCount(Day(2023, 3, 1), 2024, 3, 1), 366);
}

TEST(DayCount, PastTargetsAndTheYear2100Stop) {
  EXPECT_EQ(DayCount(Day(2025, 5, 10), 2025, 5, 9), kDayCountPast);
  EXPECT_EQ(DayCount(Day(2025, 5, 10), 2025, 4, 30), kDayCountPast);
  EXPECT_EQ(DayCount(Day(2025, 5, 10), 2024, 12, 31), kDayCountPast);
  // A month that never comes: the walk stops in January 2100 with what it has counted.
  EXPECT_EQ(DayCount(Day(2099, 12, 1), 2150, 13, 5), 30);
  EXPECT_EQ(DayCount(Day(2099, 12, 31), 2100, 1, 1), 1);
  // Garbage dates never loop: the year bounds the walk.
  EXPECT_GE(DayCount(Day(2025, 5, 10), 65535, 0, 255), 0);
}

TEST(DayCount, DDayTexts) {
  EXPECT_EQ(DDayText(0, false), "D-0");
  EXPECT_EQ(DDayText(12, true), "D-12");
  EXPECT_EQ(DDayText(kDayCountPast, false), "D-XX");
  EXPECT_EQ(DDayText(kDayCountPast, true), "D-XXXX");
}

TEST(ClockLayout, TwoTiersSixModulesAtFivePastNine) {
  const FrameBuffer f = Clock(6, 2, Day(2025, 3, 7, 9, 5));
  EXPECT_EQ(ReadNarrow(f, 0, 0, 2), "25");
  EXPECT_EQ(CodeAt(f, 16, 0, true), kYearWord);
  EXPECT_EQ(ReadNarrow(f, 32, 0, 2), " 3");
  EXPECT_EQ(CodeAt(f, 48, 0, true), kMonthWord);
  EXPECT_EQ(ReadNarrow(f, 64, 0, 2), " 7");
  EXPECT_EQ(CodeAt(f, 80, 0, true), kDayWord);
  // Row 16: 오전, " 9", 시, "05", 분.
  EXPECT_EQ(CodeAt(f, 0, 16, true), kO);
  EXPECT_EQ(CodeAt(f, 16, 16, true), kJeon);
  EXPECT_EQ(ReadNarrow(f, 32, 16, 2), " 9");
  EXPECT_EQ(CodeAt(f, 48, 16, true), kHourWord);
  EXPECT_EQ(ReadNarrow(f, 64, 16, 2), "05");
  EXPECT_EQ(CodeAt(f, 80, 16, true), kMinuteWord);
  // Numbers red, words green, the half-day word yellow, on an unlit background.
  EXPECT_EQ(f.at(20, 65), kDotRed);
  EXPECT_EQ(f.at(20, 50), kDotGreen);
  EXPECT_EQ(f.at(20, 2), kDotYellow);
  EXPECT_EQ(f.at(20, 47), kDotOff);
}

TEST(ClockLayout, TwoTiersNarrowBoards) {
  // Four modules: the short layout centred at (64 - 64) / 2 = 0; three modules: from 0 too.
  FrameBuffer f = Clock(4, 2, Day(2025, 11, 7, 15, 42));
  EXPECT_EQ(ReadNarrow(f, 0, 0, 2), "11");
  EXPECT_EQ(CodeAt(f, 16, 0, true), kMonthWord);
  EXPECT_EQ(ReadNarrow(f, 32, 0, 2), " 7");
  EXPECT_EQ(ReadNarrow(f, 0, 16, 2), " 3");
  EXPECT_EQ(CodeAt(f, 16, 16, true), kHourWord);
  EXPECT_EQ(ReadNarrow(f, 32, 16, 2), "42");
  f = Clock(5, 2, Day(2025, 11, 7, 15, 42));
  EXPECT_EQ(ReadNarrow(f, 8, 16, 2), " 3");  // (80 - 64) / 2
  f = Clock(2, 2, Day(2025, 11, 7, 15, 42));
  EXPECT_EQ(ReadNarrow(f, 0, 0, 2), "11");
  EXPECT_EQ(CodeAt(f, 16, 0, true), kMonthWord);
}

TEST(ClockLayout, OneTierWidthClasses) {
  // Twelve modules and more: the whole date and time on one row.
  FrameBuffer f = Clock(14, 1, Day(2025, 3, 7, 0, 30));
  const int x = (224 - 192) / 2;
  EXPECT_EQ(ReadNarrow(f, x, 0, 4), "2025");
  EXPECT_EQ(CodeAt(f, x + 32, 0, true), kYearWord);
  EXPECT_EQ(ReadNarrow(f, x + 48, 0, 2), " 3");
  EXPECT_EQ(ReadNarrow(f, x + 80, 0, 2), " 7");
  EXPECT_EQ(CodeAt(f, x + 120, 0, true), kO);
  EXPECT_EQ(CodeAt(f, x + 136, 0, true), kJeon);
  EXPECT_EQ(ReadNarrow(f, x + 152, 0, 4), "12:3");
  EXPECT_EQ(ReadNarrow(f, x + 176, 0, 2), "30");
  // Five to eleven modules: half-day word, hour, separator, minute.
  f = Clock(6, 1, Day(2025, 3, 7, 12, 30));
  EXPECT_EQ(CodeAt(f, 12, 0, true), kO);
  EXPECT_EQ(CodeAt(f, 28, 0, true), kHu);
  EXPECT_EQ(ReadNarrow(f, 44, 0, 4), "12:3");
  EXPECT_EQ(ReadNarrow(f, 68, 0, 2), "30");
  // Fewer than five: hour, separator, minute.
  f = Clock(3, 1, Day(2025, 3, 7, 21, 7));
  EXPECT_EQ(ReadNarrow(f, 4, 0, 5), " 9:07");
  f = Clock(2, 1, Day(2025, 3, 7, 21, 7), false);
  EXPECT_EQ(ReadNarrow(f, 0, 0, 4), " 9 0");
  // Rows 16-31 of a one-tier board are not the clock's.
  EXPECT_EQ(f.at(20, 0), 0x3F);
}

TEST(LocalTimeText, ParsesTheRenderersFormat) {
  LocalTime t;
  ASSERT_TRUE(ParseLocalTime("2024-02-29 23:59:01", t));
  EXPECT_EQ(t.year, 2024);
  EXPECT_EQ(t.day, 29);
  EXPECT_EQ(t.second, 1);
  EXPECT_FALSE(ParseLocalTime("2025-02-29 10:00:00", t));
  EXPECT_FALSE(ParseLocalTime("2025-01-01 24:00:00", t));
  EXPECT_FALSE(ParseLocalTime("2025-01-01", t));
  EXPECT_FALSE(ParseLocalTime("2025-01-01 10:00:00x", t));
}
