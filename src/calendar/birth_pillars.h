// The four stem-branch pillars of a birth (八字), the elements of their stems
// and branches, and the block of analysis lines that opens a naming run and
// the analysis of a typed name.
//
// BirthAnalysis writes no pane itself: it returns its lines, and the caller
// puts them where they belong. All texts are GBK.
#pragma once

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "calendar/trans_date.h"
#include "chars/linelist.h"

namespace tavrin {

struct BirthPillars {
  std::string year;  // each two characters, stem first
  std::string month;
  std::string day;
  std::string hour;  // empty when the hour is outside 0..23
};

// The hour pillar from the day pillar and an hour 0..23: hours 23 and 0 are
// 子, 1 and 2 丑, ... 21 and 22 亥. The stem follows the day stem by the
// sexagenary rule (on 甲 and 己 days the 子 hour is 甲子); hour 23 opens the
// next day's 子 hour, so its stem follows the next day's stem while the day
// pillar stays on the given day. Empty for an hour outside 0..23 or a day
// pillar that does not start with a stem.
std::string HourPillar(std::string_view dayPillar, int hour);

// The element characters of the stems and branches in a text, each once, in
// the fixed order 甲 乙 丙 丁 戊 己 庚 辛 壬 癸 寅 卯 巳 午 申 酉 亥 子 辰 戌 丑 未
// (for a pillar: the stem's element, then the branch's).
std::string PillarElements(std::string_view text);

// Occurrences of the element character `element` in `text`, counted without
// overlap; when there are none the element is appended to `missingElements`.
int TallyElement(std::string_view element, std::string_view text, std::string& missingElements);

// The element of one character of a name (1 or 2 bytes), supplied by the caller.
using CharElementLookup = std::function<std::string(std::string_view ch)>;

enum class BirthAnalysisVariant {
  kGenerate,  // the naming run: lines for the settings page's summary pane
  kAnalysis,  // the analysis of a typed name: lines for the analysis pane
};

// A birth chart: the four pillars and the elements of their stems and
// branches.
struct BirthChart {
  BirthPillars pillars;
  std::string birthElements;    // the elements of the four pillars, stem before branch (GBK)
  std::string missingElements;  // the elements absent from birthElements, in the order 金 木 水 火 土
};

struct BirthAnalysisResult : BirthChart {
  // The lines of the variant's own pane, in order: "开始分析八字", the pillar
  // line, the element line, the heading of the cautions, the "八字中X多"
  // lines; the analysis variant adds its "五行缺X" lines among them, then
  // "五行不缺" when none was written, then the name lines.
  LineList paneLines;
  // Generate variant only: the "名字中要有X" lines, which go to the analysis
  // page's pane.
  LineList analysisPaneLines;
  std::string nameElements;  // analysis variant: the element of each name character
};

// A birth date that does not exist.
class BirthAnalysisError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The hour of a birth as the hour fields give it: a whole number (0..23 gives
// the hour pillar; any other number, taken as typed, gives none) or not known
// (the hour lists' last item), which gives no hour pillar either.
class BirthHour {
 public:
  // Not known.
  constexpr BirthHour() = default;
  static constexpr BirthHour Unknown() { return {}; }
  static constexpr BirthHour At(int hour) { return BirthHour(hour); }

  constexpr bool Known() const { return hour_.has_value(); }
  // The hour's number; only for a known hour.
  constexpr int Number() const { return *hour_; }
  // A known hour 0..23: the chart has an hour pillar.
  constexpr bool HasPillar() const { return hour_ && *hour_ >= 0 && *hour_ <= 23; }
  bool operator==(const BirthHour&) const = default;

 private:
  constexpr explicit BirthHour(int hour) : hour_(hour) {}
  std::optional<int> hour_;
};

// Sets `transDate` to the Gregorian birth date (it stays there), reads the
// year, month and day pillars from its lunar date, adds the hour pillar of
// `hour` and returns the analysis. A date that does not exist throws
// BirthAnalysisError before any line. For the analysis variant give the name
// and the element lookup of its characters.
BirthAnalysisResult BirthAnalysis(BirthAnalysisVariant variant, TTransDate& transDate, int year, int month, int day,
                                  BirthHour hour, std::string_view name = {},
                                  const CharElementLookup& charElement = {});

// The first line of every birth analysis (GBK).
std::string_view BirthAnalysisFirstLine();

// Reads a whole number as the program's hour fields hold it: optional blanks,
// an optional sign, decimal digits, nothing after. nullopt otherwise.
std::optional<int> ParseWholeNumber(std::string_view text);

// The caption of an unknown hour, 时辰不详 (GBK): the last item of the hour
// lists and how a birth line shows the hour. (A function: a literal in a
// header would take the character set of each front end that includes it.)
std::string_view UnknownHourText();

}  // namespace tavrin
