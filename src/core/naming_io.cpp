#include "core/naming_io.h"

#include <string>

#include "calendar/gregorian.h"

namespace tavrin {

namespace {

class RealSteadyClock final : public MonotonicClock {
 public:
  std::chrono::steady_clock::time_point Now() override { return std::chrono::steady_clock::now(); }
};

}  // namespace

MonotonicClock& SteadyClock() {
  static RealSteadyClock clock;
  return clock;
}

SettingsInputs::SettingsInputs()
    : surname("张"),
      year(std::to_string(kDefaultBirth.year)),
      month(std::to_string(kDefaultBirth.month)),
      day(std::to_string(kDefaultBirth.day)),
      hour{std::to_string(kDefaultBirth.hour)},
      count("500") {}

}  // namespace tavrin
