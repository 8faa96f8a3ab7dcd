#include "calendar/lunar_date.h"
#include "calendar/calendar_testutil.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "calendar/calendar_tables.h"
#include "data/char_data_files.h"

namespace tavrin {
namespace {

using test::Day;
using test::kToday;

using std::chrono::year_month_day;

// A lunar date object that counts its change events.
struct CountedLunarDate {
  TLunarDate date{kToday};
  int changes = 0;
  CountedLunarDate() {
    date.SetOnChange([this](TLunarDate& LD) {
      EXPECT_EQ(&LD, &date);
      ++changes;
    });
  }
};

void Convert(TLunarDate& lunar, double day) {
  SolarToLunar(day, lunar);
  lunar.Recalculate();
}

// The cases are a table in tests/cases/lunar_dates.tsv, one day a row.
TEST(LunarDate, ConversionsOfTheRealCalendar) {
  const auto rows = test::TreeTable("tests/cases/lunar_dates.tsv");
  ASSERT_EQ(rows.size(), 25u);
  for (const auto& row : rows) {
    ASSERT_EQ(row.size(), 14u) << row[0];
    int y = 0, m = 0, d = 0;
    ASSERT_EQ(std::sscanf(row[0].c_str(), "%d-%d-%d", &y, &m, &d), 3) << row[0];
    const struct {
      DayNumber day;
      int year, month, dayOfMonth;
      bool leap;
      int monthDays;
      const std::string &cDay, &yearByLunarYear, &monthByLunarMonth, &yearBySolarTerms, &monthBySolarTerms,
          &animalBySolarTerms, &solarTerm, &feast;
    } c{Day(y, m, d),
        std::stoi(row[1]),
        std::stoi(row[2]),
        std::stoi(row[3]),
        row[4] == "1",
        std::stoi(row[5]),
        row[6],
        row[7],
        row[8],
        row[9],
        row[10],
        row[11],
        row[12],
        row[13]};
    SCOPED_TRACE(FormatIsoDate(c.day));
    TLunarDate lunar(kToday);
    Convert(lunar, c.day);
    EXPECT_EQ(lunar.lYear(), c.year);
    EXPECT_EQ(lunar.lMonth(), c.month);
    EXPECT_EQ(lunar.lDay(), c.dayOfMonth);
    EXPECT_EQ(lunar.FlagLeapMonth(), c.leap);
    EXPECT_EQ(lunar.MaxMonthDays(), c.monthDays);
    EXPECT_EQ(lunar.cDay(), c.cDay);
    EXPECT_EQ(lunar.cYear(), c.yearByLunarYear);
    EXPECT_EQ(lunar.cMonth(), c.monthByLunarMonth);
    EXPECT_EQ(lunar.SolarTerm(), c.solarTerm);
    EXPECT_EQ(lunar.FeastOfLunar(), c.feast);
    lunar.SetBookOfChanges(true);
    EXPECT_EQ(lunar.cYear(), c.yearBySolarTerms);
    EXPECT_EQ(lunar.cMonth(), c.monthBySolarTerms);
    EXPECT_EQ(lunar.AnimalYear(), c.animalBySolarTerms);
    EXPECT_EQ(lunar.cDay(), c.cDay);
    EXPECT_EQ(LunarToSolar(lunar), c.day);
  }
}

TEST(LunarDate, AnimalOfTheLunarYear) {
  TLunarDate lunar(kToday);
  Convert(lunar, Day(1900, 6, 1));
  EXPECT_EQ(lunar.cYear(), "庚子");
  EXPECT_EQ(lunar.AnimalYear(), "鼠");
  Convert(lunar, Day(2024, 2, 5));  // still lunar 2023
  EXPECT_EQ(lunar.AnimalYear(), "兔");
}

// Every day from 1900-01-01 through the data and beyond converts to a lunar
// date and back to itself, and each day moves the lunar date on by one.
TEST(LunarDate, RoundTripOverEveryDay) {
  TLunarDate lunar(kToday);
  TLunarDate previous(kToday);
  const DayNumber first = Day(1900, 1, 1);
  const DayNumber last = Day(2100, 12, 31);
  for (DayNumber day = first; day <= last; ++day) {
    Convert(lunar, day);
    ASSERT_EQ(LunarToSolar(lunar), day) << FormatIsoDate(day);
    ASSERT_GE(lunar.lDay(), 1);
    ASSERT_LE(lunar.lDay(), lunar.MaxMonthDays());
    if (day > first) {
      const bool nextDay = lunar.lYear() == previous.lYear() && lunar.lMonth() == previous.lMonth() &&
                           lunar.FlagLeapMonth() == previous.FlagLeapMonth() && lunar.lDay() == previous.lDay() + 1;
      const bool nextMonth = lunar.lDay() == 1 && previous.lDay() == previous.MaxMonthDays();
      ASSERT_TRUE(nextDay || nextMonth) << FormatIsoDate(day);
      if (nextMonth && !lunar.FlagLeapMonth()) {
        const int expectedMonth = previous.lMonth() % 12 + 1;
        ASSERT_EQ(lunar.lMonth(), expectedMonth) << FormatIsoDate(day);
        ASSERT_EQ(lunar.lYear(), previous.lYear() + (expectedMonth == 1 ? 1 : 0)) << FormatIsoDate(day);
      }
      if (lunar.FlagLeapMonth() && nextMonth) {
        ASSERT_EQ(lunar.lMonth(), previous.lMonth());
        ASSERT_EQ(lunar.lMonth(), LeapMonthOf(lunar.lYear()));
      }
    }
    SolarToLunar(day, previous);
    previous.Recalculate();
  }
}

TEST(LunarDate, LunarToSolarOfGivenDates) {
  const struct {
    int year, month, day;
    bool leap;
    DayNumber expected;
  } cases[] = {
      {1899, 12, 1, false, Day(1900, 1, 1)},  {1899, 12, 30, false, Day(1900, 1, 30)},
      {1900, 1, 1, false, Day(1900, 1, 31)},  {2012, 4, 1, false, Day(2012, 4, 21)},
      {2012, 4, 1, true, Day(2012, 5, 21)},   {2012, 5, 1, true, Day(2012, 6, 19)},  // not the leap month: flag ignored
      {2056, 12, 30, false, Day(2057, 2, 3)}, {2057, 1, 1, false, Day(2057, 2, 4)},
      {2058, 1, 1, false, Day(2058, 1, 24)},  {2058, 2, 1, false, Day(2058, 2, 23)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.year) + "/" + std::to_string(c.month) + "/" + std::to_string(c.day));
    TLunarDate lunar(kToday);
    Convert(lunar, c.expected);
    // Build the date through the setters from a neutral start.
    TLunarDate built(kToday);
    built.SetLDay(1);
    if (c.year >= kCalendarFirstYear && c.year <= kCalendarDataLastYear) {
      built.SetLYear(c.year);
      built.SetLMonth(c.month);
      built.SetFlagLeapMonth(c.leap);
      built.SetLDay(c.day);
      EXPECT_EQ(LunarToSolar(built), c.expected);
    }
    EXPECT_EQ(LunarToSolar(lunar), c.expected);
  }
}

// After the data (lunar 2057 ends on 2058-01-23) the count goes on in years
// of twelve 30-day months: every day still converts at once and back.
TEST(LunarDate, DaysAfterTheDataHaveADefinedResult) {
  const struct {
    DayNumber day;
    int year, month, dayOfMonth;
  } cases[] = {
      {Day(2058, 1, 24), 2058, 1, 1},
      {Day(2058, 2, 22), 2058, 1, 30},
      {Day(2059, 1, 18), 2058, 12, 30},
      {Day(2059, 1, 19), 2059, 1, 1},
      {kMaxDayNumber, 2058 + (kMaxDayNumber - Day(2058, 1, 24)) / 360,
       (kMaxDayNumber - Day(2058, 1, 24)) % 360 / 30 + 1, (kMaxDayNumber - Day(2058, 1, 24)) % 30 + 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(FormatIsoDate(c.day));
    TLunarDate lunar(kToday);
    Convert(lunar, c.day);
    EXPECT_EQ(lunar.lYear(), c.year);
    EXPECT_EQ(lunar.lMonth(), c.month);
    EXPECT_EQ(lunar.lDay(), c.dayOfMonth);
    EXPECT_FALSE(lunar.FlagLeapMonth());
    EXPECT_EQ(lunar.MaxMonthDays(), 30);
    EXPECT_EQ(LunarToSolar(lunar), c.day);
    lunar.SetBookOfChanges(true);
    EXPECT_EQ(lunar.cDay().size(), 4u);
    EXPECT_EQ(lunar.cMonth().size(), 4u);
  }
  // Values far beyond the handled dates are held at the last one.
  TLunarDate lunar(kToday);
  Convert(lunar, 1e300);
  EXPECT_EQ(LunarToSolar(lunar), kMaxDayNumber);
}

TEST(LunarDate, DaysBefore1900KeepTheDay) {
  CountedLunarDate counted;
  TLunarDate& lunar = counted.date;
  Convert(lunar, Day(1900, 1, 5));  // through the lDay setter: one event
  EXPECT_EQ(counted.changes, 1);
  EXPECT_EQ(lunar.lDay(), 5);
  SolarToLunar(Day(1899, 12, 31), lunar);  // e = 0: lDay is kept, the event is still raised
  EXPECT_EQ(counted.changes, 2);
  EXPECT_EQ(lunar.lYear(), 1899);
  EXPECT_EQ(lunar.lMonth(), 12);
  EXPECT_EQ(lunar.lDay(), 5);
  // A time of day is dropped.
  SolarToLunar(Day(2000, 1, 1) + 0.75, lunar);
  EXPECT_EQ(lunar.lDay(), 25);
}

TEST(LunarDate, CreationTakesTodaysGregorianNumbers) {
  CountedLunarDate counted;
  const TLunarDate& lunar = counted.date;
  EXPECT_EQ(lunar.lYear(), 2024);
  EXPECT_EQ(lunar.lMonth(), 6);
  EXPECT_EQ(lunar.lDay(), 15);
  EXPECT_EQ(lunar.MaxMonthDays(), 29);  // lunar 2024/6
  EXPECT_FALSE(lunar.FlagLeapMonth());
  EXPECT_FALSE(lunar.BookOfChanges());
  EXPECT_EQ(lunar.cYear(), "");
  EXPECT_EQ(lunar.cDay(), "");
  EXPECT_EQ(lunar.FeastOfLunar(), "");
  EXPECT_EQ(counted.changes, 0);
}

TEST(LunarDate, SettersRaiseTheSpecifiedEvents) {
  enum Setter { kYear, kMonth, kDay, kLeap, kBook, kMax };
  const struct {
    Setter setter;
    int value;
    int events;
    int expectedYear, expectedMonth, expectedDay;
  } cases[] = {
      // From lunar 2024/5/10 (2024-06-15), a 30-day month.
      {kYear, 2024, 0, 2024, 5, 10},  // equal: ignored
      {kYear, 1899, 0, 2024, 5, 10},  // outside the data
      {kYear, 2058, 0, 2024, 5, 10}, {kYear, 2023, 1, 2023, 5, 10},
      {kYear, 2057, 1, 2057, 5, 10}, {kMonth, 5, 0, 2024, 5, 10},
      {kMonth, 0, 0, 2024, 5, 10},   {kMonth, 13, 0, 2024, 5, 10},
      {kMonth, 8, 1, 2024, 8, 10},   {kDay, 20, 1, 2024, 5, 20},
      {kDay, 10, 1, 2024, 5, 10},                                 // equal: still recalculated and raised
      {kDay, 0, 1, 2024, 5, 10},                                  // out of range: kept, still raised
      {kDay, 31, 1, 2024, 5, 10},    {kLeap, 0, 0, 2024, 5, 10},  // equal
      {kLeap, 1, 1, 2024, 5, 10},    {kBook, 0, 1, 2024, 5, 10},  // raised whether or not the flag changed
      {kBook, 1, 1, 2024, 5, 10},    {kMax, 12, 0, 2024, 5, 10},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.setter) + " " + std::to_string(c.value));
    CountedLunarDate counted;
    TLunarDate& lunar = counted.date;
    Convert(lunar, Day(2024, 6, 15));
    ASSERT_EQ(lunar.lMonth(), 5);
    switch (c.setter) {
      case kYear:
        lunar.SetLYear(c.value);
        break;
      case kMonth:
        lunar.SetLMonth(c.value);
        break;
      case kDay:
        lunar.SetLDay(c.value);
        break;
      case kLeap:
        lunar.SetFlagLeapMonth(c.value != 0);
        break;
      case kBook:
        lunar.SetBookOfChanges(c.value != 0);
        break;
      case kMax:
        lunar.SetMaxMonthDays(c.value);
        break;
    }
    EXPECT_EQ(counted.changes, c.events);
    EXPECT_EQ(lunar.lYear(), c.expectedYear);
    EXPECT_EQ(lunar.lMonth(), c.expectedMonth);
    EXPECT_EQ(lunar.lDay(), c.expectedDay);
  }
}

TEST(LunarDate, RecalculateHoldsTheDayWithinTheMonth) {
  CountedLunarDate counted;
  TLunarDate& lunar = counted.date;
  Convert(lunar, Day(2024, 3, 10));  // lunar 2024/2/1; month 2 has 30 days
  lunar.SetLDay(30);
  EXPECT_EQ(lunar.lDay(), 30);
  lunar.SetLMonth(1);  // 29 days
  EXPECT_EQ(lunar.lDay(), 29);
  EXPECT_EQ(lunar.MaxMonthDays(), 29);
  EXPECT_EQ(LunarToSolar(lunar), Day(2024, 3, 9));
  EXPECT_EQ(lunar.cDay(), "壬申");
  const int before = counted.changes;
  lunar.Recalculate();
  EXPECT_EQ(counted.changes, before);  // no event
}

TEST(LunarDate, LeapFlagWithoutRecalculation) {
  TLunarDate lunar(kToday);
  Convert(lunar, Day(2012, 4, 21));  // 2012/4/1, month 4 has a leap month
  lunar.SetFlagLeapMonth(true);
  EXPECT_EQ(lunar.MaxMonthDays(), 30);  // not recalculated by the flag
  EXPECT_EQ(lunar.CurrentMonthDays(), 29);
  EXPECT_EQ(LunarToSolar(lunar), Day(2012, 5, 21));
  lunar.Recalculate();
  EXPECT_EQ(lunar.MaxMonthDays(), 29);
  // In a month without a leap month the flag changes nothing.
  lunar.SetLMonth(6);
  EXPECT_EQ(lunar.CurrentMonthDays(), OrdinaryMonthDays(MonthDays(2012, 6)));
  EXPECT_EQ(LunarToSolar(lunar), Day(2012, 7, 19));
}

TEST(LunarDate, FeastRules) {
  const struct {
    DayNumber day;
    const char* feast;
  } cases[] = {
      {Day(2024, 2, 24), "元宵节"},
      {Day(2024, 3, 11), "龙抬头节"},
      {Day(2024, 5, 1), "妈祖生辰"},
      {Day(2024, 8, 10), "七夕情人节"},
      {Day(2024, 8, 18), "中元节(鬼节、盂兰盆)"},
      {Day(2024, 10, 11), "重阳节 中国老年节"},
      {Day(2025, 1, 7), "腊八节"},
      {Day(2025, 1, 28), "除夕"},  // 12/29, the last day of a 29-day month
      {Day(2025, 1, 27), ""},
      {Day(2025, 4, 4), "清明节"},
  };
  for (const auto& c : cases) {
    TLunarDate lunar(kToday);
    Convert(lunar, c.day);
    EXPECT_EQ(lunar.FeastOfLunar(), c.feast) << FormatIsoDate(c.day);
  }
}

}  // namespace
}  // namespace tavrin
