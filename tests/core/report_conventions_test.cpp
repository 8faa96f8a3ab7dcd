#include <gtest/gtest.h>

#include <optional>

#include "core/naming_model.h"
#include "core/startup.h"

namespace tavrin {
namespace {

// The report row's 通行评分: the candidate's own surname (one or two
// characters) and the run's birth chart, the worked examples of
// docs/conventions.md.
TEST(ReportConventionsScore, FromTheCandidateAndTheRunsChart) {
  SettingsInputs inputs;
  NamingEnvironment environment;
  environment.inputs = &inputs;
  NamingModel model(StartUp(ExecutableDir()), 1, environment);
  const BirthPillars weakWood{"庚午", "辛巳", "甲戌", "己巳"};    // favours 水 木
  const BirthPillars strongWood{"癸卯", "甲子", "甲子", "丁卯"};  // favours 火 土 金
  const struct {
    const char *surname, *given;
    BirthPillars pillars;  // empty: no chart
    std::optional<int> score;
  } cases[] = {
      {"欧阳", "子涵", weakWood, 63},                                    // 子 and 涵 water: all favourable
      {"欧阳", "子涵", {}, 53},                                          // no chart: half the element part
      {"张", "浩宇", strongWood, 33}, {"欧阳", "子涵", strongWood, 43},  // neither is favourable
      {"欧阳", "", {}, std::nullopt},                                    // no given name: no grids
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.surname) + c.given);
    BirthChart chart;
    chart.pillars = c.pillars;
    model.SetChart(chart);
    const ReportRow row = model.MakeReportRow(model.MakeCandidate(c.surname, c.given, Origin::kTwoChar, ""));
    EXPECT_EQ(row.conventionsScore, c.score);
  }
}

}  // namespace
}  // namespace tavrin
