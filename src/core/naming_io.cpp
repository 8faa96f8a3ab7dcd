#include "core/naming_io.h"

#include <string>

#include "calendar/gregorian.h"
#include "chars/gbk.h"

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

FamilyWishes RunWishes(const NamingInputs& inputs) {
  FamilyWishes wishes = inputs.Wishes();
  // A field of one character is kept at its place (the three-character
  // names put any text there); the family's own character comes first.
  const auto keep = [&wishes](bool checked, const std::string& text, int place) {
    if (!checked || !IsDoubleByteChar(text)) return;
    for (const FamilyWishes::Kept& kept : wishes.kept) {
      if (kept.place == place) return;
    }
    wishes.kept.push_back({text, place});
  };
  keep(inputs.FixSecondChecked(), inputs.FixSecondText(), 1);
  keep(inputs.FixThirdChecked(), inputs.FixThirdText(), 2);
  return wishes;
}

SettingsInputs::SettingsInputs()
    : surname("张"),
      year(std::to_string(kDefaultBirth.year)),
      month(std::to_string(kDefaultBirth.month)),
      day(std::to_string(kDefaultBirth.day)),
      hour{std::to_string(kDefaultBirth.hour)},
      count("500") {}

}  // namespace tavrin
