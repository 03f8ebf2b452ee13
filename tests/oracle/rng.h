// Deterministic random numbers (splitmix64): the same seed gives the same
// program with every compiler and standard library.
#pragma once

#include <cstdint>

namespace oracle {

class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ULL + 0x2545F4914F6CDD1DULL) {}

  std::uint64_t Next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  /// A number in [0, n); 0 when n is 0.
  unsigned Below(unsigned n) { return n ? static_cast<unsigned>(Next() % n) : 0; }
  /// True with `percent` percent probability.
  bool Chance(unsigned percent) { return Below(100) < percent; }

 private:
  std::uint64_t state_;
};

}  // namespace oracle
