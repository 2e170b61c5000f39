// Deterministic pseudo-randomness: a seeded generator and hash-based value noise for textures.
#pragma once

#include <cstdint>

// splitmix64: tiny, portable, and the same sequence on every platform.
class Rng {
 public:
  explicit Rng(std::uint64_t seed) : state_(seed) {}
  double next();  // uniform in [0, 1)
  double range(double lo, double hi) { return lo + (hi - lo) * next(); }
  int below(int n) { return int(next() * n); }

 private:
  std::uint64_t state_;
};

double hash01(int x, int y, std::uint32_t seed);            // white noise in [0, 1)
double valueNoise(double x, double y, std::uint32_t seed);  // smooth noise in [0, 1)
