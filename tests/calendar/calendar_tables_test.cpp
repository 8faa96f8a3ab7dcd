#include "calendar/calendar_tables.h"
#include "calendar/calendar_index.h"
#include "calendar/calendar_testutil.h"
#include "calendar/gregorian.h"

#include <gtest/gtest.h>

#include <bit>
#include <cstdio>
#include <string>
#include <vector>

namespace tavrin {
namespace {

using test::Day;

std::string Hex(std::span<const std::uint8_t> bytes) {
  std::string text;
  for (const std::uint8_t b : bytes) {
    char part[4];
    std::snprintf(part, sizeof part, "%02X", b);
    if (!text.empty()) text += ' ';
    text += part;
  }
  return text;
}

std::span<const std::uint8_t> TermRow(int year) {
  if (year == kCalendarDataLastYear) return SolarTermExtraYear();
  return SolarTermTable().subspan(static_cast<std::size_t>(year - kCalendarFirstYear) * 12, 12);
}

TEST(CalendarTables, Sizes) {
  EXPECT_EQ(MonthSizeTable().size(), 157u);
  EXPECT_EQ(LeapMonthTable().size(), 79u);
  EXPECT_EQ(SolarTermTable().size(), 157u * 12);
  EXPECT_EQ(SolarTermExtraYear().size(), 12u);
}

// 1900, 2000 and 2024 are the rows that fix the encoding. For 2012, 2023 and
// 2056 the rows hold the real calendar: 小满 2012 fell at 23:15 on May 20,
// 大雪 2012 at 01:19 on December 7, 夏至 2023 at 22:58 on June 21, 霜降 2023
// at 00:21 on October 24, 立冬 2023 at 00:36 on November 8, and lunar 2056
// has no leap month.
TEST(CalendarTables, RowsOfTheRealCalendar) {
  const struct {
    int year;
    std::uint16_t monthSizes;
    int leapMonth;
    const char* solarTerms;
  } rows[] = {
      {1900, 0x4B68, 8, "95 B4 96 A5 96 97 88 78 78 69 78 87"},
      {2000, 0xC960, 0, "96 B4 A5 B5 A6 A6 87 88 88 78 87 86"},
      {2012, 0xB550, 4, "96 B4 A5 B5 A5 A6 87 88 87 78 87 86"},
      {2023, 0x4DA8, 2, "A5 B4 96 A5 96 96 88 78 78 79 77 87"},
      {2024, 0x4B60, 0, "95 B4 A5 B4 A5 A6 97 87 87 78 87 96"},
      {2056, 0xEA50, 0, "A5 B4 A5 B4 A5 A5 97 87 87 88 86 96"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.year);
    EXPECT_EQ(MonthSizeTable()[row.year - 1900], row.monthSizes);
    EXPECT_EQ(LeapMonthOf(row.year), row.leapMonth);
    EXPECT_EQ(Hex(TermRow(row.year)), row.solarTerms);
  }
}

TEST(CalendarTables, EveryLunarYearIsWellFormed) {
  int total = 0;
  for (int year = kCalendarFirstYear; year <= kCalendarDataLastYear; ++year) {
    SCOPED_TRACE(year);
    const std::uint16_t word =
        year == kCalendarDataLastYear ? MonthSizeExtraYear() : MonthSizeTable()[year - kCalendarFirstYear];
    const int leap = LeapMonthOf(year);
    ASSERT_GE(leap, 0);
    ASSERT_LE(leap, 12);
    const int months = leap ? 13 : 12;
    // No bit below the last month is set.
    EXPECT_EQ(word & ((1u << (16 - months)) - 1), 0u);
    const int days = LunarYearDays(year);
    EXPECT_GE(days, 353);
    EXPECT_LE(days, 385);
    EXPECT_EQ(days, 29 * months + std::popcount(word));
    // Common years have 353..355 days, leap years 383..385.
    EXPECT_TRUE(leap ? days >= 383 : days <= 355) << days;
    int sum = 0;
    for (int month = 1; month <= 12; ++month) {
      const std::uint32_t both = MonthDays(year, month);
      EXPECT_TRUE(OrdinaryMonthDays(both) == 29 || OrdinaryMonthDays(both) == 30);
      EXPECT_EQ(LeapMonthDays(both) != 0, month == leap);
      if (month == leap) {
        EXPECT_TRUE(LeapMonthDays(both) == 29 || LeapMonthDays(both) == 30);
      }
      sum += OrdinaryMonthDays(both) + LeapMonthDays(both);
    }
    EXPECT_EQ(sum, days);
    total += days;
  }
  // Lunar 1900/1/1 is 1900-01-31; lunar 2057 ends on 2058-01-23.
  EXPECT_EQ(total, Day(2058, 1, 23) - Day(1900, 1, 31) + 1);
  // The unused low nibble of the last leap byte is clear.
  EXPECT_EQ(LeapMonthTable().back() & 0x0F, 0);
}

TEST(CalendarTables, LunarYear1900MonthByMonth) {
  const std::vector<int> expected = {29, 30, 29, 29, 30, 29, 30, 30, 29, 30, 30, 29, 30};
  std::vector<int> months;
  for (int month = 1; month <= 12; ++month) {
    const std::uint32_t both = MonthDays(1900, month);
    months.push_back(OrdinaryMonthDays(both));
    if (LeapMonthDays(both)) months.push_back(LeapMonthDays(both));
  }
  EXPECT_EQ(months, expected);
  EXPECT_EQ(LunarYearDays(1900), 384);
}

TEST(CalendarTables, SolarTermDaysStayInsideTheEncoding) {
  for (int year = kCalendarFirstYear; year <= kCalendarDataLastYear; ++year) {
    const auto row = TermRow(year);
    for (int month = 1; month <= 12; ++month) {
      SCOPED_TRACE(std::to_string(year) + "-" + std::to_string(month));
      const int first = 15 - (row[month - 1] >> 4);
      const int second = 15 + (row[month - 1] & 0x0F);
      EXPECT_GE(first, 3);
      EXPECT_LE(first, 9);
      EXPECT_GE(second, 18);
      EXPECT_LE(second, 24);
      EXPECT_EQ(SectionTermDay(year, month), first);
      EXPECT_EQ(SolarTermIndex(Day(year, month, first)), 2 * (month - 1));
      EXPECT_EQ(SolarTermIndex(Day(year, month, second)), 2 * (month - 1) + 1);
    }
    // Exactly 24 term days a year.
    int terms = 0;
    for (DayNumber d = Day(year, 1, 1); d <= Day(year, 12, 31); ++d) terms += SolarTermIndex(d) >= 0;
    EXPECT_EQ(terms, 24) << year;
  }
}

TEST(CalendarTables, SolarTermIndex) {
  const struct {
    DayNumber day;
    int index;
  } cases[] = {
      {Day(2024, 3, 20), 5},   {Day(2024, 3, 21), -1}, {Day(2024, 1, 6), 0},   {Day(2024, 12, 21), 23},
      {Day(2024, 2, 4), 2},    {Day(2012, 5, 20), 9},  {Day(2012, 5, 21), -1}, {Day(2023, 11, 8), 20},
      {Day(2023, 11, 7), -1},  {Day(1900, 1, 6), 0},   {Day(2057, 2, 3), 2},   {Day(2057, 12, 21), 23},
      {Day(1899, 12, 22), -1}, {Day(2058, 1, 5), -1},  {Day(2024, 4, 4), 6},   {Day(2024, 7, 15), -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SolarTermIndex(c.day), c.index) << FormatIsoDate(c.day);
  }
}

TEST(CalendarTables, YearsWithoutData) {
  for (const int year : {1899, 2058, 0, -5, 3000}) {
    SCOPED_TRACE(year);
    EXPECT_EQ(LeapMonthOf(year), 0);
    EXPECT_EQ(MonthDays(year, 1), 30u);
    EXPECT_EQ(MonthDays(year, 12), 30u);
    EXPECT_EQ(LunarYearDays(year), 0);
  }
  EXPECT_EQ(MonthDays(2000, 0), 30u);
  EXPECT_EQ(MonthDays(2000, 13), 30u);
  // Solar-month openings outside the data come from a year in the same place
  // of the leap cycle: never out of the table, always a plausible day.
  for (const int year : {1, 1899, 2058, 2059, 2060, 2061, 2100, 9999}) {
    for (int month = 1; month <= 12; ++month) {
      const int day = SectionTermDay(year, month);
      EXPECT_GE(day, 3);
      EXPECT_LE(day, 9);
    }
  }
  EXPECT_EQ(SectionTermDay(2061, 2), SectionTermDay(2057, 2));
  EXPECT_EQ(SectionTermDay(1896, 2), SectionTermDay(1900, 2));
}

TEST(CalendarTables, NameTables) {
  EXPECT_EQ(StemName(0), "甲");
  EXPECT_EQ(StemName(9), "癸");
  EXPECT_EQ(BranchName(0), "子");
  EXPECT_EQ(BranchName(11), "亥");
  EXPECT_EQ(AnimalName(4), "龙");
  EXPECT_EQ(SolarTermName(2), "立春");
  EXPECT_EQ(SolarTermName(23), "冬至");
  EXPECT_EQ(ConstellationName(9), "摩羯座");
}

// Lookups called with values outside their tables answer a documented value
// instead of reading past the arrays (the sanitizer build checks the reads).
TEST(CalendarTables, OutOfRangeLookupsStayInside) {
  for (const int index : {-1, 24, 1000, -1000}) {
    EXPECT_EQ(StemName(index), "") << index;
    EXPECT_EQ(BranchName(index), "") << index;
    EXPECT_EQ(AnimalName(index), "") << index;
    EXPECT_EQ(ConstellationName(index), "") << index;
    EXPECT_EQ(SolarTermName(index), "") << index;
  }
  EXPECT_EQ(StemName(10), "");
  EXPECT_EQ(BranchName(12), "");
  EXPECT_EQ(SectionTermDay(2012, 0), SectionTermDay(2012, 1));
  EXPECT_EQ(SectionTermDay(2012, 13), SectionTermDay(2012, 12));
  EXPECT_EQ(DaysInMonth(2012, 0), 0);
  EXPECT_EQ(DaysInMonth(2012, 13), 0);
  const LunarDay first = LunarDayFromOffset(-5);
  EXPECT_EQ(first.year, 1900);
  EXPECT_EQ(first.month, 1);
  EXPECT_EQ(first.day, 1);
}

TEST(CalendarTables, FeastTables) {
  ASSERT_EQ(LunarFeasts().size(), 12u);
  EXPECT_EQ(LunarFeasts()[10].key, 12 * 256 + 23);
  EXPECT_FALSE(LunarFeasts()[10].text.empty());
  EXPECT_EQ(DynamicFeasts().size(), 17u);
  EXPECT_EQ(LastWeekFeasts().size(), 3u);
  const auto fixed = FixedFeasts();
  ASSERT_EQ(fixed.size(), 129u);
  const int keys[][2] = {
      {1, 1},   {2, 2},   {2, 7},   {2, 10},  {2, 14},  {2, 15},  {2, 21},  {2, 24},  {2, 28},  {3, 1},   {3, 3},
      {3, 5},   {3, 8},   {3, 12},  {3, 14},  {3, 15},  {3, 16},  {3, 17},  {3, 18},  {3, 21},  {3, 22},  {3, 23},
      {3, 24},  {3, 30},  {3, 31},  {4, 1},   {4, 2},   {4, 7},   {4, 21},  {4, 22},  {4, 23},  {4, 24},  {4, 25},
      {4, 26},  {4, 27},  {4, 30},  {5, 1},   {5, 3},   {5, 4},   {5, 5},   {5, 8},   {5, 12},  {5, 15},  {5, 17},
      {5, 18},  {5, 20},  {5, 26},  {5, 30},  {5, 31},  {6, 1},   {6, 5},   {6, 6},   {6, 11},  {6, 17},  {6, 20},
      {6, 22},  {6, 23},  {6, 25},  {6, 26},  {6, 30},  {7, 1},   {7, 2},   {7, 7},   {7, 11},  {7, 26},  {7, 28},
      {7, 30},  {8, 1},   {8, 6},   {8, 8},   {8, 15},  {8, 26},  {9, 3},   {9, 8},   {9, 9},   {9, 10},  {9, 14},
      {9, 16},  {9, 18},  {9, 20},  {9, 21},  {9, 27},  {9, 28},  {10, 1},  {10, 2},  {10, 4},  {10, 8},  {10, 9},
      {10, 10}, {10, 11}, {10, 13}, {10, 14}, {10, 15}, {10, 16}, {10, 17}, {10, 22}, {10, 24}, {10, 28}, {10, 31},
      {11, 1},  {11, 2},  {11, 7},  {11, 8},  {11, 9},  {11, 10}, {11, 11}, {11, 12}, {11, 14}, {11, 17}, {11, 21},
      {11, 29}, {12, 1},  {12, 2},  {12, 3},  {12, 4},  {12, 5},  {12, 7},  {12, 9},  {12, 10}, {12, 11}, {12, 12},
      {12, 13}, {12, 15}, {12, 20}, {12, 21}, {12, 24}, {12, 25}, {12, 26}, {12, 29}};
  for (std::size_t i = 0; i < fixed.size(); ++i) {
    EXPECT_EQ(fixed[i].key, keys[i][0] * 256 + keys[i][1]) << i;
    EXPECT_FALSE(fixed[i].text.empty()) << i;
  }
  EXPECT_EQ(EasterText(), "复活节 Easter Sunday");
  EXPECT_EQ(UsThanksgivingText(), "感恩节(United States) Thanksgiving Day ");
}

}  // namespace
}  // namespace tavrin
