#include "analysis/analyse_name.h"

#include "calendar/birth_pillars.h"
#include "chars/strokes.h"
#include "core/birth_inputs.h"
#include "core/naming_model.h"
#include "scoring/score.h"

namespace tavrin {

AnalysisRequest::AnalysisRequest() : AnalysisRequest("张", "2012", "1", "1", "1") {}

AnalysisRequest::AnalysisRequest(std::string name_, std::string year_, std::string month_, std::string day_,
                                 std::string hour_)
    : name(std::move(name_)),
      year(std::move(year_)),
      month(std::move(month_)),
      day(std::move(day_)),
      hour(std::move(hour_)) {}

std::string VerdictOf(std::string_view line) {
  // 半吉 holds 吉, so it is looked for first; the verdict stands before the
  // line's first full-width colon.
  const std::string_view head = line.substr(0, line.find("："));
  for (const char* verdict : {"半吉", "吉", "凶"}) {
    if (head.find(verdict) != std::string_view::npos) return verdict;
  }
  return {};
}

namespace {

void FillReport(const NamingModel& model, const AnalysisRequest& request, const BirthDate& date,
                const BirthAnalysisResult& analysis, const std::string& scoreText, NameReport& report) {
  const NamingServices& services = model.Services();
  report = NameReport{};
  report.name = request.name;
  report.pinyin = services.pinyin.PinyinOf(request.name);
  report.traditional = ToTraditional(request.name);
  report.year = date.year;
  report.month = date.month;
  report.day = date.day;
  report.hour = request.hour;
  report.pillars = {analysis.pillars.year, analysis.pillars.month, analysis.pillars.day, analysis.pillars.hour};
  for (std::size_t i = 0; i < report.pillars.size(); ++i) report.pillarElements[i] = PillarElements(report.pillars[i]);
  report.birthElements = analysis.birthElements;
  report.nameElements = analysis.nameElements;
  const FiveGrids grids = GridsOf(BareName(request.name));
  for (const Grid grid : {kHeavenGrid, kPersonGrid, kEarthGrid, kOuterGrid, kTotalGrid}) {
    NameReport::GridLine line;
    line.label = std::string(GridLabel(grid));
    line.number = grids[grid];
    for (const std::size_t index : services.scorer.MatchingLines(line.number)) {
      line.lines.push_back(model.Stores().numerologyTable[index]);
    }
    report.grids.push_back(std::move(line));
  }
  report.scoreText = scoreText;
  report.score = services.scorer.Score(request.name, model.session.birthElements);
}

}  // namespace

AnalysisOutcome AnalyseName(NamingModel& model, const AnalysisRequest& request, NameReport* report) {
  Pane& pane = model.memo4;
  pane.Clear();
  // The score needs the numerology table; without it the analysis would
  // show grids with no numerology lines and a wrong score.
  if (auto refusal = model.Stores().MissingDataMessage({kNumerologyFile}, "无法分析名字")) {
    model.Messages().Show(*refusal);
    return AnalysisOutcome::kRefused;
  }
  BirthDate date;
  if (auto refusal = CheckBirthDate(request.year, request.month, request.day, date)) {
    model.Messages().Show(*refusal);
    return AnalysisOutcome::kRefused;
  }
  int hour = 0;
  if (auto refusal = CheckBirthHour(request.hour, hour)) {
    // The hour is read after the first line, as the analysis reads it.
    pane.Append("开始分析八字");
    model.Messages().Show(*refusal);
    return AnalysisOutcome::kStopped;
  }
  const ElementService& elements = model.Services().elements;
  const BirthAnalysisResult analysis =
      BirthAnalysis(BirthAnalysisVariant::kAnalysis, model.TransDate(), date.year, date.month, date.day, request.hour,
                    request.name, [&](std::string_view ch) { return elements.CharElement(ch); });
  for (const std::string& line : analysis.paneLines) pane.Append(line);
  pane.Append("进入名字五格分析");
  pane.Append("繁体字为:" + ToTraditional(request.name));
  const std::string scoreText = model.Services().scorer.ScoreName(request.name, model.session.birthElements);
  pane.Append("分数:" + scoreText);
  if (report) FillReport(model, request, date, analysis, scoreText, *report);
  return AnalysisOutcome::kCompleted;
}

}  // namespace tavrin
