// The analysis of one typed name (page 姓名分析): the birth pillars of the
// page's date and hour, the element of every character, the traditional form
// and the five-grid score, written into the pane Memo4.
#pragma once

#include <string>

namespace tavrin {

class NamingModel;

// The page's fields as they stand when "分 析" is pressed (GBK).
struct AnalysisRequest {
  AnalysisRequest();  // the page's defaults: 张, 2012-1-1, hour 1
  AnalysisRequest(std::string name, std::string year, std::string month, std::string day, std::string hour);
  std::string name;
  std::string year;
  std::string month;
  std::string day;
  std::string hour;
};

enum class AnalysisOutcome {
  kCompleted,
  kRefused,  // a date field was refused: message shown, pane empty
  kStopped,  // the hour field was refused: message shown after the first line
};

// Clears Memo4 and writes the analysis. Its score's element term uses the
// session's BirthElements of the last Generate run (empty before the first).
AnalysisOutcome AnalyseName(NamingModel& model, const AnalysisRequest& request);

}  // namespace tavrin
