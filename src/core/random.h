// The pseudo-random source of the naming runs. It is an interface so that
// tests can pin the sequence; the program reseeds it from the clock.
#pragma once

#include <cstdint>
#include <random>

namespace tavrin {

class RandomSource {
 public:
  virtual ~RandomSource() = default;
  // Reseeds from the clock (a fixed-seed source ignores this).
  virtual void Reseed() = 0;
  // A uniform integer in [0, bound); 0 when bound is 0.
  virtual std::uint32_t Below(std::uint32_t bound) = 0;
};

// Seeded from the high-resolution clock at every Reseed.
class ClockRandom final : public RandomSource {
 public:
  ClockRandom();
  void Reseed() override;
  std::uint32_t Below(std::uint32_t bound) override;

 private:
  std::mt19937 engine_;
};

// A fixed sequence from a given seed; Reseed changes nothing.
class SeededRandom final : public RandomSource {
 public:
  explicit SeededRandom(std::uint32_t seed) : engine_(seed) {}
  void Reseed() override {}
  std::uint32_t Below(std::uint32_t bound) override;

 private:
  std::mt19937 engine_;
};

}  // namespace tavrin
