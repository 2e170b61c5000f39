// random.h: the runtime's random generator, Randomize and the next number in [0, 1).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <random>

namespace platform {

class Random {
 public:
  virtual ~Random() = default;
  // Reseeds from the system timer. A reseed at an unchanged reading never restarts the sequence.
  virtual void Randomize() = 0;
  // The next number, in [0, 1).
  virtual float Rnd() = 0;
};

// Seconds since midnight, as the runtime's timer reads them.
double systemTimer();

// The real generator: a Mersenne twister seeded from the system's entropy at start. Randomize
// folds the timer reading into the current state instead of replacing it, so two reseeds at the
// same reading go on from different states.
class MersenneRandom final : public Random {
 public:
  explicit MersenneRandom(std::function<double()> timer = systemTimer);
  // A fixed start, for tests and benchmarks that must repeat.
  MersenneRandom(std::uint64_t seed, std::function<double()> timer);

  void Randomize() override;
  float Rnd() override;

 private:
  std::mt19937_64 engine_;
  std::function<double()> timer_;
};

}  // namespace platform
