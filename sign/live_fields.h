#pragma once
// Values the board computes itself: the date-and-time clock and the D-day count. Time comes
// from a LocalClock so that callers (and tests) decide what "now" is.

#include <string>

#include "sign/board_geometry.h"
#include "sign/font_set.h"
#include "sign/frame_buffer.h"

namespace sign {

struct LocalTime {
  int year = 2000;
  int month = 1;   // 1-12
  int day = 1;     // 1-31
  int hour = 0;    // 0-23
  int minute = 0;  // 0-59
  int second = 0;
};

class LocalClock {
 public:
  virtual ~LocalClock() = default;
  virtual LocalTime Now() const = 0;
};

// The computer's local time.
class SystemClock : public LocalClock {
 public:
  LocalTime Now() const override;
};

// Always the same instant.
class FixedClock : public LocalClock {
 public:
  explicit FixedClock(const LocalTime& t) : time_(t) {}
  LocalTime Now() const override { return time_; }

 private:
  LocalTime time_;
};

bool IsLeapYear(int year);
// 28-31 for months 1-12, 0 for any other month.
int DaysInMonth(int year, int month);

inline constexpr int kDayCountPast = -1;
// Days from today until the target date, or kDayCountPast when it lies before today. The
// month walk into later years gives up at the year 2100 and answers what it has counted.
int DayCount(const LocalTime& today, int targetYear, int targetMonth, int targetDay);

// "D-0", "D-12"; for a past target "D-XX" (one tier) or "D-XXXX" (two tiers).
std::string DDayText(int count, bool twoTier);

// Clears the clock's rows of frame (all 32 on two tiers, 0-15 on one tier) and draws the
// clock for time t with the 16-dot font. separator: whether the blinking ":" of the
// one-tier layouts shows in this frame.
void DrawClock(FrameBuffer& frame, const FontSet& fonts, const BoardGeometry& g, const LocalTime& t,
               bool separator);

// Parses "YYYY-MM-DD HH:MM:SS"; false when malformed or out of range.
bool ParseLocalTime(const std::string& text, LocalTime& out);

}  // namespace sign
