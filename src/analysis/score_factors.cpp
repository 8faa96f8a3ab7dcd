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

// The program's grids in the order 天 人 地 外 总.
constexpr std::array<Grid, kFactorGrids> kOwnOrder = {kHeavenGrid, kPersonGrid, kEarthGrid, kOuterGrid, kTotalGrid};

// The verdict of a grid: that of the first of its lines that has one, as
// the analysis and the printouts show it.
Fortune FortuneOfLines(const LineList& table, const auto& lines) {
  for (const auto index : lines) {
    const Fortune fortune = FortuneOf(table[static_cast<std::size_t>(index)]);
    if (fortune != Fortune::kNone) return fortune;
  }
  return Fortune::kNone;
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
    const int number = own.grids[kOwnOrder[i]];
    const std::vector<std::size_t> lines = services.scorer.MatchingLines(number);
    f.own[i] = {number, FortuneOfLines(table, lines)};
    for (const std::size_t line : lines) f.uncapped += LinePoints(table[line]);
  }

  const auto strength = conventions::AssessStrength(pillars);
  const auto favourable = strength ? std::optional(conventions::FavourableOf(*strength)) : std::nullopt;
  conventions::ConventionsInputs inputs;
  inputs.name = name;
  inputs.surnameLength = surnameLength;
  inputs.favourable = favourableOverride ? favourableOverride : favourable ? &*favourable : nullptr;
  const auto reading =
      conventions::ReadConventions(inputs, table, services.sancai ? &*services.sancai : nullptr,
                                   [&](std::string_view ch) { return services.elements.CharElement(ch); });
  if (!reading) return f;

  ScoreFactors::Conventions& c = f.conventions.emplace();
  c.score = reading->score;
  c.numerologyPart = reading->numerologyPart;
  c.sancaiPart = reading->sancaiPart;
  c.elementPart = reading->elementPart;
  for (std::size_t i = 0; i < kFactorGrids; ++i) {
    c.grids[i] = {reading->lookups[i].number, FortuneOfLines(table, reading->lookups[i].lines)};
  }
  if (reading->hasSancai) c.sancai = reading->sancai.verdict;
  c.hasChart = reading->hasChart;
  c.favourableCharacters = reading->favourableCharacters;
  c.givenCharacters = static_cast<int>(reading->givenElements.size());

  // The program's grids read the first three characters.
  const std::string traditional = ToTraditional(name);
  const std::size_t counted = std::min<std::size_t>({3, reading->characters.size(), CharCount(traditional)});
  for (std::size_t i = 0; i < counted; ++i) {
    const int ownCount = StrokeCount(CharAt(traditional, i));
    if (ownCount != reading->strokes[i]) f.strokes.push_back({reading->characters[i], ownCount, reading->strokes[i]});
  }
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
  if (surnameLength <= 0) surnameLength = stores.advice ? stores.advice->SurnameLength(report.name) : 1;
  const conventions::FavourableElements* favourable =
      report.conventions && report.conventions->favourable ? &*report.conventions->favourable : nullptr;
  return ReadScoreFactors(stores, report.name, surnameLength, report.scoringElements,
                          BirthPillars{report.pillars[0], report.pillars[1], report.pillars[2], report.pillars[3]},
                          favourable);
}

}  // namespace tavrin
