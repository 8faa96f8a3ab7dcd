#include "cli/birth_time.h"

#include <charconv>
#include <cstdio>

#include "base/output_text.h"
#include "chars/encoding.h"
#include "cli/cli.h"
#include "cli/cli_text.h"
#include "core/child.h"

namespace tavrin::cli {

namespace {

// `gbkMessage` says what was wrong, %1 the value, %2 and %3 the bounds.
double NumberOption(const std::string& value, double low, double high, const char* gbkMessage) {
  double number = 0;
  const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
  if (error != std::errc() || end != value.data() + value.size() || number < low || number > high) {
    throw CliError(Say(gbkMessage, {QuoteArgument(value), FormatNumber(low), FormatNumber(high)}));
  }
  return number;
}

}  // namespace

std::string FormatNumber(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.2f", value);
  std::string text = buffer;
  while (text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return text;
}

places::PlaceTable ReadPlaces(const CliContext& context) {
  std::optional<places::PlaceTable> table = places::PlaceTable::Read(context.DataDir() + "/" + places::kPlacesFileName);
  if (!table || table->Empty()) throw CliError(Say("读不到地名表 %1", {places::kPlacesFileName}));
  return std::move(*table);
}

Option PlaceOption(BirthTimeArguments& out) {
  return {"--place", Option::kValueOnce, [&out](const std::string& v) { out.place = v; }};
}

Option LongitudeOption(BirthTimeArguments& out) {
  return {"--longitude", Option::kValueOnce, [&out](const std::string& v) {
            out.time.longitude = NumberOption(v, -180, 180, "经度“%1”应为 %2 至 %3 之间的数");
            out.placeName = out.cityName = GbkToUtf8("东经" + FormatNumber(*out.time.longitude) + "°");
          }};
}

Option MinuteOption(BirthTimeArguments& out) {
  return {"--minute", Option::kValueOnce, [&out](const std::string& v) {
            const double minute = NumberOption(v, 0, 59, "分钟“%1”应为 %2 至 %3 之间的数");
            if (minute != static_cast<int>(minute)) throw CliError(Say("分钟“%1”应为整数", {QuoteArgument(v)}));
            out.time.minute = static_cast<int>(minute);
          }};
}

Option TermSideOption(BirthTimeArguments& out) {
  return {"--term-side", Option::kValueOnce, [&out](const std::string& v) {
            if (v != "before" && v != "after") {
              throw CliError(Say("--term-side 应为 before 或 after, 而不是“%1”", {QuoteArgument(v)}));
            }
            out.time.termSide = v == "before" ? TermSide::kBefore : TermSide::kAfter;
          }};
}

void ResolvePlace(const CliContext& context, BirthTimeArguments& arguments) {
  if (arguments.place.empty()) return;
  if (arguments.time.longitude) throw CliError(Say("--place 与 --longitude 只能给一个"));
  const places::PlaceTable table = ReadPlaces(context);
  const places::Place* found = table.FindPath(arguments.place);
  if (!found) {
    throw CliError(Say("地名表中没有“%1”(写作 省/市, 如 新疆/乌鲁木齐)", {QuoteArgument(arguments.place)}));
  }
  arguments.time.longitude = found->longitude;
  arguments.placeName = found->province + "/" + found->city;
  arguments.cityName = found->city;
}

std::vector<std::string> BirthNoteLines(const BirthChartNotes& notes, const BirthTimeArguments& arguments) {
  return ChartNoteLines(notes, Utf8ToGbkLossy(arguments.cityName));
}

}  // namespace tavrin::cli
