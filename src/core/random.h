// The pseudo-random source of the naming runs: SplitMix64, seeded once.
//
// The program seeds it from the clock when it starts; the command line and
// the tests seed it with a number of their own, and the same seed gives the
// same draws, and so the same names, on every machine.
#pragma once

#include <cstdint>

namespace tavrin {

class RandomSource {
 public:
  explicit RandomSource(std::uint64_t seed) : seed_(seed), state_(seed) {}

  // The seed this source started from.
  std::uint64_t Seed() const { return seed_; }

  // The next value of the stream.
  std::uint64_t Next() {
    state_ += 0x9E3779B97F4A7C15ULL;
    std::uint64_t z = state_;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }

  // A uniform integer in [0, bound), taken from one value of the stream even
  // when bound is 0 (the result is then 0, which indexes nothing).
  std::uint64_t Below(std::uint64_t bound) {
    return static_cast<std::uint64_t>((static_cast<unsigned __int128>(Next()) * bound) >> 64);
  }

 private:
  std::uint64_t seed_;
  std::uint64_t state_;
};

// A seed from the high-resolution clock, for a program run that is not pinned.
std::uint64_t ClockSeed();

}  // namespace tavrin
