// The compiled-in Chinese calendar tables and the stateless operations on them.
//
// Three tables of 157 rows cover lunar and Gregorian years 1900 to 2056:
//   MonthSizeTable  one 16-bit word per lunar year: month 1 in bit 15, each
//                   later month one bit lower, a leap month right after the
//                   ordinary month of its number; a set bit is a 30-day month.
//   LeapMonthTable  the number of the month a leap month follows (0 = none),
//                   4 bits a year, two years a byte, the even year index in
//                   the high nibble.
//   SolarTermTable  one byte per Gregorian month: the month's first solar term
//                   falls on day 15 - high nibble, its second on 15 + low nibble.
// The data follow the real (astronomical) calendar, solar terms dated in China
// Standard Time. The real lunar 2056 ends on 2057-02-03; one further row in
// the same encodings, for lunar and Gregorian 2057, carries the calendar a
// year on, so that the days after 2056 and the solar months of early 2057
// keep their real values. Years without data are answered as described at
// each operation.
//
// Texts are GBK; the name tables are reached through functions so that this
// header holds no Chinese literals.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "calendar/gregorian.h"

namespace tavrin {

inline constexpr int kCalendarFirstYear = 1900;  // first row of the three tables
inline constexpr int kCalendarTableLastYear = 2056;
inline constexpr int kCalendarTableYears = 157;
inline constexpr int kCalendarDataLastYear = 2057;  // the extra row after the tables

// The raw tables (157 rows each), and the extra row for 2057.
std::span<const std::uint16_t> MonthSizeTable();
std::span<const std::uint8_t> LeapMonthTable();  // 79 bytes
std::span<const std::uint8_t> SolarTermTable();  // 157 x 12 bytes
std::uint16_t MonthSizeExtraYear();
int LeapMonthExtraYear();
std::span<const std::uint8_t> SolarTermExtraYear();  // 12 bytes

// True for the lunar years with month data (1900..2057).
inline constexpr bool HasLunarYearData(int year) { return year >= kCalendarFirstYear && year <= kCalendarDataLastYear; }

// The month a leap month follows in a lunar year, 0 when there is none or the
// year has no data.
int LeapMonthOf(int year);

// Days of a lunar month in the low 16 bits (29 or 30) and, when the month is
// followed by a leap month, the leap month's days in the high 16 bits. A year
// without data, or a month outside 1..12, answers 30 days and no leap month.
std::uint32_t MonthDays(int year, int month);
inline int OrdinaryMonthDays(std::uint32_t monthDays) { return static_cast<int>(monthDays & 0xFFFF); }
inline int LeapMonthDays(std::uint32_t monthDays) { return static_cast<int>(monthDays >> 16); }

// Days of a lunar year (353..385); 0 for a year without data.
int LunarYearDays(int year);

// The Gregorian day of the first solar term of a month (the one that opens a
// solar month). Years 1900..2057 read their own row; an earlier or later year
// reads the row of the nearest year with data that has the same place in the
// four-year leap cycle, an estimate within about a day. A month outside
// 1..12 is read as the nearest of them.
int SectionTermDay(int year, int month);

// The solar term falling on a day: 0..23 as in SolarTermName, or -1 when no
// term falls on it or its Gregorian year has no data.
int SolarTermIndex(DayNumber day);

// Name tables (GBK); an index outside the table gives the empty text.
std::string_view StemName(int index);           // 0..9: 甲 .. 癸
std::string_view BranchName(int index);         // 0..11: 子 .. 亥
std::string_view AnimalName(int index);         // 0..11, in branch order: 鼠 .. 猪
std::string_view SolarTermName(int index);      // 0..23: 小寒 大寒 立春 .. 大雪 冬至
std::string_view ConstellationName(int index);  // 0..11: 白羊座 .. 双鱼座

// Lunar festivals, looked up by lunar month and day in table order.
struct LunarFeast {
  std::uint16_t key;  // month * 256 + day
  std::string_view text;
};
std::span<const LunarFeast> LunarFeasts();  // 12 records
// The fixed lunar texts that are not in the table.
std::string_view NewYearsEveText();       // 除夕, the last day of the twelfth month
std::string_view QingmingFestivalText();  // 清明节, the day of the solar term 清明

// Gregorian festivals.
struct DynamicFeast {  // the n-th given weekday of a month
  std::uint16_t month;
  std::uint16_t n;
  std::uint16_t weekday;  // Monday = 1 .. Sunday = 7
  std::string_view text;
};
struct LastWeekFeast {  // a weekday in the last seven days of a month
  std::uint16_t month;
  std::uint16_t weekday;  // Monday = 1 .. Sunday = 7
  std::string_view text;
};
struct FixedFeast {   // a fixed date
  std::uint16_t key;  // month * 256 + day
  std::string_view text;
};
std::span<const DynamicFeast> DynamicFeasts();    // 17 records
std::span<const LastWeekFeast> LastWeekFeasts();  // 3 records
std::span<const FixedFeast> FixedFeasts();        // 129 records, sorted by key
std::string_view EasterText();                    // no trailing space
std::string_view UsThanksgivingText();            // one trailing space

}  // namespace tavrin
