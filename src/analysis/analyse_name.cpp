#include "analysis/analyse_name.h"

#include "advice/advice.h"
#include "calendar/birth_pillars.h"
#include "calendar/gregorian.h"
#include "chars/strokes.h"
#include "core/birth_inputs.h"
#include "core/naming_model.h"
#include "core/services.h"
#include "core/startup.h"
#include "scoring/score.h"

namespace tavrin {

AnalysisRequest::AnalysisRequest()
    : AnalysisRequest("张", std::to_string(kDefaultBirth.year), std::to_string(kDefaultBirth.month),
                      std::to_string(kDefaultBirth.day), {std::to_string(kDefaultBirth.hour)}) {}

AnalysisRequest::AnalysisRequest(std::string name_, std::string year_, std::string month_, std::string day_,
                                 HourField hour_)
    : name(std::move(name_)),
      year(std::move(year_)),
      month(std::move(month_)),
      day(std::move(day_)),
      hour(std::move(hour_)) {}

namespace {

// The line that ends the analysis when the hour field says 时辰不详.
constexpr const char* kUnknownHourLine = "出生时辰不详,八字没有时柱,只看年、月、日三柱";

void FillReport(const DataStores& stores, const AnalysisRequest& request, const BirthDate& date,
                const BirthAnalysisResult& analysis, std::string_view scoringElements, const NameScore& score,
                NameReport& report) {
  const NamingServices& services = *stores.services;
  report = NameReport{};
  report.name = request.name;
  const int surnameLength = advice::SurnameLength(stores.advice.get(), request.name);
  report.pinyin = services.namePinyin.Numbered(request.name, surnameLength);
  report.traditional = ToTraditional(request.name);
  report.year = date.year;
  report.month = date.month;
  report.day = date.day;
  report.hour = request.hour;
  report.pillars = {analysis.pillars.year, analysis.pillars.month, analysis.pillars.day, analysis.pillars.hour};
  report.chartNotes = analysis.notes;
  for (std::size_t i = 0; i < report.pillars.size(); ++i) report.pillarElements[i] = PillarElements(report.pillars[i]);
  report.birthElements = analysis.birthElements;
  report.nameElements = analysis.nameElements;
  for (const Grid grid : {kHeavenGrid, kPersonGrid, kEarthGrid, kOuterGrid, kTotalGrid}) {
    NameReport::GridLine line;
    line.label = std::string(GridLabel(grid));
    line.number = score.grids[grid];
    for (const std::size_t index : services.scorer.MatchingLines(line.number)) {
      line.lines.push_back(stores.numerologyTable[index]);
    }
    report.grids.push_back(std::move(line));
  }
  report.scoringElements = std::string(scoringElements);
  report.scoreText = FormatScoreText(score);
  report.score = score.score;
}

}  // namespace

NameAnalysis AnalyseOneName(const DataStores& stores, TTransDate& transDate, const AnalysisRequest& request,
                            std::string_view scoringElements) {
  NameAnalysis result;
  // The score needs the numerology table; without it the analysis would
  // show grids with no numerology lines and a wrong score.
  if (auto refusal = stores.MissingDataMessage({kNumerologyFile}, "无法分析名字")) {
    result.outcome = AnalysisOutcome::kRefused;
    result.refusal = Refusal{InputField::kDataFiles, *refusal};
    return result;
  }
  BirthDate date;
  if (auto refusal = CheckBirthDate(request.year, request.month, request.day, date)) {
    result.outcome = AnalysisOutcome::kRefused;
    result.refusal = Refusal{InputField::kBirthDate, *refusal};
    return result;
  }
  BirthHour hour;
  if (auto refusal = CheckBirthHour(request.hour, hour)) {
    // The hour is refused after the analysis's first line.
    result.outcome = AnalysisOutcome::kStopped;
    result.lines.push_back(std::string(BirthAnalysisFirstLine()));
    result.refusal = Refusal{InputField::kBirthHour, *refusal};
    return result;
  }
  const NamingServices& services = *stores.services;
  const ElementService& elements = services.elements;
  const BirthAnalysisResult analysis = BirthAnalysis(
      BirthAnalysisVariant::kAnalysis, transDate, date.year, date.month, date.day, hour, request.name,
      [&](std::string_view ch) { return elements.CharElement(ch); }, request.time);
  const NameScore score = services.scorer.Evaluate(request.name, scoringElements);
  result.lines = analysis.paneLines;
  result.lines.push_back("进入名字五格分析");
  result.lines.push_back("繁体字为:" + ToTraditional(request.name));
  result.lines.push_back("分数:" + FormatScoreText(score));
  if (!hour.Known()) result.lines.push_back(kUnknownHourLine);
  FillReport(stores, request, date, analysis, scoringElements, score, result.report);
  return result;
}

CommandResult<AnalysisOutcome> AnalyseName(NamingModel& model, const AnalysisRequest& request, NameReport* report) {
  Pane& pane = model.PaneOf(Origin::kAnalysis);
  pane.Clear();
  NameAnalysis analysis =
      AnalyseOneName(model.Stores(), model.TransDate(), request, model.Session().chart.birthElements);
  for (std::string& line : analysis.lines) pane.Append(std::move(line));
  if (report && analysis.outcome == AnalysisOutcome::kCompleted) *report = std::move(analysis.report);
  return {analysis.outcome, std::move(analysis.refusal)};
}

}  // namespace tavrin
