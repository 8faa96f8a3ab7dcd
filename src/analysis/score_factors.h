// What a name's two numerology scores are made of, as values: 分数 (the
// program's own five grids and its element term) and 通行评分 (the grids,
// 三才 and favourable elements of the naming books, over 康熙 strokes), grid
// by grid in one order, with the characters whose two stroke counts differ.
// The front ends say in words why the scores stand where they do beside the
// name's 推荐度; nothing here is text for the user.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calendar/birth_pillars.h"
#include "conventions/favourable.h"
#include "conventions/sancai.h"

namespace tavrin {

struct DataStores;
struct NameReport;

// A numerology verdict: no table line, 吉, 半吉, 凶.
enum class Fortune { kNone, kGood, kHalf, kBad };

// The verdict of a numerology line (VerdictOf).
Fortune FortuneOf(std::string_view line);

struct GridFortune {
  int number = 0;
  Fortune fortune = Fortune::kNone;
};

// The index of each grid in ScoreFactors: the order 天 人 地 外 总.
enum FactorGrid { kFactorHeaven, kFactorPerson, kFactorEarth, kFactorOuter, kFactorTotal, kFactorGrids };

// A character the two readings count differently (GBK).
struct StrokeDifference {
  std::string ch;
  int own = 0;     // the program's count, of the traditional form
  int kangxi = 0;  // the 康熙 count
};

struct ScoreFactors {
  // 分数: the five grids by the program's own rule and count (a grid the
  // name is too long for has the number 0 and no verdict), the element term
  // and the score as the table adds it up before it is capped at 100.
  int score = 0;
  int uncapped = 0;
  std::array<GridFortune, kFactorGrids> own{};
  int elementTerm = 0;       // +10 or -10
  std::string weakElements;  // GBK: the elements fewer than twice in birth + name
  bool chartKnown = false;   // the score was taken against a birth chart
  int surnameLength = 1;     // in characters
  int nameLength = 0;        // in characters, surname included

  // 通行评分; none when the conventions read no grids for the name.
  struct Conventions {
    int score = 0;
    int numerologyPart = 0;  // of 60
    int sancaiPart = 0;      // of 20
    int elementPart = 0;     // of 20
    std::array<GridFortune, kFactorGrids> grids{};
    std::optional<conventions::Verdict> sancai;  // none without the 三才 table
    bool hasChart = false;
    int favourableCharacters = 0;
    int givenCharacters = 0;
  };
  std::optional<Conventions> conventions;
  // Characters among those both readings count (the program counts the
  // first three) whose counts differ, in the name's order.
  std::vector<StrokeDifference> strokes;
};

// The factors of a full name (GBK, surname first, `surnameLength` hanzi):
// its 分数 taken against `scoringElements` (a birth chart's elements; empty
// for none) and its 通行评分 for the chart of `pillars` (an empty day
// pillar: none), or for `favourable` elements when they are given (the
// user's choice in place of the chart's own).
ScoreFactors ReadScoreFactors(const DataStores& stores, std::string_view name, int surnameLength,
                              std::string_view scoringElements, const BirthPillars& pillars,
                              const conventions::FavourableElements* favourable = nullptr);

// The same for a name made for a birth, both scores against the chart of
// that birth; a date that does not exist gives no chart.
ScoreFactors ReadScoreFactors(const DataStores& stores, std::string_view name, int surnameLength, int year, int month,
                              int day, BirthHour hour);

// The same for an analysed name: the elements its score was taken against,
// its pillars, the favourable elements its 通行算法 section used, and its
// surname of `surnameLength` characters (0: as the advice tables tell it).
ScoreFactors ReadScoreFactors(const DataStores& stores, const NameReport& report, int surnameLength = 0);

}  // namespace tavrin
