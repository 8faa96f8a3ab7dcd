// Helpers shared by the calendar tests.
#pragma once

#include <chrono>

#include "calendar/gregorian.h"

namespace tavrin::test {

// The "today" every calendar test pins.
inline constexpr std::chrono::year_month_day kToday{std::chrono::year(2024), std::chrono::month(6),
                                                    std::chrono::day(15)};

// The day number of an existing Gregorian date.
inline DayNumber Day(int y, int m, int d) { return *EncodeDate(y, m, d); }

}  // namespace tavrin::test
