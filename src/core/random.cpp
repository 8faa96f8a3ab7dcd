#include "core/random.h"

#include <chrono>

namespace tavrin {

std::uint64_t ClockSeed() {
  const auto now = std::chrono::high_resolution_clock::now().time_since_epoch().count();
  // One SplitMix64 step spreads the clock's low-entropy high bits.
  RandomSource mixer(static_cast<std::uint64_t>(now));
  return mixer.Next();
}

}  // namespace tavrin
