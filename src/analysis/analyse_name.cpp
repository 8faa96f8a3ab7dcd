#include "analysis/analyse_name.h"

#include "calendar/birth_pillars.h"
#include "chars/strokes.h"
#include "core/birth_inputs.h"
#include "core/naming_model.h"

namespace tavrin {

AnalysisRequest::AnalysisRequest() : AnalysisRequest("张", "2012", "1", "1", "1") {}

AnalysisRequest::AnalysisRequest(std::string name_, std::string year_, std::string month_, std::string day_,
                                 std::string hour_)
    : name(std::move(name_)),
      year(std::move(year_)),
      month(std::move(month_)),
      day(std::move(day_)),
      hour(std::move(hour_)) {}

AnalysisOutcome AnalyseName(NamingModel& model, const AnalysisRequest& request) {
  Pane& pane = model.memo4;
  pane.Clear();
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
  pane.Append("分数:" + model.Services().scorer.ScoreName(request.name, model.session.birthElements));
  return AnalysisOutcome::kCompleted;
}

}  // namespace tavrin
