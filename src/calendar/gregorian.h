// Gregorian date services over day numbers.
//
// A day number counts whole days from 1899-12-30 (day 0): 1899-12-31 is day 1
// and 1900-01-01 is day 2. Dates are handled from 0001-01-01 to 9999-12-31.
// The arithmetic is that of the proleptic Gregorian calendar (std::chrono).
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace tavrin {

using DayNumber = std::int32_t;

// Days from the system clock's epoch (1970-01-01) back to day 0.
inline constexpr DayNumber kDayNumberOfUnixEpoch = 25569;
inline constexpr DayNumber kMinDayNumber = -693593;  // 0001-01-01
inline constexpr DayNumber kMaxDayNumber = 2958465;  // 9999-12-31

inline constexpr DayNumber ToDayNumber(std::chrono::year_month_day date) {
  return static_cast<DayNumber>(std::chrono::sys_days(date).time_since_epoch().count() + kDayNumberOfUnixEpoch);
}

inline constexpr std::chrono::year_month_day ToCivil(DayNumber day) {
  return std::chrono::year_month_day(std::chrono::sys_days(std::chrono::days(day - kDayNumberOfUnixEpoch)));
}

// The day number of an existing date from 0001-01-01 to 9999-12-31; nullopt
// for a date that does not exist (2023-02-29, month 13) or lies outside.
std::optional<DayNumber> EncodeDate(int year, int month, int day);

// The whole day of a date-time value: the fraction of a day is dropped, and
// values beyond the handled dates (or not a number) are held at the nearest end.
// Before day 0 the fraction still counts forward from the start of the day, as
// in the platform date type: -1.25 is 1899-12-29 at 06:00, so its day is -1.
DayNumber WholeDay(double dateTime);

// Year, month (1..12) and day (1..31) of a day number.
struct CivilDate {
  int year;
  int month;
  int day;
};

// The birth every page starts from before the family gives one (姓名设置,
// 姓名分析, a favourite read without one): 2012-01-01, hour 1.
struct DefaultBirth {
  int year, month, day, hour;
};
inline constexpr DefaultBirth kDefaultBirth{2012, 1, 1, 1};
CivilDate DecodeDate(DayNumber day);

// Days of a Gregorian month (28..31); 0 for a month outside 1..12.
int DaysInMonth(int year, int month);

// Weekday with Monday = 1 ... Sunday = 7.
int DayOfTheWeek(DayNumber day);
// Weekday with Sunday = 1 ... Saturday = 7.
int DayOfWeek(DayNumber day);
// Which occurrence of its weekday the date is in its month: (day - 1) div 7 + 1.
int NthDayOfWeek(DayNumber day);
// Week of the month, weeks running Monday to Sunday and week 1 holding the
// month's first Thursday. A week belongs to the month of its Thursday, so a
// date early in a month may lie in the last week of the month before.
int WeekOfTheMonth(DayNumber day);

// "YYYY-MM-DD".
std::string FormatIsoDate(DayNumber day);

// Today's date in the local time zone.
std::chrono::year_month_day LocalToday();

}  // namespace tavrin
