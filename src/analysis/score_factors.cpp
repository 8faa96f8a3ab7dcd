#include "analysis/score_factors.h"

#include <algorithm>

#include "advice/advice.h"
#include "analysis/analyse_name.h"
#include "calendar/trans_date.h"
#include "chars/gbk.h"
#include "chars/strokes.h"
#include "conventions/conventions_score.h"
#include "core/services.h"
#include "core/startup.h"

namespace tavrin {

namespace {

// The verdict of a grid: that of the first of its lines that has one, as
// the analysis and the printouts show it.
Fortune FortuneOfLines(const LineList& table, const auto& lines) {
  for (const auto index : lines) {
    const Fortune fortune = FortuneOf(table[static_cast<std::size_t>(index)]);
    if (fortune != Fortune::kNone) return fortune;
  }
  return Fortune::kNone;
}

// 通行评分 as the factors hold it.
ScoreFactors::Conventions ConventionsFactors(const conventions::ConventionsReading& reading, const LineList& table) {
  ScoreFactors::Conventions c;
  c.score = reading.score;
  c.numerologyPart = reading.numerologyPart;
  c.sancaiPart = reading.sancaiPart;
  c.elementPart = reading.elementPart;
  for (std::size_t i = 0; i < kFactorGrids; ++i) {
    c.grids[i] = {reading.lookups[i].number, FortuneOfLines(table, reading.lookups[i].lines)};
  }
  if (reading.hasSancai) c.sancai = reading.sancai.verdict;
  c.hasChart = reading.hasChart;
  c.favourableCharacters = reading.favourableCharacters;
  c.givenCharacters = static_cast<int>(reading.givenElements.size());
  return c;
}

// The characters both readings count whose counts differ: the program's
// grids read the first three characters.
std::vector<StrokeDifference> StrokeDifferences(std::string_view name, const conventions::ConventionsReading& reading) {
  std::vector<StrokeDifference> differences;
  const std::string traditional = ToTraditional(name);
  const std::size_t counted = std::min<std::size_t>({3, reading.characters.size(), CharCount(traditional)});
  for (std::size_t i = 0; i < counted; ++i) {
    const int ownCount = StrokeCount(CharAt(traditional, i));
    if (ownCount != reading.strokes[i]) differences.push_back({reading.characters[i], ownCount, reading.strokes[i]});
  }
  return differences;
}

}  // namespace

Fortune FortuneOf(std::string_view line) {
  const std::string verdict = VerdictOf(line);
  if (verdict == "吉") return Fortune::kGood;
  if (verdict == "半吉") return Fortune::kHalf;
  if (verdict == "凶") return Fortune::kBad;
  return Fortune::kNone;
}

ScoreFactors ReadScoreFactors(const DataStores& stores, std::string_view name, int surnameLength,
                              std::string_view scoringElements, const BirthPillars& pillars,
                              const conventions::FavourableElements* favourableOverride) {
  const NamingServices& services = *stores.services;
  const LineList& table = stores.numerologyTable;
  ScoreFactors f;
  f.surnameLength = surnameLength;
  f.nameLength = static_cast<int>(CharCount(name));
  f.chartKnown = !scoringElements.empty();

  const NameScore own = services.scorer.Evaluate(name, scoringElements, false);
  f.score = own.score;
  f.elementTerm = own.elementTerm;
  f.weakElements = WeakElements(std::string(scoringElements) + own.nameElements);
  f.uncapped = own.elementTerm;
  for (std::size_t i = 0; i < kFactorGrids; ++i) {
    const int number = own.grids[conventions::kCommonGridOrder[i]];
    f.own[i] = {number, FortuneOfLines(table, services.scorer.MatchingLines(number))};
    f.uncapped += services.scorer.Points(number);
  }

  const auto strength = conventions::AssessStrength(pillars);
  const auto favourable = strength ? std::optional(conventions::FavourableOf(*strength)) : std::nullopt;
  conventions::ConventionsInputs inputs;
  inputs.name = name;
  inputs.surnameLength = surnameLength;
  inputs.favourable = favourableOverride ? favourableOverride : favourable ? &*favourable : nullptr;
  const auto reading = services.ReadConventions(inputs);
  if (!reading) return f;
  f.conventions = ConventionsFactors(*reading, table);
  f.strokes = StrokeDifferences(name, *reading);
  return f;
}

ScoreFactors ReadScoreFactors(const DataStores& stores, std::string_view name, int surnameLength, int year, int month,
                              int day, BirthHour hour) {
  TTransDate transDate;
  try {
    const BirthAnalysisResult chart = BirthAnalysis(BirthAnalysisVariant::kGenerate, transDate, year, month, day, hour);
    return ReadScoreFactors(stores, name, surnameLength, chart.birthElements, chart.pillars);
  } catch (const BirthAnalysisError&) {
    return ReadScoreFactors(stores, name, surnameLength, {}, {});
  }
}

ScoreFactors ReadScoreFactors(const DataStores& stores, const NameReport& report, int surnameLength) {
  if (surnameLength <= 0) surnameLength = advice::SurnameLength(stores.advice.get(), report.name);
  const conventions::FavourableElements* favourable =
      report.conventions && report.conventions->favourable ? &*report.conventions->favourable : nullptr;
  return ReadScoreFactors(stores, report.name, surnameLength, report.scoringElements,
                          BirthPillars{report.pillars[0], report.pillars[1], report.pillars[2], report.pillars[3]},
                          favourable);
}

}  // namespace tavrin
