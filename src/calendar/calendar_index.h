// The day index behind the lunar conversions: lunar dates counted as day
// offsets from lunar 1900/1/1 (1900-01-31, day number 32). The offsets of
// every data year are summed once, at compile time, so a conversion costs a
// binary search over the years and a walk over at most thirteen months.
#pragma once

#include <cstdint>

namespace tavrin {

struct LunarDay {
  int year;
  int month;
  int day;
  bool leap;
};

// The lunar date `offset` days after lunar 1900/1/1 (a negative offset reads
// as 0, the first day of the data). After the last data year the count goes
// on in years of twelve 30-day months, without leap months: the month length
// that MonthDays answers for a year without data.
LunarDay LunarDayFromOffset(std::int64_t offset);

// Days from lunar 1900/1/1 to the first day of the ordinary month (year,
// month): both halves of MonthDays of every earlier month from 1900 on. 0 for
// a year before 1900.
std::int64_t LunarOffsetBeforeMonth(int year, int month);

// Day number of lunar 1900/1/1.
inline constexpr std::int32_t kLunar1900DayNumber = 32;

}  // namespace tavrin
