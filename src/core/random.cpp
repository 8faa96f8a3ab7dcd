#include "core/random.h"

#include <chrono>

namespace tavrin {

namespace {

std::uint32_t UniformBelow(std::mt19937& engine, std::uint32_t bound) {
  if (bound == 0) return 0;
  return std::uniform_int_distribution<std::uint32_t>(0, bound - 1)(engine);
}

}  // namespace

ClockRandom::ClockRandom() { Reseed(); }

void ClockRandom::Reseed() {
  const auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
  // Two reseeds within one clock tick must still give different sequences.
  static std::uint32_t counter = 0;
  std::seed_seq seed{static_cast<std::uint32_t>(ticks), static_cast<std::uint32_t>(ticks >> 32), ++counter};
  engine_.seed(seed);
}

std::uint32_t ClockRandom::Below(std::uint32_t bound) { return UniformBelow(engine_, bound); }

std::uint32_t SeededRandom::Below(std::uint32_t bound) { return UniformBelow(engine_, bound); }

}  // namespace tavrin
