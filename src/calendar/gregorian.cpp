#include "calendar/gregorian.h"

#include <cmath>
#include <cstdio>
#include <ctime>

namespace tavrin {

std::optional<DayNumber> EncodeDate(int year, int month, int day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31) return std::nullopt;
  const std::chrono::year_month_day date{std::chrono::year(year), std::chrono::month(static_cast<unsigned>(month)),
                                         std::chrono::day(static_cast<unsigned>(day))};
  if (!date.ok()) return std::nullopt;
  return ToDayNumber(date);
}

DayNumber WholeDay(double dateTime) {
  if (!(dateTime >= kMinDayNumber)) return kMinDayNumber;  // also NaN
  if (dateTime >= kMaxDayNumber) return kMaxDayNumber;
  // The fraction is a time of day on either side of day 0 (-1.25 is
  // 1899-12-29 06:00), so it is cut off towards zero, not rounded down.
  return static_cast<DayNumber>(std::trunc(dateTime));
}

CivilDate DecodeDate(DayNumber day) {
  const std::chrono::year_month_day date = ToCivil(day);
  return {static_cast<int>(date.year()), static_cast<int>(static_cast<unsigned>(date.month())),
          static_cast<int>(static_cast<unsigned>(date.day()))};
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  if (month == 2 && std::chrono::year(year).is_leap()) return 29;
  return kDays[month - 1];
}

int DayOfTheWeek(DayNumber day) {
  // Day 0, 1899-12-30, was a Saturday (6).
  return ((day + 5) % 7 + 7) % 7 + 1;
}

int DayOfWeek(DayNumber day) { return DayOfTheWeek(day) % 7 + 1; }

int NthDayOfWeek(DayNumber day) { return (DecodeDate(day).day - 1) / 7 + 1; }

int WeekOfTheMonth(DayNumber day) {
  const DayNumber thursday = day - DayOfTheWeek(day) + 4;
  return (DecodeDate(thursday).day - 1) / 7 + 1;
}

std::string FormatIsoDate(DayNumber day) {
  const CivilDate date = DecodeDate(day);
  if (date.year < 0 || date.year > 9999) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
    return text;
  }
  // By hand: a calendar of every day formats tens of thousands of them.
  const auto digit = [](int n) { return static_cast<char>('0' + n % 10); };
  return {digit(date.year / 1000),
          digit(date.year / 100),
          digit(date.year / 10),
          digit(date.year),
          '-',
          digit(date.month / 10),
          digit(date.month),
          '-',
          digit(date.day / 10),
          digit(date.day)};
}

std::chrono::year_month_day LocalToday() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return std::chrono::year_month_day{std::chrono::year(local.tm_year + 1900),
                                     std::chrono::month(static_cast<unsigned>(local.tm_mon + 1)),
                                     std::chrono::day(static_cast<unsigned>(local.tm_mday))};
}

}  // namespace tavrin
