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

// Which side of a month-opening solar term a birth on the term's day is read
// on, when the chart cannot tell by itself.
enum class TermSide {
  kBefore,  // the month (and on 立春 the year) that ends at the term
  kAfter,   // the month (and year) that the term opens
};

// The birth time beyond the hour field; all optional. Without any of them the
// chart is read as it always was, from the date and the whole hour.
struct BirthTimeOptions {
  // The minute within the hour, 0..59; without it the birth is taken at the
  // middle of its hour (h:30).
  std::optional<int> minute;
  // The birthplace's longitude, degrees east: the hour (and the day) pillar
  // then follow the true solar time there (calendar/solar_time.h).
  std::optional<double> longitude;
  // The side of the term when the chart is unsure of it (the hour not known,
  // or the term's moment inside the birth hour and no minute given). Without
  // it an unsure birth takes the month of the day, the one after the term.
  std::optional<TermSide> termSide;
};

// A birth on the day of a month-opening term (小寒 立春 惊蛰 清明 立夏 芒种 小暑
// 立秋 白露 寒露 立冬 大雪, Gregorian 1900..2056). The month pillar is that of
// the birth's moment against the term's (Beijing clock time): the month
// before the term for a birth before it, else the one it opens.
struct TermDayNote {
  int termIndex = 0;     // SolarTermName index
  std::string termName;  // GBK
  int termHour = 0;      // the term's moment, Beijing time
  int termMinute = 0;
  std::string monthBefore;  // the month pillar before the term, and after it (GBK)
  std::string monthAfter;
  // On 立春 only: the year pillars before and after; empty on other terms.
  std::string yearBefore;
  std::string yearAfter;
  TermSide used = TermSide::kAfter;  // the side the chart's pillars were read on
  // The chart cannot tell the side: the hour is not known, or the term's
  // moment falls inside the birth hour and no minute was given.
  bool unsure = false;
};

// The birth's true solar time, when a longitude was given with a known hour.
struct SolarTimeNote {
  double longitude = 0;  // degrees east
  int clockMinute = 0;   // the Beijing clock time used, minute of the day
  int hour = 0;          // the solar time, hour 0..23 and minute 0..59
  int minute = 0;
  int dayShift = 0;           // the solar date against the clock date: −1, 0, +1
  double equationOfTime = 0;  // minutes
};

// What the chart is not sure of, and how it was read, as values (the front
// ends word them).
struct BirthChartNotes {
  bool hourUnknown = false;  // no hour pillar: the hour is not known or outside 0..23
  std::optional<TermDayNote> termDay;
  std::optional<SolarTimeNote> solarTime;
  // Anything a reader should be told is uncertain: the hour, or the term's side.
  bool Unsure() const { return hourUnknown || (termDay && termDay->unsure); }
};

struct BirthAnalysisResult : BirthChart {
  BirthChartNotes notes;  // how the pillars were read, what is unsure
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

// The four pillars of a birth at the moment the inputs give: the year, month
// and day pillars of `lunar` (the lunar date of `date`, in solar-term mode),
// corrected on a month-opening term's day by the moment of the birth against
// the term's, and the hour pillar, from the true solar time when a longitude
// is given (the day pillar then moves with the solar date). The hour is a
// whole clock hour h, the birth lying in h:00..h:59; it is compared at its
// middle, h:30, unless a minute is given.
struct PillarReading {
  BirthPillars pillars;
  BirthChartNotes notes;
};
PillarReading ReadBirthPillars(const TLunarDate& lunar, DayNumber date, BirthHour hour,
                               const BirthTimeOptions& options = {});

// Sets `transDate` to the Gregorian birth date (it stays there), reads the
// year, month and day pillars from its lunar date, adds the hour pillar of
// `hour` and returns the analysis. A date that does not exist throws
// BirthAnalysisError before any line. For the analysis variant give the name
// and the element lookup of its characters.
// The pillars follow ReadBirthPillars with `options`; the lines keep their
// text and order whatever the options.
BirthAnalysisResult BirthAnalysis(BirthAnalysisVariant variant, TTransDate& transDate, int year, int month, int day,
                                  BirthHour hour, std::string_view name = {}, const CharElementLookup& charElement = {},
                                  const BirthTimeOptions& options = {});

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
