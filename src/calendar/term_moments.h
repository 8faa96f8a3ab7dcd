// The moments of the twelve solar terms that open the solar months (小寒 立春
// 惊蛰 清明 立夏 芒种 小暑 立秋 白露 寒露 立冬 大雪), Gregorian 1900..2056, to
// the minute in Beijing time (UTC+8). The day of each term is the day of
// SolarTermTable (SectionTermDay); this table adds the time of day.
//
// Made by tools/calendar/gen_term_moments.js from lunar-javascript, which
// checks that every rounded moment falls on the table's day (all 1,884 do).
// Of the 1,884 term days, 1,844 have births before the term's moment under the
// hour-middle rule of birth_pillars.h: 22,504 (day, hour) cases 1900..2056
// whose month pillar (and, on 立春, year pillar) is the one before the term.
#pragma once

#include <optional>

#include "calendar/gregorian.h"

namespace tavrin {

inline constexpr int kTermMomentFirstYear = 1900;
inline constexpr int kTermMomentLastYear = 2056;

// The minute of the day (0..1439, Beijing time) at which the first solar term
// of a Gregorian month falls; nullopt outside 1900..2056 or a month outside 1..12.
std::optional<int> OpeningTermMinute(int year, int month);

// The opening term falling on a day: its index in SolarTermName (0 小寒,
// 2 立春, ... 22 大雪) and its minute of the day.
struct OpeningTerm {
  int termIndex;
  int minute;
};
// nullopt when no month-opening term falls on the day, or its year has no moments.
std::optional<OpeningTerm> OpeningTermOn(DayNumber day);

}  // namespace tavrin
