// The pillars at the moment of birth: the month-opening terms' moments, the
// side of the term a birth on its day is read on, and true solar time.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "calendar/birth_pillars.h"
#include "calendar/calendar_tables.h"
#include "calendar/calendar_testutil.h"
#include "calendar/solar_time.h"
#include "calendar/term_moments.h"

namespace tavrin {
namespace {

using test::Day;
using test::kToday;

BirthTimeOptions Side(TermSide side) {
  BirthTimeOptions options;
  options.termSide = side;
  return options;
}
BirthTimeOptions Minute(int minute) {
  BirthTimeOptions options;
  options.minute = minute;
  return options;
}
BirthTimeOptions Place(double longitude) {
  BirthTimeOptions options;
  options.longitude = longitude;
  return options;
}

PillarReading Read(int y, int m, int d, BirthHour hour, const BirthTimeOptions& options = {}) {
  TTransDate date{kToday};
  LoadMainWindowTransDate(date);
  BirthAnalysisResult result = BirthAnalysis(BirthAnalysisVariant::kGenerate, date, y, m, d, hour, {}, {}, options);
  return {result.pillars, result.notes};
}

TEST(BirthMoment, MonthAndYearFollowTheTermsMoment) {
  constexpr auto kB = TermSide::kBefore;
  constexpr auto kA = TermSide::kAfter;
  const struct {
    int y, m, d;
    BirthHour hour;
    BirthTimeOptions options;
    const char* yearMonth;
    TermSide used;
    bool unsure;
  } cases[] = {
      // 小暑 2026 at 09:57.
      {2026, 7, 7, BirthHour::At(5), {}, "丙午 甲午", kB, false},
      {2026, 7, 7, BirthHour::At(10), {}, "丙午 乙未", kA, false},
      {2026, 7, 7, BirthHour::At(0), {}, "丙午 甲午", kB, false},
      {2026, 7, 7, BirthHour::At(23), {}, "丙午 乙未", kA, false},
      // The term inside the hour: its middle decides, flagged unsure; a choice or a minute settles it.
      {2026, 7, 7, BirthHour::At(9), {}, "丙午 甲午", kB, true},
      {2026, 7, 7, BirthHour::At(9), Side(kA), "丙午 乙未", kA, true},
      {2026, 7, 7, BirthHour::At(9), Minute(57), "丙午 乙未", kA, false},
      {2026, 7, 7, BirthHour::At(9), Minute(56), "丙午 甲午", kB, false},
      // The hour not known: the day's month, unless a side is chosen.
      {2026, 7, 7, BirthHour::Unknown(), {}, "丙午 乙未", kA, true},
      {2026, 7, 7, BirthHour::Unknown(), Side(kB), "丙午 甲午", kB, true},
      {2026, 7, 7, BirthHour::At(24), {}, "丙午 乙未", kA, true},
      // A known hour and a clear side: the choice does not override it.
      {2026, 7, 7, BirthHour::At(5), Side(kA), "丙午 甲午", kB, false},
      // 立春 2024 at 16:27 moves the year too.
      {2024, 2, 4, BirthHour::At(9), {}, "癸卯 乙丑", kB, false},
      {2024, 2, 4, BirthHour::At(17), {}, "甲辰 丙寅", kA, false},
      {2024, 2, 4, BirthHour::At(16), {}, "甲辰 丙寅", kA, true},
      // Beijing clock time decides, whatever the birthplace's solar time.
      {2024, 2, 4, BirthHour::At(17), Place(87.6), "甲辰 丙寅", kA, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.y) + "-" + std::to_string(c.m) + "-" + std::to_string(c.d) + " " +
                 (c.hour.Known() ? std::to_string(c.hour.Number()) : "unknown"));
    const PillarReading r = Read(c.y, c.m, c.d, c.hour, c.options);
    EXPECT_EQ(r.pillars.year + " " + r.pillars.month, c.yearMonth);
    ASSERT_TRUE(r.notes.termDay.has_value());
    EXPECT_EQ(r.notes.termDay->used, c.used);
    EXPECT_EQ(r.notes.termDay->unsure, c.unsure);
    EXPECT_EQ(r.notes.Unsure(), c.unsure || !c.hour.HasPillar());
  }

  // The note names both sides; the year pair only on 立春.
  const TermDayNote xiaoshu = *Read(2026, 7, 7, BirthHour::At(9)).notes.termDay;
  EXPECT_EQ(xiaoshu.termName, "小暑");
  EXPECT_EQ(xiaoshu.termHour * 100 + xiaoshu.termMinute, 957);
  EXPECT_EQ(xiaoshu.monthBefore + xiaoshu.monthAfter, "甲午乙未");
  EXPECT_EQ(xiaoshu.yearBefore + xiaoshu.yearAfter, "");
  const TermDayNote lichun = *Read(2024, 2, 4, BirthHour::At(9)).notes.termDay;
  EXPECT_EQ(lichun.termName, "立春");
  EXPECT_EQ(lichun.termHour * 100 + lichun.termMinute, 1627);
  EXPECT_EQ(lichun.yearBefore + lichun.yearAfter, "癸卯甲辰");
  EXPECT_EQ(lichun.monthBefore + lichun.monthAfter, "乙丑丙寅");

  // The day before a term and a day of a later term of the month carry no note.
  EXPECT_FALSE(Read(2024, 2, 3, BirthHour::At(9)).notes.termDay.has_value());
  EXPECT_FALSE(Read(2024, 2, 19, BirthHour::At(9)).notes.termDay.has_value());  // 雨水
}

// Every moment lies on the day of the solar-term table, and the counts of
// births that the moment moves are those the term table's comment gives.
TEST(BirthMoment, MomentTableAgreesWithTheDayTable) {
  int changedDays = 0;
  int changedHours = 0;
  for (int year = kTermMomentFirstYear; year <= kTermMomentLastYear; ++year) {
    for (int month = 1; month <= 12; ++month) {
      const std::optional<int> minute = OpeningTermMinute(year, month);
      ASSERT_TRUE(minute.has_value());
      ASSERT_GE(*minute, 0);
      ASSERT_LT(*minute, 1440);
      const DayNumber day = Day(year, month, SectionTermDay(year, month));
      ASSERT_EQ(SolarTermIndex(day), 2 * (month - 1)) << year << "-" << month;
      const std::optional<OpeningTerm> term = OpeningTermOn(day);
      ASSERT_TRUE(term.has_value()) << year << "-" << month;
      EXPECT_FALSE(OpeningTermOn(day - 1).has_value());
      const int hours = (*minute + 29) / 60;  // hours h with h:30 before the moment
      changedHours += hours;
      changedDays += hours > 0 ? 1 : 0;
    }
  }
  EXPECT_EQ(changedDays, 1844);
  EXPECT_EQ(changedHours, 22504);
  EXPECT_EQ(OpeningTermMinute(2000, 2), 20 * 60 + 40);  // 立春 2000 at 20:40
  EXPECT_FALSE(OpeningTermMinute(2057, 1).has_value());
  EXPECT_FALSE(OpeningTermOn(Day(2057, 2, 3)).has_value());
}

TEST(BirthMoment, TrueSolarTime) {
  const struct {
    int y, m, d, hour;
    double longitude;
    int solarHour, solarMinute, dayShift;  // the solar time, within a minute
    const char* dayHour;                   // day and hour pillars
  } cases[] = {
      // Ürümqi, 6:30 on 2024-02-10: −129.6 min of longitude, −14.2 of the equation of time.
      {2024, 2, 10, 6, 87.6, 4, 6, 0, "甲辰 丙寅"},
      // The meridian itself, mid-June: the equation of time is near zero.
      {2024, 6, 13, 10, 120.0, 10, 30, 0, "戊申 丁巳"},
      // Ürümqi at 1:30 is still the evening before: the day pillar moves back.
      {2024, 2, 10, 1, 87.6, 23, 6, -1, "癸卯 甲子"},
      // 135°E at 23:30 on 2024-11-03 (+60 and +16.4 min) is past midnight.
      {2024, 11, 3, 23, 135.0, 0, 46, 1, "壬申 庚子"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.m) + "-" + std::to_string(c.d) + " " + std::to_string(c.hour));
    const PillarReading r = Read(c.y, c.m, c.d, BirthHour::At(c.hour), Place(c.longitude));
    ASSERT_TRUE(r.notes.solarTime.has_value());
    const SolarTimeNote& s = *r.notes.solarTime;
    EXPECT_EQ(s.dayShift, c.dayShift);
    EXPECT_NEAR(s.hour * 60 + s.minute, c.solarHour * 60 + c.solarMinute, 1);
    EXPECT_EQ(r.pillars.day + " " + r.pillars.hour, c.dayHour);
  }
  // The extremes of the equation of time.
  EXPECT_NEAR(EquationOfTimeMinutes(Day(2024, 2, 11), 720), -14.2, 0.5);
  EXPECT_NEAR(EquationOfTimeMinutes(Day(2024, 11, 3), 720), 16.4, 0.5);
  // No place, or no hour: clock time, no note.
  EXPECT_FALSE(Read(2024, 2, 10, BirthHour::At(6)).notes.solarTime.has_value());
  EXPECT_EQ(Read(2024, 2, 10, BirthHour::At(6)).pillars.hour, "丁卯");
  EXPECT_FALSE(Read(2024, 2, 10, BirthHour::Unknown(), Place(87.6)).notes.solarTime.has_value());
}

}  // namespace
}  // namespace tavrin
