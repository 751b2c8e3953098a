#include "sign/live_fields.h"

#include <cstdio>
#include <ctime>
#include <string_view>

namespace sign {

LocalTime SystemClock::Now() const {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

bool IsLeapYear(int year) {
  return year % 400 == 0 || (year % 4 == 0 && year % 100 != 0);
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  if (month == 2 && IsLeapYear(year)) return 29;
  return kDays[month - 1];
}

int DayCount(const LocalTime& today, int targetYear, int targetMonth, int targetDay) {
  constexpr int kLastYear = 2100;
  if (targetYear < today.year) return kDayCountPast;
  if (targetYear == today.year) {
    if (targetMonth < today.month) return kDayCountPast;
    if (targetMonth == today.month) {
      return targetDay >= today.day ? targetDay - today.day : kDayCountPast;
    }
    int days = DaysInMonth(today.year, today.month) - today.day;
    for (int m = today.month + 1; m < targetMonth; ++m) days += DaysInMonth(today.year, m);
    return days + targetDay;
  }
  int days = DaysInMonth(today.year, today.month) - today.day;
  int year = today.year;
  int month = today.month;
  for (;;) {
    if (++month > 12) {
      month = 1;
      ++year;
    }
    if (year == targetYear && month == targetMonth) return days + targetDay;
    if (year >= kLastYear) return days;
    days += DaysInMonth(year, month);
  }
}

std::string DDayText(int count, bool twoTier) {
  if (count < 0) return twoTier ? "D-XXXX" : "D-XX";
  return "D-" + std::to_string(count);
}

namespace {

// CP949 unit words.
constexpr std::string_view kYear = "\xB3\xE2";
constexpr std::string_view kMonth = "\xBF\xF9";
constexpr std::string_view kDay = "\xC0\xCF";
constexpr std::string_view kHour = "\xBD\xC3";
constexpr std::string_view kMinute = "\xBA\xD0";
constexpr std::string_view kMorning = "\xBF\xC0\xC0\xFC";
constexpr std::string_view kAfternoon = "\xBF\xC0\xC8\xC4";

struct ClockPainter {
  const FontSet& fonts;
  FontPen pen;

  void Text(int x, int y, std::string_view s, std::uint8_t colour) {
    pen.fore = colour;
    for (std::size_t i = 0; i < s.size();) {
      const auto lead = static_cast<std::uint8_t>(s[i]);
      std::uint16_t code = lead;
      if (lead >= 0x80 && i + 1 < s.size()) {
        code = static_cast<std::uint16_t>(lead << 8 | static_cast<std::uint8_t>(s[i + 1]));
        i += 2;
      } else {
        i += 1;
      }
      x += fonts.DrawChar(pen, x, y, code);
    }
  }
  void Number(int x, int y, int value, bool blankZero) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", value);
    if (blankZero && buf[0] == '0') buf[0] = ' ';
    Text(x, y, buf, kDotRed);
  }
  void Year4(int x, int y, int year) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d", year);
    Text(x, y, buf, kDotRed);
  }
};

}  // namespace

void DrawClock(FrameBuffer& frame, const FontSet& fonts, const BoardGeometry& g, const LocalTime& t,
               bool separator) {
  const int w = g.width;
  const bool afternoon = t.hour >= 12;
  int hour = afternoon ? t.hour - 12 : t.hour;
  if (hour == 0) hour = 12;
  const std::string_view halfDay = afternoon ? kAfternoon : kMorning;

  ClockPainter p{fonts, FontPen{&frame, w, 16, 0, kDotRed, kDotOff}};
  if (g.twoTier()) {
    frame.clearRows(0, 32);
    if (w >= 96) {
      const int x = (w - 96) / 2;
      p.Number(x, 0, ((t.year % 100) + 100) % 100, false);
      p.Text(x + 16, 0, kYear, kDotGreen);
      p.Number(x + 32, 0, t.month, true);
      p.Text(x + 48, 0, kMonth, kDotGreen);
      p.Number(x + 64, 0, t.day, true);
      p.Text(x + 80, 0, kDay, kDotGreen);
      p.Text(x, 16, halfDay, kDotYellow);
      p.Number(x + 32, 16, hour, true);
      p.Text(x + 48, 16, kHour, kDotGreen);
      p.Number(x + 64, 16, t.minute, false);
      p.Text(x + 80, 16, kMinute, kDotGreen);
    } else {
      const int x = (g.modules == 4 || g.modules == 5) ? (w - 64) / 2 : 0;
      p.Number(x, 0, t.month, true);
      p.Text(x + 16, 0, kMonth, kDotGreen);
      p.Number(x + 32, 0, t.day, true);
      p.Text(x + 48, 0, kDay, kDotGreen);
      p.Number(x, 16, hour, true);
      p.Text(x + 16, 16, kHour, kDotGreen);
      p.Number(x + 32, 16, t.minute, false);
      p.Text(x + 48, 16, kMinute, kDotGreen);
    }
    return;
  }
  frame.clearRows(0, 16);
  if (w >= 192) {
    const int x = (w - 192) / 2;
    p.Year4(x, 0, t.year);
    p.Text(x + 32, 0, kYear, kDotGreen);
    p.Number(x + 48, 0, t.month, true);
    p.Text(x + 64, 0, kMonth, kDotGreen);
    p.Number(x + 80, 0, t.day, true);
    p.Text(x + 96, 0, kDay, kDotGreen);
    p.Text(x + 120, 0, halfDay, kDotYellow);
    p.Number(x + 152, 0, hour, true);
    if (separator) p.Text(x + 168, 0, ":", kDotGreen);
    p.Number(x + 176, 0, t.minute, false);
  } else if (g.modules >= 5) {
    const int x = (w - 72) / 2;
    p.Text(x, 0, halfDay, kDotYellow);
    p.Number(x + 32, 0, hour, true);
    if (separator) p.Text(x + 48, 0, ":", kDotGreen);
    p.Number(x + 56, 0, t.minute, false);
  } else {
    const int x = w >= 40 ? (w - 40) / 2 : 0;
    p.Number(x, 0, hour, true);
    if (separator) p.Text(x + 16, 0, ":", kDotGreen);
    p.Number(x + 24, 0, t.minute, false);
  }
}

bool ParseLocalTime(const std::string& text, LocalTime& out) {
  LocalTime t;
  char tail = 0;
  if (std::sscanf(text.c_str(), "%d-%d-%d %d:%d:%d%c", &t.year, &t.month, &t.day, &t.hour,
                  &t.minute, &t.second, &tail) != 6) {
    return false;
  }
  if (t.year < 1 || t.year > 9999 || t.month < 1 || t.month > 12 || t.day < 1 ||
      t.day > DaysInMonth(t.year, t.month) || t.hour < 0 || t.hour > 23 || t.minute < 0 ||
      t.minute > 59 || t.second < 0 || t.second > 59) {
    return false;
  }
  out = t;
  return true;
}

}  // namespace sign
