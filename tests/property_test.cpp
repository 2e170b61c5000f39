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

// Every event a player can send, window by window, in Game::play's words.
std::vector<std::string> allEvents() {
  std::vector<std::string> events;
  for (int k = 0; k <= 20; ++k) events.push_back("p" + std::to_string(k));
  for (const char* e : {"Voir", "Command1", "Quitter", "V_portrait.Command1", "V_portrait.Picture1",
                        "Sujet.ok", "Sujet.prog", "Vorek.close", "V_portrait.close", "Sujet.close"})
    events.emplace_back(e);
  return events;
}

// The rules' invariants; an empty string when they hold.
std::string broken(Game& game) {
  if (!game.loaded(forms::kVorek)) return {};
  const puzzle::Vorek& v = game.vorek();
  std::set<std::pair<float, float>> taken;
  for (int k = 0; k <= 20; ++k) {
    const Cell at{pieces(v)[std::size_t(k)]->Left(), pieces(v)[std::size_t(k)]->Top()};
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
  const std::vector<std::string> events = allEvents();
  auto game = newGame(chooser);
  int wins = 0, games = 1;

  for (std::uint64_t i = 0; i < count; ++i) {
    // While "Bravo !" is open, a few events more must change nothing.
    game->host.whileBoxOpen = [&] {
      ++wins;
      const std::string before = layout(game->vorek());
      for (int j = 0; j < 3; ++j) game->play(events[chooser() % events.size()]);
      ASSERT_EQ(layout(game->vorek()), before) << "an event got through the open box";
      ASSERT_EQ(game->vorek().Quitter.Caption(), "Finir");
    };
    // Clicks near the hole make play; the rest spread over every control.
    const std::string& e = events[chooser() % events.size()];
    game->play(e);
    const std::string fault = broken(*game);
    ASSERT_TRUE(fault.empty()) << "after event " << i << " (" << e << "): " << fault << "\n"
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
}

}  // namespace
}  // namespace vorek_test
