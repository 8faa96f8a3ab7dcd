#include "core/naming_io.h"

#include <charconv>
#include <limits>

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

std::optional<int> ParseDecimalInteger(std::string_view text) {
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    const bool negative = text[0] == '-';
    text.remove_prefix(1);
    if (text.empty() || text[0] < '0' || text[0] > '9') return std::nullopt;
    long long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (negative) value = -value;
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max()) return std::nullopt;
    return static_cast<int>(value);
  }
  if (text.empty() || text[0] < '0' || text[0] > '9') return std::nullopt;
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

SettingsInputs::SettingsInputs() : surname("张"), year("2012"), month("1"), day("1"), hour("1"), count("500") {}

}  // namespace tavrin
