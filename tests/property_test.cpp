// property_test.cpp: random events over every control of every window, with the board's
// invariants checked after each one. VOREK_EVENTS and VOREK_SEED make a long run reproducible.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <random>
#include <set>
#include <string>

#include "game.h"
#include "puzzle/board.h"

namespace vorek_test {
namespace {

using puzzle::Cell;

std::uint64_t setting(const char* name, std::uint64_t fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? std::strtoull(value, nullptr, 10) : fallback;
}

// Every event a player can send, window by window.
struct Event {
  forms::FormSlot form;
  std::string control;  // empty: a close through the title bar
};

std::vector<Event> allEvents() {
  std::vector<Event> events;
  for (int k = 0; k <= 20; ++k) events.push_back({forms::kVorek, "p" + std::to_string(k)});
  for (const char* c : {"Voir", "Command1", "Quitter"}) events.push_back({forms::kVorek, c});
  events.push_back({forms::kPortrait, "Command1"});
  events.push_back({forms::kPortrait, "Picture1"});
  events.push_back({forms::kSujet, "ok"});
  events.push_back({forms::kSujet, "prog"});
  for (auto form : {forms::kVorek, forms::kPortrait, forms::kSujet}) events.push_back({form, ""});
  return events;
}

// The rules' invariants; an empty string when they hold.
std::string broken(Game& game) {
  if (!game.loaded(forms::kVorek)) return {};
  const puzzle::Vorek& v = game.vorek();
  const platform::PictureBox* pieces[] = {&v.p0,  &v.p1,  &v.p2,  &v.p3,  &v.p4,  &v.p5,  &v.p6,
                                          &v.p7,  &v.p8,  &v.p9,  &v.p10, &v.p11, &v.p12, &v.p13,
                                          &v.p14, &v.p15, &v.p16, &v.p17, &v.p18, &v.p19, &v.p20};
  std::set<std::pair<float, float>> taken;
  for (int k = 0; k <= 20; ++k) {
    const Cell at{pieces[k]->Left(), pieces[k]->Top()};
    const bool onCell = puzzle::inGrid(at) || at == puzzle::kParkingCell;
    if (!onCell) return "p" + std::to_string(k) + " is on no cell";
    if (!taken.insert({at.left, at.top}).second) return "two pieces on one cell";
    if (k >= 1 && k <= 19 && !puzzle::inGrid(at)) return "p" + std::to_string(k) + " left the grid";
  }
  const Cell p20{v.p20.Left(), v.p20.Top()};
  const Cell p0{v.p0.Left(), v.p0.Top()};
  if (p20 == puzzle::kLastCell && !(p0 == puzzle::kParkingCell)) return "p20 home, p0 not parked";
  if (p20 == puzzle::kParkingCell && !puzzle::inGrid(p0)) return "p20 parked, p0 off the grid";
  if (!(p20 == puzzle::kLastCell) && !(p20 == puzzle::kParkingCell)) return "p20 astray";
  const std::string& caption = v.Quitter.Caption();
  if (caption != "Quitter" && caption != "Finir") return "Quitter reads " + caption;
  return {};
}

// Most games use the real generator; every fourth deals with equal draws, a solved board, so
// that wins and their message box come up as well.
std::unique_ptr<Game> newGame(std::mt19937_64& chooser) {
  if (chooser() % 4 == 0)
    return std::make_unique<Game>(drawing({static_cast<int>(chooser() % 19) + 1}));
  return std::make_unique<Game>(
      std::make_unique<platform::MersenneRandom>(chooser(), [] { return 0.0; }));
}

TEST(Property, RandomEventsNeverBreakTheRules) {
  const std::uint64_t seed = setting("VOREK_SEED", 20261207);
  const std::uint64_t count = setting("VOREK_EVENTS", 100'000);
  SCOPED_TRACE("VOREK_SEED=" + std::to_string(seed) + " VOREK_EVENTS=" + std::to_string(count));
  std::mt19937_64 chooser(seed);
  const std::vector<Event> events = allEvents();
  auto game = newGame(chooser);
  int wins = 0, boxClicks = 0, games = 1;

  auto send = [&](const Event& e) {
    if (!game->runtime.created(e.form)) game->runtime.form(e.form);
    if (e.control.empty())
      game->close(e.form);
    else
      game->click(e.form, e.control);
  };
  game->host.whileBoxOpen = nullptr;
  for (std::uint64_t i = 0; i < count; ++i) {
    // While "Bravo !" is open, a few events more must change nothing.
    game->host.whileBoxOpen = [&] {
      ++wins;
      const std::string before = layout(game->vorek());
      for (int j = 0; j < 3; ++j, ++boxClicks) send(events[chooser() % events.size()]);
      ASSERT_EQ(layout(game->vorek()), before) << "an event got through the open box";
      ASSERT_EQ(game->vorek().Quitter.Caption(), "Finir");
    };
    // Clicks near the hole make play; the rest spread over every control.
    const Event& e = events[chooser() % events.size()];
    send(e);
    const std::string fault = broken(*game);
    ASSERT_TRUE(fault.empty()) << "after event " << i << " (" << e.form << "." << e.control
                               << "): " << fault << "\n"
                               << layout(game->vorek());
    // The host's windows are the loaded forms, one each: none left behind by an unload.
    ASSERT_EQ(game->host.windows.size(), static_cast<std::size_t>(game->runtime.loadedCount()));
    ASSERT_LE(game->host.windows.count("Vorek"), 1u);
    ASSERT_TRUE(game->host.errorBoxes.empty()) << game->host.errorBoxes[0].prompt;
    if (game->ended()) {
      ASSERT_EQ(game->host.quitStatus, 0);
      game = newGame(chooser);
      ++games;
    }
  }
  RecordProperty("games", games);
  RecordProperty("wins", wins);
  EXPECT_GT(wins, 0) << "no game was won: the run never reached the completion check's box";
  EXPECT_GT(games, 1);
  (void)boxClicks;
}

}  // namespace
}  // namespace vorek_test
