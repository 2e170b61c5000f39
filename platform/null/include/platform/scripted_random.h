// scripted_random.h: a generator that gives numbers chosen in advance, for the tests.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

#include "platform/random.h"

namespace platform {

// Each Rnd returns the next number given, cycling when they run out; Randomize only counts.
class ScriptedRandom final : public Random {
 public:
  explicit ScriptedRandom(std::vector<float> numbers) : numbers_(std::move(numbers)) {}

  void Randomize() override { ++reseeds_; }
  float Rnd() override {
    if (numbers_.empty()) return 0;
    return numbers_[static_cast<std::size_t>(draws_++) % numbers_.size()];
  }

  int reseeds() const { return reseeds_; }
  int draws() const { return draws_; }

 private:
  std::vector<float> numbers_;
  int reseeds_ = 0;
  int draws_ = 0;
};

}  // namespace platform
