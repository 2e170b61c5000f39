// random.cpp: the real random generator and the system timer.
#include "platform/random.h"

#include <chrono>
#include <cstring>
#include <iterator>
#include <utility>

namespace platform {

double systemTimer() {
  using namespace std::chrono;
  const auto now = system_clock::now();
  const auto midnight = floor<days>(now);
  return duration<double>(now - midnight).count();
}

MersenneRandom::MersenneRandom(std::function<double()> timer) : timer_(std::move(timer)) {
  std::random_device entropy;
  const std::uint32_t words[] = {entropy(), entropy(), entropy(), entropy(),
                                 entropy(), entropy(), entropy(), entropy()};
  std::seed_seq seed(std::begin(words), std::end(words));
  engine_.seed(seed);
}

MersenneRandom::MersenneRandom(std::uint64_t seed, std::function<double()> timer)
    : engine_(seed), timer_(std::move(timer)) {}

namespace {

// splitmix64's finaliser: neighbouring timer readings give unrelated words.
std::uint64_t mix(std::uint64_t x) {
  x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
  x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
  return x ^ (x >> 31);
}

}  // namespace

void MersenneRandom::Randomize() {
  // The new seed mixes the timer with a word drawn from the current state: a reseed at the same
  // reading therefore goes on from a new state instead of restarting the sequence. Seeding from
  // one word keeps a reseed cheap, which matters at a hundred reseeds a shuffle.
  // The reading's bits by memcpy: Emscripten's libc++ has no std::bit_cast.
  const double reading = timer_();
  std::uint64_t bits = 0;
  std::memcpy(&bits, &reading, sizeof bits);
  engine_.seed(engine_() ^ mix(bits));
}

float MersenneRandom::Rnd() {
  // 24 random bits: every value k / 2^24 is exact in a float and below 1.
  return static_cast<float>(engine_() >> 40) * 0x1p-24f;
}

}  // namespace platform
