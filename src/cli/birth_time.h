// The options that say where and when in the day a baby was born, for every
// command that reads a chart: --place 省/市 (or --longitude DEG), --minute M
// and --term-side before|after.
#pragma once

#include <string>

#include "base/options.h"
#include "calendar/birth_pillars.h"
#include "places/places.h"

namespace tavrin::cli {

class CliContext;

struct BirthTimeArguments {
  BirthTimeOptions time;
  std::string place;      // as typed (UTF-8), "省/市"; empty: none
  std::string placeName;  // UTF-8: "新疆/乌鲁木齐" as found, or the longitude given
  std::string cityName;   // UTF-8: the city alone, or the longitude, for the chart's notes
};

// The places table beside the program; refused when it cannot be read.
places::PlaceTable ReadPlaces(const CliContext& context);
// A number as the commands print it: up to two decimals, no trailing zeros.
std::string FormatNumber(double value);

Option PlaceOption(BirthTimeArguments& out);
Option LongitudeOption(BirthTimeArguments& out);
Option MinuteOption(BirthTimeArguments& out);
Option TermSideOption(BirthTimeArguments& out);

// Looks the typed place up in the places table beside the program (refused
// when the table cannot be read, the place is not in it or a longitude is
// given too) and sets the longitude and the names.
void ResolvePlace(const CliContext& context, BirthTimeArguments& arguments);

// The chart's notes (core ChartNoteLines) for the place given, GBK lines.
std::vector<std::string> BirthNoteLines(const BirthChartNotes& notes, const BirthTimeArguments& arguments);

}  // namespace tavrin::cli
