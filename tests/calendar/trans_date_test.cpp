#include "calendar/trans_date.h"
#include "calendar/calendar_testutil.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

namespace tavrin {
namespace {

using test::Day;
using test::kToday;

// A date translator that counts its change events.
struct CountedTransDate {
  TTransDate date{kToday};
  int changes = 0;
  CountedTransDate() {
    date.SetOnChange([this](TTransDate& sender) {
      EXPECT_EQ(&sender, &date);
      ++changes;
    });
  }
};

TEST(TransDate, Creation) {
  TTransDate date(kToday);
  EXPECT_EQ(date.Date(), Day(2024, 6, 15));
  EXPECT_FALSE(date.BookOfChanges());
  EXPECT_FALSE(date.ISO8601());
  EXPECT_FALSE(date.LeapMonth());
  EXPECT_EQ(date.Week(), 7);  // Saturday, Sunday = 1
  EXPECT_EQ(date.MaxMonthDays(), 30);
  EXPECT_FALSE(date.OnChange());
  const TLunarDate& lunar = date.LunarDate();
  EXPECT_EQ(lunar.lYear(), 2024);
  EXPECT_EQ(lunar.lMonth(), 5);
  EXPECT_EQ(lunar.lDay(), 10);
  EXPECT_EQ(lunar.cYear(), "甲辰");
  EXPECT_EQ(lunar.cDay(), "庚戌");
  EXPECT_TRUE(lunar.OnChange());
}

TEST(TransDate, MainWindowState) {
  for (const auto today :
       {kToday, std::chrono::year_month_day{std::chrono::year(2011), std::chrono::month(12), std::chrono::day(2)}}) {
    TTransDate date(today);
    LoadMainWindowTransDate(date);
    EXPECT_TRUE(date.BookOfChanges());
    EXPECT_EQ(date.MaxMonthDays(), 31);
    EXPECT_EQ(date.Date(), 40879);
    EXPECT_FALSE(date.ISO8601());
    EXPECT_FALSE(date.LeapMonth());
    EXPECT_EQ(date.Week(), 6);  // a Friday
    const TLunarDate& lunar = date.LunarDate();
    EXPECT_EQ(lunar.lYear(), 2011);
    EXPECT_EQ(lunar.lMonth(), 11);
    EXPECT_EQ(lunar.lDay(), 8);
    EXPECT_FALSE(lunar.FlagLeapMonth());
    EXPECT_TRUE(lunar.BookOfChanges());
    EXPECT_EQ(lunar.cYear(), "辛卯");
    EXPECT_EQ(lunar.cMonth(), "己亥");
    EXPECT_EQ(lunar.cDay(), "辛卯");
    EXPECT_FALSE(date.OnChange());
  }
}

TEST(TransDate, Feasts) {
  const struct {
    DayNumber day;
    const char* feast;
  } cases[] = {
      {Day(2024, 3, 31), "复活节 Easter Sunday安全教育日"},
      {Day(2012, 4, 8), "复活节 Easter Sunday"},
      {Day(2024, 11, 28), "感恩节(United States) Thanksgiving Day "},
      {Day(2023, 11, 23), "感恩节(United States) Thanksgiving Day "},
      {Day(2023, 11, 30), ""},  // a fifth Thursday
      {Day(2024, 10, 14), "感恩节(Canada) Thanksgiving Day 世界标准日"},
      {Day(2024, 5, 12), "母亲节 救助贫困母亲日 国际护士节"},
      {Day(2024, 1, 28), "世界麻风日 "},
      {Day(2024, 1, 1), "元旦"},
      {Day(2024, 1, 7), "黑人日 "},
      {Day(2024, 9, 22), "国际聋人节 世界儿童日 "},
      {Day(2024, 9, 29), "国际海事日 世界心脏日 "},
      {Day(2024, 3, 25), "全国中小学生安全教育日 "},
      {Day(2024, 5, 21), "国际牛奶日 "},
      {Day(2024, 12, 25), "圣诞节"},
      {Day(2024, 12, 24), "平安夜"},
      {Day(2024, 10, 1), "国庆节 国际音乐日 国际老人节"},
      {Day(2024, 6, 18), ""},
  };
  for (const auto& c : cases) {
    TTransDate date(kToday);
    date.SetDate(c.day);
    EXPECT_EQ(date.Feast(), c.feast) << FormatIsoDate(c.day);
  }
}

TEST(TransDate, EasterByTheCalendarsOwnRule) {
  TTransDate date(kToday);
  EXPECT_EQ(date.EasterSunday(2024), Day(2024, 3, 31));
  EXPECT_EQ(date.EasterSunday(2012), Day(2012, 4, 8));
  EXPECT_EQ(date.EasterSunday(1981), Day(1981, 4, 26));
  EXPECT_FALSE(date.EasterSunday(2100));  // no solar-term data
  // 1981's Easter falls after April 25, outside the window: no day is marked.
  for (DayNumber day = Day(1981, 3, 1); day <= Day(1981, 5, 31); ++day) {
    date.SetDate(day);
    EXPECT_EQ(date.Feast().find("复活节"), std::string::npos) << FormatIsoDate(day);
  }
  // Every year with data has exactly one marked day, on a Sunday.
  for (int year = 1900; year <= 2057; ++year) {
    int marked = 0;
    for (DayNumber day = Day(year, 3, 21); day <= Day(year, 4, 25); ++day) {
      date.SetDate(day);
      if (date.Feast().rfind("复活节", 0) == 0) {
        ++marked;
        EXPECT_EQ(DayOfTheWeek(day), 7);
      }
    }
    const DayNumber easter = *date.EasterSunday(year);
    EXPECT_EQ(marked, easter >= Day(year, 3, 21) && easter <= Day(year, 4, 25) ? 1 : 0) << year;
  }
}

TEST(TransDate, Constellation) {
  const struct {
    int month, day;
    const char* sign;
  } cases[] = {
      {3, 20, "双鱼座"},  {3, 21, "白羊座"},  {4, 19, "白羊座"},  {4, 20, "金牛座"},  {5, 21, "双子座"},
      {6, 21, "巨蟹座"},  {7, 23, "狮子座"},  {8, 23, "处女座"},  {9, 23, "天秤座"},  {10, 23, "天蝎座"},
      {11, 22, "射手座"}, {12, 21, "射手座"}, {12, 22, "摩羯座"}, {12, 31, "摩羯座"}, {1, 1, "摩羯座"},
      {1, 19, "摩羯座"},  {1, 20, "水瓶座"},  {2, 18, "水瓶座"},  {2, 19, "双鱼座"},  {2, 29, "双鱼座"},
  };
  TTransDate date(kToday);
  for (const auto& c : cases) {
    date.SetDate(Day(2024, c.month, c.day));
    EXPECT_EQ(date.Constellation(), c.sign) << c.month << "-" << c.day;
  }
}

TEST(TransDate, WeekNumberings) {
  const struct {
    DayNumber day;
    int sundayFirst;
    int mondayFirst;
  } cases[] = {
      {Day(2024, 6, 16), 1, 7},  // Sunday
      {Day(2024, 6, 15), 7, 6},  // Saturday
      {Day(2024, 6, 17), 2, 1},  // Monday
  };
  for (const auto& c : cases) {
    CountedTransDate counted;
    TTransDate& date = counted.date;
    date.SetDate(c.day);
    EXPECT_EQ(date.Week(), c.sundayFirst);
    const int events = counted.changes;
    date.SetISO8601(true);
    EXPECT_EQ(date.Week(), c.mondayFirst);
    date.SetISO8601(false);
    EXPECT_EQ(date.Week(), c.sundayFirst);
    EXPECT_EQ(counted.changes, events);  // no event from ISO8601
  }
}

// A date before 1900-01-01 keeps the lunar day (lunar 2024/5/10 here), and
// the change that the lDay write still raises moves Date to that day of lunar
// 1899/12: 1900-01-10, a Wednesday. Two events, as in January 1900.
TEST(TransDate, WritingADateBefore1900) {
  for (const double dateTime : {-1.25, -0.5, 1.0, 1.75}) {
    CountedTransDate counted;
    TTransDate& date = counted.date;
    date.SetDate(dateTime);
    EXPECT_EQ(counted.changes, 2) << dateTime;
    EXPECT_EQ(date.Date(), Day(1900, 1, 10)) << dateTime;
    EXPECT_EQ(date.LunarDate().lYear(), 1899);
    EXPECT_EQ(date.LunarDate().lMonth(), 12);
    EXPECT_EQ(date.LunarDate().lDay(), 10);
    EXPECT_EQ(date.Week(), 4);
    EXPECT_EQ(date.MaxMonthDays(), 31);
  }
}

TEST(TransDate, WritingDate) {
  CountedTransDate counted;
  TTransDate& date = counted.date;
  date.SetDate(Day(2012, 5, 21));
  EXPECT_EQ(counted.changes, 1);
  date.SetDate(Day(2012, 5, 21));  // the same value: nothing happens
  EXPECT_EQ(counted.changes, 1);
  const TLunarDate& lunar = date.LunarDate();
  EXPECT_EQ(lunar.lYear(), 2012);
  EXPECT_EQ(lunar.lMonth(), 4);
  EXPECT_EQ(lunar.lDay(), 1);
  EXPECT_TRUE(lunar.FlagLeapMonth());
  EXPECT_EQ(lunar.MaxMonthDays(), 29);
  EXPECT_EQ(date.MaxMonthDays(), 31);
  date.SetDate(Day(2024, 2, 10));
  EXPECT_EQ(counted.changes, 2);
  EXPECT_EQ(date.MaxMonthDays(), 29);
  EXPECT_EQ(lunar.FeastOfLunar(), "春节");
  // In January 1900 the conversion writes lDay through its setter, whose
  // change moves Date too: two events.
  date.SetDate(Day(1900, 1, 10));
  EXPECT_EQ(counted.changes, 4);
  EXPECT_EQ(date.Date(), Day(1900, 1, 10));
  EXPECT_EQ(lunar.lDay(), 10);
}

TEST(TransDate, BookOfChangesSwitchesThePillars) {
  CountedTransDate counted;
  TTransDate& date = counted.date;
  date.SetDate(Day(2024, 2, 5));  // lunar 2023/12/26, after 立春
  EXPECT_EQ(date.LunarDate().cYear(), "癸卯");
  EXPECT_EQ(date.LunarDate().cMonth(), "乙丑");
  date.SetBookOfChanges(true);
  EXPECT_EQ(counted.changes, 2);  // through the lunar date's change
  EXPECT_TRUE(date.BookOfChanges());
  EXPECT_EQ(date.LunarDate().cYear(), "甲辰");
  EXPECT_EQ(date.LunarDate().cMonth(), "丙寅");
  EXPECT_EQ(date.LunarDate().AnimalYear(), "龙");
  EXPECT_EQ(date.Date(), Day(2024, 2, 5));
  date.SetBookOfChanges(true);  // raised again though nothing changed
  EXPECT_EQ(counted.changes, 3);
}

TEST(TransDate, LunarChangesMoveTheDate) {
  CountedTransDate counted;
  TTransDate& date = counted.date;
  date.SetDate(Day(2024, 6, 15));  // equal to today's Date: nothing happens
  EXPECT_EQ(counted.changes, 0);
  date.LunarDate().SetLDay(30);  // lunar 2024/5/30
  EXPECT_EQ(counted.changes, 1);
  EXPECT_EQ(date.Date(), Day(2024, 7, 5));
  EXPECT_EQ(date.Week(), 6);           // Friday
  EXPECT_EQ(date.MaxMonthDays(), 30);  // not recomputed by a lunar change
  date.LunarDate().SetLMonth(8);
  EXPECT_EQ(counted.changes, 2);
  EXPECT_EQ(date.Date(), Day(2024, 10, 2));  // lunar 2024/8/30
  EXPECT_EQ(date.Feast(), "国际和平与民主自由斗争日");
}

TEST(TransDate, LeapMonthMovesToTheOtherMonth) {
  CountedTransDate counted;
  TTransDate& date = counted.date;
  date.SetDate(Day(2012, 4, 25));  // lunar 2012/4/5, a month followed by a leap month
  ASSERT_EQ(counted.changes, 1);
  date.SetLeapMonth(true);
  EXPECT_TRUE(date.LeapMonth());
  EXPECT_TRUE(date.LunarDate().FlagLeapMonth());
  EXPECT_EQ(date.Date(), Day(2012, 5, 25));
  EXPECT_EQ(counted.changes, 2);
  date.SetLeapMonth(true);  // already there
  EXPECT_EQ(counted.changes, 2);
  date.SetLeapMonth(false);
  EXPECT_EQ(date.Date(), Day(2012, 4, 25));
  EXPECT_EQ(counted.changes, 3);
  // A month without a leap month only stores the value.
  date.SetDate(Day(2024, 6, 15));
  date.SetLeapMonth(true);
  EXPECT_TRUE(date.LeapMonth());
  EXPECT_FALSE(date.LunarDate().FlagLeapMonth());
  EXPECT_EQ(date.Date(), Day(2024, 6, 15));
  EXPECT_EQ(counted.changes, 4);
}

TEST(TransDate, HandingOverALunarDate) {
  CountedTransDate counted;
  TTransDate& date = counted.date;
  auto other = std::make_unique<TLunarDate>(kToday);
  SolarToLunar(Day(2000, 1, 1), *other);
  TLunarDate* const raw = other.get();
  TLunarDate* const first = &date.LunarDate();

  std::unique_ptr<TLunarDate> previous = date.SetLunarDate(std::move(other));
  EXPECT_EQ(&date.LunarDate(), raw);
  EXPECT_EQ(previous.get(), first);
  EXPECT_FALSE(previous->OnChange());  // detached from its old owner
  EXPECT_EQ(date.Date(), Day(2000, 1, 1));
  EXPECT_EQ(date.MaxMonthDays(), 31);
  EXPECT_EQ(date.Week(), 7);  // Saturday
  EXPECT_EQ(date.Feast(), "元旦");
  EXPECT_EQ(raw->cDay(), "戊午");  // recalculated
  EXPECT_EQ(counted.changes, 1);

  // The new lunar date is kept in step.
  raw->SetLDay(26);
  EXPECT_EQ(date.Date(), Day(2000, 1, 2));
  EXPECT_EQ(counted.changes, 2);
  // The old one no longer is.
  previous->SetLDay(1);
  EXPECT_EQ(counted.changes, 2);

  // Handing over the object already held changes nothing and frees nothing.
  EXPECT_EQ(date.SetLunarDate(std::unique_ptr<TLunarDate>(raw)), nullptr);
  EXPECT_EQ(&date.LunarDate(), raw);
  EXPECT_EQ(date.SetLunarDate(nullptr), nullptr);
  EXPECT_EQ(&date.LunarDate(), raw);
  EXPECT_EQ(counted.changes, 2);
}

}  // namespace
}  // namespace tavrin
