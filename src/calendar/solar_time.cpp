#include "calendar/solar_time.h"

#include <cmath>
#include <numbers>

namespace tavrin {

double EquationOfTimeMinutes(DayNumber day, int clockMinute) {
  const CivilDate date = DecodeDate(day);
  const DayNumber newYear = *EncodeDate(date.year, 1, 1);
  const bool leap = (date.year % 4 == 0 && date.year % 100 != 0) || date.year % 400 == 0;
  const double utcHour = clockMinute / 60.0 - 8.0;
  const double gamma = 2 * std::numbers::pi / (leap ? 366 : 365) * (day - newYear + (utcHour - 12) / 24);
  return 229.18 * (0.000075 + 0.001868 * std::cos(gamma) - 0.032077 * std::sin(gamma) - 0.014615 * std::cos(2 * gamma) -
                   0.040849 * std::sin(2 * gamma));
}

SolarTime TrueSolarTime(DayNumber day, int clockMinute, double longitudeEast) {
  SolarTime solar;
  solar.equationOfTime = EquationOfTimeMinutes(day, clockMinute);
  const double minutes = clockMinute + 4.0 * (longitudeEast - kBeijingMeridian) + solar.equationOfTime;
  const auto rounded = static_cast<int>(std::lround(minutes));
  const int dayShift = rounded < 0 ? -((-rounded + 1439) / 1440) : rounded / 1440;
  solar.dayShift = dayShift;
  solar.minute = rounded - dayShift * 1440;
  return solar;
}

}  // namespace tavrin
