// micro.cpp: micro-benchmarks of the game on the display-free host.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "forms/forms.h"
#include "platform/null_host.h"
#include "platform/random.h"
#include "platform/runtime.h"

namespace {

using platform::Twips;

// The whole program on the null host, started as main starts it. The generator has a fixed
// seed and a fixed timer reading, so every run draws the same deals.
struct Game {
  platform::NullHost host;
  platform::MersenneRandom random{20240501u, [] { return 0.0; }};
  platform::Runtime runtime{forms::project(), host, random};
  forms::Program program{runtime};

  Game() { runtime.start(); }

  const puzzle::Vorek& vorek() const { return program.vorek; }

  // A click as the views send it: through the dispatcher, with the window's current generation.
  void click(std::string_view control) {
    platform::Form& form = runtime.form(forms::kVorek);
    runtime.click(forms::kVorek, form.generation(), form.design().indexOf(control));
  }

  // The null host logs every load and show; emptied so that a long run measures the game and
  // not the log's growth.
  void forget() {
    host.log.clear();
    host.keepWrites = false;
  }

  bool healthy() const { return !runtime.ended() && host.errorBoxes.empty(); }
};

// Unload, then the first property read loads the design again, hidden, as a handler's access does.
void BM_LoadDesignHidden(benchmark::State& state) {
  Game game;
  const platform::FormRef self{game.runtime, forms::kVorek};
  for (auto _ : state) {
    self.Unload();
    benchmark::DoNotOptimize(game.vorek().p1.Left());
    game.forget();
  }
  if (!game.runtime.form(forms::kVorek).loaded()) state.SkipWithError("the design was not loaded");
}
BENCHMARK(BM_LoadDesignHidden);

// Unload and Show: the reload that Brasser and Finir do.
void BM_LoadDesignShow(benchmark::State& state) {
  Game game;
  const platform::FormRef self{game.runtime, forms::kVorek};
  for (auto _ : state) {
    self.Unload();
    self.Show();
    game.forget();
  }
  if (!game.runtime.form(forms::kVorek).visible()) state.SkipWithError("the window is not shown");
}
BENCHMARK(BM_LoadDesignShow);

// One slide: p19 goes back and forth between its home and the hole, which p20's parking has
// moved to the last cell.
void BM_Slide(benchmark::State& state) {
  Game game;
  const auto& v = game.vorek();
  game.click("p20");
  const Twips home = v.p19.Left();
  game.click("p19");
  if (v.p19.Left() == home) {
    state.SkipWithError("p19 did not slide");
    return;
  }
  for (auto _ : state) {
    game.click("p19");
    benchmark::DoNotOptimize(v.p19.Left());
  }
  game.forget();
  if (!game.healthy()) state.SkipWithError("the program failed");
}
BENCHMARK(BM_Slide);

// A click on p20: the parking move, then the completion check's forty reads.
void BM_CompletionCheck(benchmark::State& state) {
  Game game;
  const auto& v = game.vorek();
  const Twips home = v.p20.Left();
  game.click("p20");
  if (v.p20.Left() == home) {
    state.SkipWithError("p20 did not park");
    return;
  }
  for (auto _ : state) {
    game.click("p20");
    benchmark::DoNotOptimize(v.p20.Left());
  }
  game.forget();
  if (!game.healthy() || !game.host.messageBoxes.empty()) state.SkipWithError("unexpected box");
}
BENCHMARK(BM_CompletionCheck);

// Brasser: the reload from the design, a hundred exchanges or more, each with its reseed.
void BM_Shuffle(benchmark::State& state) {
  Game game;
  for (auto _ : state) {
    game.click("Command1");
    game.forget();
  }
  if (!game.healthy() || game.vorek().Quitter.Caption() != puzzle::kPlaying) {
    state.SkipWithError("the shuffle did not start a game");
  }
}
BENCHMARK(BM_Shuffle);

std::size_t heapInUse() {
  const struct mallinfo2 info = mallinfo2();
  return info.uordblks + info.hblkhd;
}

// The heap's growth over many shuffles, once the first thousand have settled every cache; it
// must stay at zero. Reported as counters, not asserted: this is a measurement.
void BM_ShuffleHeapGrowth(benchmark::State& state) {
  const auto shuffles = state.range(0);
  for (auto _ : state) {
    Game game;
    for (int i = 0; i < 1000; ++i) {
      game.click("Command1");
      game.forget();
    }
    const std::size_t before = heapInUse();
    for (std::int64_t i = 0; i < shuffles; ++i) {
      game.click("Command1");
      game.forget();
    }
    const std::size_t after = heapInUse();
    state.counters["heap_before"] = static_cast<double>(before);
    state.counters["heap_growth"] = static_cast<double>(after) - static_cast<double>(before);
    // A sanitizer's allocator keeps its own books, and glibc's then reads nothing.
    if (before == 0) state.SetLabel("this allocator does not report its heap");
    if (!game.healthy()) state.SkipWithError("the program failed");
  }
}
BENCHMARK(BM_ShuffleHeapGrowth)->Arg(10000)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
