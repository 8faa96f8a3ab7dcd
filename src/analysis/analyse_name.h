// The analysis of one typed name (page 姓名分析): the birth pillars of the
// page's date and hour, the element of every character, the traditional form
// and the five-grid score, written into the pane of 姓名分析.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/conventions_section.h"
#include "analysis/score_factors.h"
#include "chars/linelist.h"
#include "core/birth_inputs.h"
#include "core/refusal.h"

namespace tavrin {

class NamingModel;
class TTransDate;
struct DataStores;

// The page's fields as they stand when "分 析" is pressed (GBK).
struct AnalysisRequest {
  AnalysisRequest();  // the page's defaults: 张, 2012-1-1, hour 1
  AnalysisRequest(std::string name, std::string year, std::string month, std::string day, HourField hour);
  std::string name;
  std::string year;
  std::string month;
  std::string day;
  HourField hour;
  BirthTimeOptions time;  // the birthplace, minute and term side (none: clock time)
};

// What a printed report of one analysed name shows, as structured data (GBK
// texts): the name's readings, the birth pillars, the elements, the grids.
struct NameReport {
  std::string name;
  std::string pinyin;       // as NamePinyin reads the name (zeng1 le4), with tone digits
  std::string traditional;  // the traditional form
  int year = 0, month = 0, day = 0;
  HourField hour;  // as typed
  // The year, month, day and hour pillars (two characters each; the hour's
  // is empty for an hour outside 0..23) and the elements of each.
  std::array<std::string, 4> pillars;
  std::array<std::string, 4> pillarElements;
  BirthChartNotes chartNotes;  // what the chart is unsure of, and how it was read
  std::string birthElements;   // the elements of the four pillars
  std::string nameElements;    // the element of each character of the name
  struct GridLine {
    std::string label;  // "天格:" ... "总格:"
    int number = 0;
    std::vector<std::string> lines;  // the numerology lines of the number
  };
  std::vector<GridLine> grids;  // in the order 天 人 地 外 总
  std::string scoringElements;  // the birth elements the score was taken against
  int score = 0;
  std::string scoreText;  // as the pane's "分数:" line holds it
  // The 通行算法 reading, when the front end has read it (ConventionsRequestFor).
  std::optional<ConventionsSection> conventions;
  // What the front end has read beside the analysis: the name's 推荐度 (for
  // the sex it was advised for), and what its 分数 and 通行评分 are made of.
  std::optional<int> recommend;
  std::optional<ScoreFactors> factors;
};

enum class AnalysisOutcome {
  kCompleted,
  kRefused,  // 5ge.dat failed to load, or a date field was refused: message shown, pane empty
  kStopped,  // the hour field was refused: message shown after the first line
};

// One analysis: the lines of the analysis pane, and the analysis as data.
struct NameAnalysis {
  AnalysisOutcome outcome = AnalysisOutcome::kCompleted;
  LineList lines;                  // what the pane shows, also before a stop
  std::optional<Refusal> refusal;  // kRefused and kStopped: what the user is told
  NameReport report;               // kCompleted: the same analysis as data
};

// Analyses one name for the page's date and hour, its score taken against
// `scoringElements` (a birth chart's elements; empty for none). Sets the
// date translator to the page's date.
NameAnalysis AnalyseOneName(const DataStores& stores, TTransDate& transDate, const AnalysisRequest& request,
                            std::string_view scoringElements);

// The page's command: clears its pane and writes the analysis, its score taken
// against the chart of the last Generate run (none before the first); a
// refusal comes back for the front end to show. When `report` is given and
// the analysis completes, it receives the analysis as data.
CommandResult<AnalysisOutcome> AnalyseName(NamingModel& model, const AnalysisRequest& request,
                                           NameReport* report = nullptr);

}  // namespace tavrin
