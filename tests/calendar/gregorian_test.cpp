#include "calendar/gregorian.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tavrin {
namespace {

TEST(Gregorian, EncodeAndDecode) {
  const struct {
    int year, month, day;
    DayNumber number;
  } cases[] = {
      {1899, 12, 30, 0},        {1899, 12, 31, 1},
      {1900, 1, 1, 2},          {1900, 1, 31, 32},
      {1970, 1, 1, 25569},      {2011, 12, 2, 40879},
      {2057, 2, 3, 57379},      {2057, 3, 4, 57408},
      {1, 1, 1, kMinDayNumber}, {9999, 12, 31, kMaxDayNumber},
      {2000, 2, 29, 36585},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.number);
    EXPECT_EQ(EncodeDate(c.year, c.month, c.day), c.number);
    const CivilDate date = DecodeDate(c.number);
    EXPECT_EQ(date.year, c.year);
    EXPECT_EQ(date.month, c.month);
    EXPECT_EQ(date.day, c.day);
  }
}

TEST(Gregorian, DatesThatDoNotExist) {
  const int cases[][3] = {{2023, 2, 29}, {1900, 2, 29}, {2024, 2, 30}, {2024, 4, 31}, {2024, 13, 1}, {2024, 0, 1},
                          {2024, 1, 0},  {2024, 1, 32}, {0, 1, 1},     {10000, 1, 1}, {-1, 1, 1}};
  for (const auto& c : cases) EXPECT_FALSE(EncodeDate(c[0], c[1], c[2])) << c[0] << "-" << c[1] << "-" << c[2];
}

TEST(Gregorian, DaysInMonth) {
  EXPECT_EQ(DaysInMonth(2024, 2), 29);
  EXPECT_EQ(DaysInMonth(2023, 2), 28);
  EXPECT_EQ(DaysInMonth(2000, 2), 29);
  EXPECT_EQ(DaysInMonth(1900, 2), 28);
  EXPECT_EQ(DaysInMonth(2024, 4), 30);
  EXPECT_EQ(DaysInMonth(2024, 12), 31);
}

TEST(Gregorian, Weekdays) {
  const struct {
    DayNumber day;
    int mondayFirst;
    int sundayFirst;
    int nth;
    int weekOfMonth;
  } cases[] = {
      {0, 6, 7, 5, 4},                          // 1899-12-30, Saturday
      {*EncodeDate(2024, 6, 16), 7, 1, 3, 2},   // Sunday
      {*EncodeDate(2024, 6, 17), 1, 2, 3, 3},   // Monday
      {*EncodeDate(2024, 11, 28), 4, 5, 4, 4},  // fourth Thursday
      {*EncodeDate(2024, 11, 7), 4, 5, 1, 1},   // first Thursday
      {*EncodeDate(2024, 11, 1), 5, 6, 1, 5},   // Friday in the last week of October
      {*EncodeDate(2024, 11, 4), 1, 2, 1, 1},
      {*EncodeDate(2023, 11, 30), 4, 5, 5, 5},  // fifth Thursday
      {*EncodeDate(1, 1, 1), 1, 2, 1, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(FormatIsoDate(c.day));
    EXPECT_EQ(DayOfTheWeek(c.day), c.mondayFirst);
    EXPECT_EQ(DayOfWeek(c.day), c.sundayFirst);
    EXPECT_EQ(NthDayOfWeek(c.day), c.nth);
    EXPECT_EQ(WeekOfTheMonth(c.day), c.weekOfMonth);
  }
}

TEST(Gregorian, WholeDayAndFormatting) {
  // A time of day counts forward from the start of its day on both sides of
  // day 0: -0.5 is 1899-12-30 at noon and -1.25 is 1899-12-29 at 06:00.
  const struct {
    double dateTime;
    DayNumber day;
  } cases[] = {
      {2.0, 2}, {2.99, 2}, {0.0, 0}, {-0.5, 0}, {-1.0, -1}, {-1.25, -1}, {-2.75, -2}, {-693593.5, kMinDayNumber},
  };
  for (const auto& c : cases) EXPECT_EQ(WholeDay(c.dateTime), c.day) << c.dateTime;
  EXPECT_EQ(WholeDay(std::nan("")), kMinDayNumber);
  EXPECT_EQ(WholeDay(1e300), kMaxDayNumber);
  EXPECT_EQ(WholeDay(-std::numeric_limits<double>::infinity()), kMinDayNumber);
  EXPECT_EQ(FormatIsoDate(2), "1900-01-01");
  EXPECT_EQ(FormatIsoDate(kMinDayNumber), "0001-01-01");
  EXPECT_EQ(FormatIsoDate(kMaxDayNumber), "9999-12-31");
}

TEST(Gregorian, TodayIsAValidDate) { EXPECT_TRUE(LocalToday().ok()); }

}  // namespace
}  // namespace tavrin
