// True (apparent) solar time at a birthplace from Beijing clock time (UTC+8):
// the clock time, plus four minutes for every degree of longitude east of the
// zone's meridian 120°E, plus the equation of time of the day.
#pragma once

#include "calendar/gregorian.h"

namespace tavrin {

inline constexpr double kBeijingMeridian = 120.0;

// The equation of time (apparent minus mean solar time) in minutes, at
// `clockMinute` (0..1439, Beijing time) of `day`: the Fourier series of
// Spencer (1971) as the NOAA solar calculator gives it,
//   γ = 2π/N · (day of year − 1 + (UTC hour − 12)/24), N = 365 or 366,
//   E = 229.18 · (0.000075 + 0.001868 cos γ − 0.032077 sin γ
//                 − 0.014615 cos 2γ − 0.040849 sin 2γ),
// within about half a minute of the astronomical value; between −14.3
// (mid-February) and +16.4 (early November).
double EquationOfTimeMinutes(DayNumber day, int clockMinute);

struct SolarTime {
  int dayShift = 0;           // −1, 0 or +1: the solar date against the clock date
  int minute = 0;             // minute of the solar day, 0..1439, rounded to the nearest minute
  double equationOfTime = 0;  // minutes
};

// The true solar time at longitude `longitudeEast` (degrees, east positive)
// of the clock time `clockMinute` (0..1439, Beijing time) of `day`.
SolarTime TrueSolarTime(DayNumber day, int clockMinute, double longitudeEast);

}  // namespace tavrin
