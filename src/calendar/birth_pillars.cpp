#include "calendar/birth_pillars.h"

#include <array>
#include <chrono>

#include "calendar/calendar_tables.h"
#include "calendar/lunar_date.h"
#include "calendar/solar_time.h"
#include "calendar/term_moments.h"
#include "chars/gbk.h"
#include "chars/strcon.h"

namespace tavrin {

namespace {

// Stems and branches with their elements, in the order PillarElements tests them.
constexpr std::array<std::pair<std::string_view, std::string_view>, 22> kPillarCharElements = {{
    {"甲", "木"}, {"乙", "木"}, {"丙", "火"}, {"丁", "火"}, {"戊", "土"}, {"己", "土"}, {"庚", "金"}, {"辛", "金"},
    {"壬", "水"}, {"癸", "水"}, {"寅", "木"}, {"卯", "木"}, {"巳", "火"}, {"午", "火"}, {"申", "金"}, {"酉", "金"},
    {"亥", "水"}, {"子", "水"}, {"辰", "土"}, {"戌", "土"}, {"丑", "土"}, {"未", "土"},
}};

// The five elements in the order they are walked.
constexpr std::array<std::string_view, 5> kElements = {"金", "木", "水", "火", "土"};

int StemIndex(std::string_view ch) {
  for (int i = 0; i < 10; ++i) {
    if (StemName(i) == ch) return i;
  }
  return -1;
}

}  // namespace

std::string HourPillar(std::string_view dayPillar, int hour) {
  if (hour < 0 || hour > 23 || dayPillar.empty()) return {};
  const int dayStem = StemIndex(dayPillar.substr(0, CharLengthAt(dayPillar, 0)));
  if (dayStem < 0) return {};
  const int branch = (hour + 1) / 2 % 12;
  // The 子 hour that starts at 23:00 belongs to the next day's stem.
  const int stemDay = hour == 23 ? (dayStem + 1) % 10 : dayStem;
  const int stem = (2 * (stemDay % 5) + branch) % 10;
  std::string pillar(StemName(stem));
  pillar.append(BranchName(branch));
  return pillar;
}

std::string PillarElements(std::string_view text) {
  std::string elements;
  for (const auto& [ch, element] : kPillarCharElements) {
    if (ContainsAligned(text, ch)) elements.append(element);
  }
  return elements;
}

int TallyElement(std::string_view element, std::string_view text, std::string& missingElements) {
  int count = 0;
  if (!element.empty()) {
    for (std::size_t at = FindAligned(text, element); at != std::string_view::npos;
         at = FindAligned(text, element, at + element.size())) {
      ++count;
    }
  }
  if (count == 0) missingElements.append(element);
  return count;
}

std::optional<int> ParseWholeNumber(std::string_view text) {
  const std::size_t start = text.find_first_not_of(" \t");
  return ParseDecimalInteger(start == std::string_view::npos ? std::string_view() : text.substr(start));
}

namespace {

// The lunar date of another day, in solar-term mode, as the date translator
// would hold it.
struct DayReading {
  std::string year;
  std::string month;
  std::string day;
};
DayReading ReadDay(DayNumber date) {
  const CivilDate civil = DecodeDate(date);
  TLunarDate lunar(std::chrono::year_month_day{std::chrono::year(civil.year), std::chrono::month(civil.month),
                                               std::chrono::day(civil.day)});
  SolarToLunar(date, lunar);
  lunar.Recalculate();
  lunar.SetBookOfChanges(true);
  return {lunar.cYear(), lunar.cMonth(), lunar.cDay()};
}

constexpr int kHalfHour = 30;

// The term's day: the pillars of the day are those after the term; the day
// before holds the ones before it. `pillars` takes the month and year of the
// side the birth is read on.
TermDayNote ReadTermDay(DayNumber date, const OpeningTerm& term, BirthHour hour, int clockMinute,
                        const BirthTimeOptions& options, BirthPillars& pillars) {
  const bool clockKnown = hour.HasPillar();
  TermDayNote note;
  note.termIndex = term.termIndex;
  note.termName = std::string(SolarTermName(term.termIndex));
  note.termHour = term.minute / 60;
  note.termMinute = term.minute % 60;
  const DayReading before = ReadDay(date - 1);
  note.monthBefore = before.month;
  note.monthAfter = pillars.month;
  if (before.year != pillars.year) {
    note.yearBefore = before.year;
    note.yearAfter = pillars.year;
  }
  const bool termInHour = clockKnown && !options.minute && term.minute / 60 == hour.Number();
  note.unsure = !clockKnown || termInHour;
  if (!clockKnown) {
    note.used = options.termSide.value_or(TermSide::kAfter);
  } else if (termInHour && options.termSide) {
    note.used = *options.termSide;
  } else {
    note.used = clockMinute < term.minute ? TermSide::kBefore : TermSide::kAfter;
  }
  if (note.used == TermSide::kBefore) {
    pillars.month = before.month;
    pillars.year = before.year;
  }
  return note;
}

}  // namespace

PillarReading ReadBirthPillars(const TLunarDate& lunar, DayNumber date, BirthHour hour,
                               const BirthTimeOptions& options) {
  PillarReading reading;
  BirthPillars& pillars = reading.pillars;
  BirthChartNotes& notes = reading.notes;
  pillars.year = lunar.cYear();
  pillars.month = lunar.cMonth();
  pillars.day = lunar.cDay();

  const bool clockKnown = hour.HasPillar();
  const int minuteInHour =
      options.minute && *options.minute >= 0 && *options.minute <= 59 ? *options.minute : kHalfHour;
  const int clockMinute = clockKnown ? hour.Number() * 60 + minuteInHour : 0;
  notes.hourUnknown = !clockKnown;

  if (const std::optional<OpeningTerm> term = OpeningTermOn(date)) {
    notes.termDay = ReadTermDay(date, *term, hour, clockMinute, options, pillars);
  }

  if (!hour.Known()) return reading;
  int pillarHour = hour.Number();
  if (clockKnown && options.longitude) {
    const SolarTime solar = TrueSolarTime(date, clockMinute, *options.longitude);
    notes.solarTime = SolarTimeNote{*options.longitude, clockMinute,    solar.minute / 60,
                                    solar.minute % 60,  solar.dayShift, solar.equationOfTime};
    pillarHour = solar.minute / 60;
    if (solar.dayShift != 0) pillars.day = ReadDay(date + solar.dayShift).day;
  }
  pillars.hour = HourPillar(pillars.day, pillarHour);
  return reading;
}

namespace {

// The pillar line, the element line and the cautions of the chart; sets its
// birth and missing elements.
void AddChartLines(BirthAnalysisVariant variant, BirthAnalysisResult& result) {
  const BirthPillars& pillars = result.pillars;
  LineList& lines = result.paneLines;
  lines.push_back(pillars.year + "年 " + pillars.month + "月 " + pillars.day + "日 " + pillars.hour + "时");

  const std::string yearElements = PillarElements(pillars.year);
  const std::string monthElements = PillarElements(pillars.month);
  const std::string dayElements = PillarElements(pillars.day);
  const std::string hourElements = PillarElements(pillars.hour);
  lines.push_back("五行分析:年 " + yearElements + " 月 " + monthElements + " 日 " + dayElements + " 时 " +
                  hourElements);
  result.birthElements = yearElements + monthElements + dayElements + hourElements;

  lines.push_back("下面是根据五行分析的姓名禁忌,越少越好");
  for (const std::string_view element : kElements) {
    const int count = TallyElement(element, result.birthElements, result.missingElements);
    if (count > 1) {
      lines.push_back("八字中" + std::string(element) + "多");
    } else if (count == 0) {
      if (variant == BirthAnalysisVariant::kGenerate) {
        result.analysisPaneLines.push_back("名字中要有" + std::string(element));
      } else {
        lines.push_back("五行缺" + std::string(element));
      }
    }
  }
}

// The analysis variant's closing lines: 五行不缺 when nothing is lacking,
// the element of each name character, the name's and the combined elements.
void AddNameLines(std::string_view name, const CharElementLookup& charElement, BirthAnalysisResult& result) {
  LineList& lines = result.paneLines;
  bool lacking = false;
  for (const std::string& line : lines) lacking = lacking || ContainsAligned(line, "五行缺");
  if (!lacking) lines.push_back("五行不缺");

  for (const std::string& ch : SplitChars(name)) {
    const std::string element = charElement ? charElement(ch) : std::string();
    lines.push_back(std::string(ch).append(" 属性 ").append(element));
    result.nameElements += element;
  }
  lines.push_back("姓名五行为:" + result.nameElements);
  lines.push_back("综合五行为:" + result.birthElements + result.nameElements);
}

}  // namespace

BirthAnalysisResult BirthAnalysis(BirthAnalysisVariant variant, TTransDate& transDate, int year, int month, int day,
                                  BirthHour hour, std::string_view name, const CharElementLookup& charElement,
                                  const BirthTimeOptions& options) {
  const std::optional<DayNumber> date = EncodeDate(year, month, day);
  if (!date) {
    throw BirthAnalysisError(std::to_string(year) + "-" + std::to_string(month) + "-" + std::to_string(day) +
                             " is not a valid date");
  }
  transDate.SetDate(*date);

  BirthAnalysisResult result;
  result.paneLines.push_back(std::string(BirthAnalysisFirstLine()));
  PillarReading reading = ReadBirthPillars(transDate.LunarDate(), *date, hour, options);
  result.pillars = std::move(reading.pillars);
  result.notes = std::move(reading.notes);
  AddChartLines(variant, result);
  if (variant == BirthAnalysisVariant::kAnalysis) AddNameLines(name, charElement, result);
  return result;
}

std::string_view BirthAnalysisFirstLine() { return "开始分析八字"; }

std::string_view UnknownHourText() { return "时辰不详"; }

}  // namespace tavrin
