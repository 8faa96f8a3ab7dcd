// Commands over the Chinese calendar: lunar dates day by day, the date
// translator's view of one day, and the birth pillars of a date and hour.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "calendar/birth_pillars.h"
#include "calendar/calendar_tables.h"
#include "calendar/gregorian.h"
#include "calendar/lunar_date.h"
#include "calendar/trans_date.h"
#include "chars/encoding.h"
#include "chars/strcon.h"
#include "cli/cli.h"
#include "cli/cli_text.h"
#include "cli/json_output.h"
#include "places/places.h"
#include "core/birth_inputs.h"
#include "base/output_text.h"

namespace tavrin::cli {
namespace {

constexpr DayNumber kFirstCalendarDay = 2;  // 1900-01-01

// A YYYY-MM-DD argument as a day number from 1900-01-01 to the end of
// `lastYear`: the last year of the calendar data for the calendar's own
// commands (later dates would be invented), the last birth year the naming
// commands take for the birth pillars.
DayNumber ParseDateArgument(const std::string& text, int lastYear = kCalendarDataLastYear) {
  const auto number = [&](std::size_t at, std::size_t length) {
    int value = -1;
    const char* first = text.data() + at;
    const auto [end, error] = std::from_chars(first, first + length, value);
    return error == std::errc() && end == first + length ? value : -1;
  };
  const bool shaped = text.size() == 10 && text[4] == '-' && text[7] == '-' &&
                      text.find_first_not_of("0123456789-") == std::string::npos;
  const std::optional<DayNumber> day =
      shaped ? EncodeDate(number(0, 4), number(5, 2), number(8, 2)) : std::optional<DayNumber>();
  if (!day) throw CliError(Say("“%1”不是日期,应为 YYYY-MM-DD 形式的真实日期", {QuoteArgument(text)}));
  if (*day < kFirstCalendarDay) throw CliError(Say("“%1”早于历法的起点 1900-01-01", {text}));
  if (DecodeDate(*day).year > lastYear) {
    throw GbkError("日期 " + text + " 不在 " + std::to_string(kCalendarFirstYear) + " 至 " + std::to_string(lastYear) +
                   " 年之间");
  }
  return *day;
}

std::string LunarDateText(const TLunarDate& lunar) {
  return std::to_string(lunar.lYear()) + "年" + (lunar.FlagLeapMonth() ? "闰" : "") + std::to_string(lunar.lMonth()) +
         "月" + std::to_string(lunar.lDay()) + "日";
}

void AppendCsvField(std::string& row, const std::string& cell) {
  if (!row.empty()) row += ',';
  const std::string field = NeutraliseCsvCell(cell);
  if (field.find_first_of(",\"\n") == std::string::npos) {
    row += field;
    return;
  }
  row += '"';
  for (const char c : field) {
    if (c == '"') row += '"';
    row += c;
  }
  row += '"';
}

int Lunar(CliContext& context, const std::vector<std::string>& args) {
  static const char* const kUsage = "lunar FROM [TO] [--csv]";
  bool csv = false;
  std::vector<std::string> dates;
  ReadArguments(args, kUsage, {{"--csv", Option::kFlag, SetTrue(csv)}}, EveryArgument(dates));
  if (dates.empty() || dates.size() > 2) throw CliError(UsageMessage(kUsage));
  const DayNumber from = ParseDateArgument(dates[0]);
  const DayNumber to = dates.size() == 2 ? ParseDateArgument(dates[1]) : from;
  if (to < from) throw CliError(Say("日期范围的终点 %1 早于起点 %2", {dates[1], dates[0]}));

  const std::chrono::year_month_day today = LocalToday();
  if (csv) {
    context.PrintLine(
        "date,lYear,lMonth,leap,lDay,MaxMonthDays,cYear_true,cMonth_true,cDay,cYear_false,cMonth_false,"
        "AnimalYear_true,SolarTerm,FeastOfLunar");
  }
  std::string row;
  for (DayNumber day = from; day <= to; ++day) {
    // Each row is what a fresh lunar date holds after the conversion.
    TLunarDate lunar(today);
    SolarToLunar(day, lunar);
    lunar.Recalculate();
    const std::string yearByLunarYear = lunar.cYear();
    const std::string monthByLunarMonth = lunar.cMonth();
    lunar.SetBookOfChanges(true);
    row.clear();
    if (csv) {
      for (const std::string& field :
           {FormatIsoDate(day), std::to_string(lunar.lYear()), std::to_string(lunar.lMonth()),
            std::string(lunar.FlagLeapMonth() ? "1" : "0"), std::to_string(lunar.lDay()),
            std::to_string(lunar.MaxMonthDays()), lunar.cYear(), lunar.cMonth(), lunar.cDay(), yearByLunarYear,
            monthByLunarMonth, lunar.AnimalYear(), lunar.SolarTerm(), lunar.FeastOfLunar()}) {
        AppendCsvField(row, field);
      }
    } else {
      row = FormatIsoDate(day) + "  " + LunarDateText(lunar) + "  " + lunar.cYear() + "年 " + lunar.cMonth() + "月 " +
            lunar.cDay() + "日  " + lunar.AnimalYear();
      for (const std::string* extra : {&lunar.SolarTerm(), &lunar.FeastOfLunar()}) {
        if (!extra->empty()) row += "  " + *extra;
      }
    }
    context.PrintLine(row);
  }
  return 0;
}

int Day(CliContext& context, const std::vector<std::string>& args) {
  ExpectArgs(args, 1, "day DATE");
  const DayNumber day = ParseDateArgument(args[0]);
  TTransDate transDate(LocalToday());
  LoadMainWindowTransDate(transDate);
  transDate.SetDate(day);
  const TLunarDate& lunar = transDate.LunarDate();
  const int weekSundayFirst = transDate.Week();
  transDate.SetISO8601(true);
  const int weekMondayFirst = transDate.Week();
  transDate.SetISO8601(false);

  const std::vector<std::pair<const char*, std::string>> lines = {
      {"date", FormatIsoDate(WholeDay(transDate.Date()))},
      {"lunar", LunarDateText(lunar)},
      {"FlagLeapMonth", lunar.FlagLeapMonth() ? "1" : "0"},
      {"lunar MaxMonthDays", std::to_string(lunar.MaxMonthDays())},
      {"cYear", lunar.cYear()},
      {"cMonth", lunar.cMonth()},
      {"cDay", lunar.cDay()},
      {"AnimalYear", lunar.AnimalYear()},
      {"Week (Sunday = 1)", std::to_string(weekSundayFirst)},
      {"Week (ISO 8601, Monday = 1)", std::to_string(weekMondayFirst)},
      {"Constellation", std::string(transDate.Constellation())},
      {"MaxMonthDays", std::to_string(transDate.MaxMonthDays())},
      {"Feast", transDate.Feast()},
      {"FeastOfLunar", lunar.FeastOfLunar()},
      {"SolarTerm", lunar.SolarTerm()},
  };
  for (const auto& [label, value] : lines) context.PrintLine(std::string(label) + ": " + value);
  return 0;
}

// The places table beside the program; refused when it cannot be read.
places::PlaceTable ReadPlaces(const CliContext& context) {
  std::optional<places::PlaceTable> table =
      places::PlaceTable::Read(context.DataDir() + "/" + places::kPlacesFileName);
  if (!table || table->Empty()) throw CliError(Say("读不到地名表 %1", {places::kPlacesFileName}));
  return std::move(*table);
}

// A number as the command prints it: up to two decimals, no trailing zeros.
std::string FormatNumber(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.2f", value);
  std::string text = buffer;
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return text;
}

std::string ClockText(int hour, int minute) {
  std::string text = std::to_string(hour) + ":";
  if (minute < 10) text += '0';
  return text + std::to_string(minute);
}

std::string TermClockText(int hour, int minute) { return (hour < 10 ? "0" : "") + ClockText(hour, minute); }

// The birth time options as typed: the place (or a longitude), the minute and
// the side of the term.
struct PillarsOptions {
  BirthTimeOptions time;
  std::string placeName;  // UTF-8, "省/市" as found
  bool json = false;
};

// `gbkMessage` says what was wrong, %1 the value, %2 and %3 the bounds.
void TakeNumberOption(const std::string& value, double low, double high, const char* gbkMessage, double& out) {
  double number = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
  if (error != std::errc() || end != value.data() + value.size() || number < low || number > high) {
    throw CliError(Say(gbkMessage, {QuoteArgument(value), FormatNumber(low), FormatNumber(high)}));
  }
  out = number;
}

// The notes of a chart as lines after the analysis: the solar time used and
// the term's day.
std::vector<std::string> NoteLines(const BirthChartNotes& notes, const std::string& placeGbk) {
  std::vector<std::string> lines;
  if (notes.solarTime) {
    const SolarTimeNote& s = *notes.solarTime;
    std::string line = "按真太阳时 " + ClockText(s.hour, s.minute) + "(";
    if (!placeGbk.empty()) line += placeGbk + ", ";
    line += "东经 " + FormatNumber(s.longitude) + "°, 北京时间 " + ClockText(s.clockMinute / 60, s.clockMinute % 60) + ")";
    if (s.dayShift < 0) line += ", 出生日按前一日";
    if (s.dayShift > 0) line += ", 出生日按后一日";
    lines.push_back(line);
  }
  if (notes.termDay) {
    const TermDayNote& t = *notes.termDay;
    const auto side = [&](const std::string& year, const std::string& month) {
      return (year.empty() ? std::string() : year + "年 ") + month + "月";
    };
    std::string line = "交节: " + t.termName + " 北京时间 " + TermClockText(t.termHour, t.termMinute) + "; 节前 " +
                       side(t.yearBefore, t.monthBefore) + ", 节后 " + side(t.yearAfter, t.monthAfter) + "; 八字取" +
                       (t.used == TermSide::kBefore ? "节前" : "节后");
    if (t.unsure) line += notes.hourUnknown ? "(时辰不详, 交节前后未定)" : "(交节时刻在出生的时辰之内, 前后未定)";
    lines.push_back(line);
  }
  return lines;
}

Json NotesJson(const BirthChartNotes& notes, const std::string& placeUtf8) {
  Json json{{"hourUnknown", notes.hourUnknown}, {"unsure", notes.Unsure()}};
  if (notes.termDay) {
    const TermDayNote& t = *notes.termDay;
    json["termDay"] = {{"term", GbkToUtf8(t.termName)},
                       {"moment", TermClockText(t.termHour, t.termMinute)},
                       {"monthBefore", GbkToUtf8(t.monthBefore)},
                       {"monthAfter", GbkToUtf8(t.monthAfter)},
                       {"yearBefore", GbkToUtf8(t.yearBefore)},
                       {"yearAfter", GbkToUtf8(t.yearAfter)},
                       {"used", t.used == TermSide::kBefore ? "before" : "after"},
                       {"unsure", t.unsure}};
  } else {
    json["termDay"] = nullptr;
  }
  if (notes.solarTime) {
    const SolarTimeNote& s = *notes.solarTime;
    json["solarTime"] = {{"time", ClockText(s.hour, s.minute)},
                         {"dayShift", s.dayShift},
                         {"longitude", s.longitude},
                         {"place", placeUtf8},
                         {"equationOfTimeMinutes", std::round(s.equationOfTime * 10) / 10}};
  } else {
    json["solarTime"] = nullptr;
  }
  return json;
}

int Pillars(CliContext& context, const std::vector<std::string>& args) {
  static const char* const kUsage =
      "pillars DATE HOUR [--place 省/市 | --longitude DEG] [--minute M] [--term-side before|after] [--json]";
  PillarsOptions options;
  std::string place;
  std::vector<std::string> positional;
  ReadArguments(args, kUsage,
                {{"--place", Option::kValueOnce, [&](const std::string& v) { place = v; }},
                 {"--longitude", Option::kValueOnce,
                  [&](const std::string& v) {
                    double longitude = 0;
                    TakeNumberOption(v, -180, 180, "经度“%1”应为 %2 至 %3 之间的数", longitude);
                    options.time.longitude = longitude;
                  }},
                 {"--minute", Option::kValueOnce,
                  [&](const std::string& v) {
                    double minute = 0;
                    TakeNumberOption(v, 0, 59, "分钟“%1”应为 %2 至 %3 之间的数", minute);
                    if (minute != static_cast<int>(minute)) throw CliError(Say("分钟“%1”应为整数", {QuoteArgument(v)}));
                    options.time.minute = static_cast<int>(minute);
                  }},
                 {"--term-side", Option::kValueOnce,
                  [&](const std::string& v) {
                    if (v != "before" && v != "after") {
                      throw CliError(Say("--term-side 应为 before 或 after, 而不是“%1”", {QuoteArgument(v)}));
                    }
                    options.time.termSide = v == "before" ? TermSide::kBefore : TermSide::kAfter;
                  }},
                 {"--json", Option::kFlag, SetTrue(options.json)}},
                EveryArgument(positional, false));
  if (positional.size() != 2) throw CliError(UsageMessage(kUsage));
  if (!place.empty()) {
    if (options.time.longitude) throw CliError(Say("--place 与 --longitude 只能给一个"));
    const places::PlaceTable table = ReadPlaces(context);
    const places::Place* found = table.FindPath(place);
    if (!found) throw CliError(Say("地名表中没有“%1”(写作 省/市, 如 新疆/乌鲁木齐)", {QuoteArgument(place)}));
    options.time.longitude = found->longitude;
    options.placeName = found->province + "/" + found->city;
  }

  const DayNumber day = ParseDateArgument(positional[0], kLastBirthYear);
  const HourField hourField = CliContext::HourArgument(positional[1]);
  const std::optional<BirthHour> hour = ReadBirthHour(hourField);
  if (!hour) {
    // Refused after the analysis's first line.
    context.PrintLine(BirthAnalysisFirstLine());
    throw CliError(Say("时辰“%1”不是 0 至 23 之间的整数", {QuoteArgument(positional[1])}));
  }
  // Generate takes any whole hour and leaves the hour pillar out beyond 0..23; this command promises 0-23
  // (of an hour typed without leading blanks).
  if (hour->Known() && !hour->HasPillar() && ParseDecimalInteger(hourField.text)) {
    throw GbkError("时辰 " + std::to_string(hour->Number()) + " 不在 0 至 23 之间");
  }
  const CivilDate date = DecodeDate(day);
  TTransDate transDate(LocalToday());
  LoadMainWindowTransDate(transDate);
  const BirthAnalysisResult result = BirthAnalysis(BirthAnalysisVariant::kGenerate, transDate, date.year, date.month,
                                                   date.day, *hour, {}, {}, options.time);
  if (options.json) {
    const BirthPillars& p = result.pillars;
    PrintJson(context, {{"lines", Utf8Lines(result.paneLines)},
                        {"analysisPaneLines", Utf8Lines(result.analysisPaneLines)},
                        {"pillars", {{"year", GbkToUtf8(p.year)}, {"month", GbkToUtf8(p.month)}, {"day", GbkToUtf8(p.day)}, {"hour", GbkToUtf8(p.hour)}}},
                        {"birthElements", GbkToUtf8(result.birthElements)},
                        {"missingElements", GbkToUtf8(result.missingElements)},
                        {"notes", NotesJson(result.notes, options.placeName)}});
    return 0;
  }
  for (const std::string& line : result.paneLines) context.PrintLine(line);
  for (const std::string& line : result.analysisPaneLines) context.PrintLine(line);
  context.PrintLine("BirthElements: " + result.birthElements);
  context.PrintLine("MissingElements: " + result.missingElements);
  for (const std::string& line : NoteLines(result.notes, Utf8ToGbkLossy(options.placeName))) context.PrintLine(line);
  return 0;
}

// The provinces, or the cities of one with their longitudes.
int Places(CliContext& context, const std::vector<std::string>& args) {
  if (args.size() > 1) throw CliError(UsageMessage("places [PROVINCE]"));
  const places::PlaceTable table = ReadPlaces(context);
  if (args.empty()) {
    for (const std::string& province : table.Provinces()) context.out << province << '\n';
    return 0;
  }
  if (table.CitiesOf(args[0]).empty()) throw CliError(Say("地名表中没有省份“%1”", {QuoteArgument(args[0])}));
  for (const places::Place& p : table.All()) {
    if (p.province == args[0]) context.out << p.city << '\t' << FormatNumber(p.longitude) << '\t' << FormatNumber(p.latitude) << '\n';
  }
  return 0;
}

const Registrar kLunar({"lunar", "FROM [TO] [--csv]", "从 FROM 到 TO(YYYY-MM-DD)每一天的农历、干支、节气和节日",
                        &Lunar});
const Registrar kDay({"day", "DATE", "一个日期的农历、星期和节日", &Day});
const Registrar kPillars({"pillars", "DATE HOUR [--place 省/市 | --longitude DEG] [--minute M] [--term-side before|after] [--json]",
                          "一个日期和时辰(0-23)的八字和五行分析; 可按出生地的真太阳时", &Pillars});
const Registrar kPlaces({"places", "[PROVINCE]", "出生地表: 省份, 或一省的城市及经度", &Places});

}  // namespace
}  // namespace tavrin::cli
