// Commands over the Chinese calendar: lunar dates day by day, the date
// translator's view of one day, and the birth pillars of a date and hour.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "base/output_text.h"
#include "calendar/birth_pillars.h"
#include "calendar/calendar_tables.h"
#include "calendar/gregorian.h"
#include "calendar/lunar_date.h"
#include "calendar/trans_date.h"
#include "chars/encoding.h"
#include "chars/strcon.h"
#include "cli/birth_time.h"
#include "cli/cli.h"
#include "cli/cli_text.h"
#include "cli/json_output.h"
#include "core/birth_inputs.h"
#include "places/places.h"

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

// One CSV row, written into a buffer kept from row to row. Most cells are
// digits or hanzi and need neither guard nor quotes.
class CsvRow {
 public:
  void Clear() { size_ = 0; }
  void Add(std::string_view cell) {
    const char first = cell.empty() ? '\0' : cell.front();
    const bool guarded = first == '=' || first == '+' || first == '-' || first == '@' || first == '\t' || first == '\r';
    if (guarded || !PutPlain(cell)) AddWithCare(cell);
  }
  void Add(int number) {
    char digits[16];
    const auto [end, error] = std::to_chars(std::begin(digits), std::end(digits), number);
    Add(std::string_view(digits, static_cast<std::size_t>(end - digits)));
  }
  std::string_view Text() const { return {buffer_.data(), size_}; }

 private:
  std::string buffer_ = std::string(256, '\0');
  std::size_t size_ = 0;

  void Room(std::size_t cell) {
    if (size_ + cell + 1 > buffer_.size()) buffer_.resize(2 * (size_ + cell + 1));
  }
  void Put(std::string_view cell) {
    Room(cell.size());
    if (size_ != 0) buffer_[size_++] = ',';
    std::memcpy(buffer_.data() + size_, cell.data(), cell.size());
    size_ += cell.size();
  }
  // Copies a cell that needs no quotes; false, and nothing added, for one
  // that does.
  bool PutPlain(std::string_view cell) {
    Room(cell.size());
    char* out = buffer_.data() + size_ + (size_ != 0 ? 1 : 0);
    for (const char c : cell) {
      if (c == ',' || c == '"' || c == '\n') return false;
      *out++ = c;
    }
    if (size_ != 0) buffer_[size_] = ',';
    size_ = static_cast<std::size_t>(out - buffer_.data());
    return true;
  }
  void AddWithCare(std::string_view cell) {
    const std::string field = NeutraliseCsvCell(cell);
    if (field.find_first_of(",\"\n") == std::string::npos) {
      Put(field);
      return;
    }
    std::string quoted = "\"";
    for (const char c : field) {
      if (c == '"') quoted += '"';
      quoted += c;
    }
    Put(quoted + '"');
  }
};

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
  CsvRow csvRow;
  std::string row;
  for (DayNumber day = from; day <= to; ++day) {
    // Each row is what a fresh lunar date holds after the conversion.
    TLunarDate lunar(today);
    SolarToLunar(day, lunar);
    lunar.Recalculate();
    const std::string yearByLunarYear = lunar.cYear();
    const std::string monthByLunarMonth = lunar.cMonth();
    lunar.SetBookOfChanges(true);
    if (csv) {
      csvRow.Clear();
      csvRow.Add(FormatIsoDate(day));
      for (const int number :
           {lunar.lYear(), lunar.lMonth(), lunar.FlagLeapMonth() ? 1 : 0, lunar.lDay(), lunar.MaxMonthDays()}) {
        csvRow.Add(number);
      }
      for (const std::string* field :
           {&lunar.cYear(), &lunar.cMonth(), &lunar.cDay(), &yearByLunarYear, &monthByLunarMonth, &lunar.AnimalYear(),
            &lunar.SolarTerm(), &lunar.FeastOfLunar()}) {
        csvRow.Add(*field);
      }
      context.PrintLine(csvRow.Text());
      continue;
    }
    row = FormatIsoDate(day) + "  " + LunarDateText(lunar) + "  " + lunar.cYear() + "年 " + lunar.cMonth() + "月 " +
          lunar.cDay() + "日  " + lunar.AnimalYear();
    for (const std::string* extra : {&lunar.SolarTerm(), &lunar.FeastOfLunar()}) {
      if (!extra->empty()) row += "  " + *extra;
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

std::string ClockText(int hour, int minute) {
  std::string text = std::to_string(hour) + ":";
  if (minute < 10) text += '0';
  return text + std::to_string(minute);
}

std::string TermClockText(int hour, int minute) { return (hour < 10 ? "0" : "") + ClockText(hour, minute); }

// The birth time options as typed, and the output's form.
struct PillarsOptions {
  BirthTimeArguments birth;
  bool json = false;
};

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

// The chart of `pillars --json`.
Json PillarsJson(const BirthAnalysisResult& result, const std::string& placeName) {
  const BirthPillars& p = result.pillars;
  return {{"lines", Utf8Lines(result.paneLines)},
          {"analysisPaneLines", Utf8Lines(result.analysisPaneLines)},
          {"pillars",
           {{"year", GbkToUtf8(p.year)},
            {"month", GbkToUtf8(p.month)},
            {"day", GbkToUtf8(p.day)},
            {"hour", GbkToUtf8(p.hour)}}},
          {"birthElements", GbkToUtf8(result.birthElements)},
          {"missingElements", GbkToUtf8(result.missingElements)},
          {"notes", NotesJson(result.notes, placeName)}};
}

int Pillars(CliContext& context, const std::vector<std::string>& args) {
  static const char* const kUsage =
      "pillars DATE HOUR [--place 省/市 | --longitude DEG] [--minute M] [--term-side before|after] [--json]";
  PillarsOptions options;
  std::vector<std::string> positional;
  ReadArguments(args, kUsage,
                {PlaceOption(options.birth),
                 LongitudeOption(options.birth),
                 MinuteOption(options.birth),
                 TermSideOption(options.birth),
                 {"--json", Option::kFlag, SetTrue(options.json)}},
                EveryArgument(positional, false));
  if (positional.size() != 2) throw CliError(UsageMessage(kUsage));
  ResolvePlace(context, options.birth);

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
                                                   date.day, *hour, {}, {}, options.birth.time);
  if (options.json) {
    PrintJson(context, PillarsJson(result, options.birth.placeName));
    return 0;
  }
  for (const std::string& line : result.paneLines) context.PrintLine(line);
  for (const std::string& line : result.analysisPaneLines) context.PrintLine(line);
  context.PrintLine("BirthElements: " + result.birthElements);
  context.PrintLine("MissingElements: " + result.missingElements);
  for (const std::string& line : BirthNoteLines(result.notes, options.birth)) context.PrintLine(line);
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
    if (p.province == args[0])
      context.out << p.city << '\t' << FormatNumber(p.longitude) << '\t' << FormatNumber(p.latitude) << '\n';
  }
  return 0;
}

const Registrar kLunar({"lunar", "FROM [TO] [--csv]", "从 FROM 到 TO(YYYY-MM-DD)每一天的农历、干支、节气和节日",
                        &Lunar});
const Registrar kDay({"day", "DATE", "一个日期的农历、星期和节日", &Day});
const Registrar kPillars(
    {"pillars", "DATE HOUR [--place 省/市 | --longitude DEG] [--minute M] [--term-side before|after] [--json]",
     "一个日期和时辰(0-23)的八字和五行分析; 可按出生地的真太阳时", &Pillars});
const Registrar kPlaces({"places", "[PROVINCE]", "出生地表: 省份, 或一省的城市及经度", &Places});

}  // namespace
}  // namespace tavrin::cli
