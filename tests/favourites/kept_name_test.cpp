// What a kept name is read with when the favourite does not say.
#include <gtest/gtest.h>

#include "calendar/birth_pillars.h"
#include "core/startup.h"
#include "favourites/kept_name.h"

namespace tavrin {
namespace {

TEST(KeptName, SurnameAsTheRunTookItElseAsTheAdviceReadsIt) {
  const advice::AdviceTables tables = LoadAdviceTables(ExecutableDir());
  const struct {
    const char* name;
    int kept;  // surnameLength kept with the favourite; 0: not known
    bool withTables;
    int expected;
  } cases[] = {
      {"欧阳俊", 1, true, 1},   // the run read 欧 + 阳俊
      {"欧阳俊", 0, true, 2},   // not known: the compound surname
      {"欧阳俊", 0, false, 1},  // no tables: one character
      {"司马光", 0, true, 2},   // a compound surname of the table
      {"张三", 0, true, 1},     // a single surname
      {"欧阳", 0, true, 1},     // a surname alone is no compound
  };
  for (const auto& c : cases) {
    Favourite f;
    f.name = GbkText(c.name);
    f.surnameLength = c.kept;
    EXPECT_EQ(SurnameLengthOf(f, c.withTables ? &tables : nullptr), c.expected) << c.name << " " << c.kept;
  }
}

TEST(KeptName, ScoredForItsBirthOrRefused) {
  const ElementService elements{LineList{}};
  const NameScorer scorer(LineList{}, elements);
  using namespace std::chrono;
  TTransDate transDate(year_month_day{year{2026}, month{12}, day{9}});
  Favourite f;
  f.name = GbkText("张伟");
  f.hour = kUnknownHourOfBirth;  // a chart without an hour pillar
  EXPECT_NO_THROW(ScoreForBirth(scorer, transDate, f));
  f.year = 2023;
  f.month = 2;
  f.day = 29;
  EXPECT_THROW(ScoreForBirth(scorer, transDate, f), BirthAnalysisError);
}

}  // namespace
}  // namespace tavrin
