#include "core/naming_io.h"

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

SettingsInputs::SettingsInputs() : surname("张"), year("2012"), month("1"), day("1"), hour{"1"}, count("500") {}

}  // namespace tavrin
