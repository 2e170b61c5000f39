// shuffle_test.cpp: "Brasser": scripted draws for its edge cases, real ones for its results.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <set>
#include <sstream>

#include "game.h"
#include "puzzle/board.h"
#include "solver/solver.h"

namespace vorek_test {
namespace {

// Repeats `piece` `count` times.
std::vector<int> times(int count, int piece) {
  return std::vector<int>(static_cast<std::size_t>(count), piece);
}

std::vector<int> operator+(std::vector<int> a, const std::vector<int>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Grid gridOf(const std::string& board) {
  std::istringstream in(board);
  Grid cells{};
  std::size_t i = 0;
  for (std::string token; in >> token && i < cells.size();) {
    if (token == "/") continue;
    cells[i++] = token == "_" ? 0 : std::stoi(token);
  }
  return cells;
}

// After any shuffle: p20 parked, p1 to p19 and the hole on the twenty grid cells, "Finir".
void expectDealt(const Game& game) {
  const std::string board = layout(game.vorek());
  EXPECT_EQ(board.substr(board.size() - 4), "| 20") << board;
  EXPECT_EQ(board.find('?'), std::string::npos) << board;
  EXPECT_EQ(game.vorek().Quitter.Caption(), "Finir");
}

// Scripted deals: the draws, the board they leave, and how many draws (each after a reseed) it
// took: a hundred, and one more each time the deal is still unsolvable.
struct Deal {
  const char* name;
  std::vector<int> draws;
  std::string board;
  int drawn;
};

void PrintTo(const Deal& tested, std::ostream* out) { *out << tested.name; }

class ScriptedDeal : public ::testing::TestWithParam<Deal> {};

TEST_P(ScriptedDeal, LeavesItsBoardSolvable) {
  auto random = drawing(GetParam().draws);
  auto* script = random.get();
  Game game{std::move(random)};
  game.click("Command1");
  EXPECT_EQ(layout(game.vorek()), GetParam().board);
  EXPECT_EQ(script->draws(), GetParam().drawn);
  EXPECT_EQ(script->reseeds(), GetParam().drawn);
  EXPECT_TRUE(solvableGrid(gridOf(GetParam().board)));
  expectDealt(game);
}

// After p2 and ninety-nine p3 the hole is five steps from the last cell after a hundred
// exchanges: no slides could solve it. p1 stands two steps from the hole, so one more exchange
// makes the deal solvable; p4 is one step from it, still unsolvable, and p6 four steps away.
INSTANTIATE_TEST_SUITE_P(
    Cases, ScriptedDeal,
    ::testing::Values(
        Deal{"HundredEqualDrawsCancelInPairs", {7}, kLastHole, 100},
        Deal{"TwoEqualDrawsInARowUndoEachOther",
             std::vector<int>{3} + times(98, 8) + std::vector{3}, kLastHole, 100},
        // p1 jumps from the top-left corner to the last cell, p5 swings to and fro, p6 jumps up.
        Deal{"ExchangesJumpStraightIntoTheHole",
             std::vector<int>{1} + times(98, 5) + std::vector{6},
             "6 2 3 4 5 / _ 7 8 9 10 / 11 12 13 14 15 / 16 17 18 19 1 | 20", 100},
        Deal{"AnUnsolvableDealGetsOneMoreExchange",
             std::vector<int>{2} + times(99, 3) + std::vector{1, 19},
             "_ 3 1 4 5 / 6 7 8 9 10 / 11 12 13 14 15 / 16 17 18 19 2 | 20", 101},
        Deal{"ExtraExchangesGoOnUntilTheDealIsSolvable",
             std::vector<int>{2} + times(99, 3) + std::vector{4, 6, 19},
             "1 3 4 6 5 / _ 7 8 9 10 / 11 12 13 14 15 / 16 17 18 19 2 | 20", 102}),
    [](const auto& tested) { return std::string(tested.param.name); });

TEST(Shuffle, AlwaysStartsFromTheInitialLayout) {
  // A deal of exactly a hundred exchanges, so that the script lines up for the second shuffle.
  const auto draws = std::vector<int>{4, 9, 13, 2, 17, 8} + times(94, 11);
  auto random = drawing(draws);
  auto* script = random.get();
  Game fresh{std::move(random)};
  fresh.click("Command1");
  ASSERT_EQ(script->draws(), 100);
  Game playing{drawing(draws + draws)};
  playing.click("Command1");
  playing.click("p19");
  playing.click("p15");
  playing.click("Command1");  // the second shuffle replays the same draws
  EXPECT_EQ(layout(playing.vorek()), layout(fresh.vorek()));
  expectDealt(playing);
}

TEST(Shuffle, ReloadsTheMainWindowAndLeavesThePortraitAlone) {
  Game game;
  game.click("Voir");
  const auto portrait = game.runtime.form(forms::kPortrait).generation();
  const auto main = game.runtime.form(forms::kVorek).generation();
  game.host.log.clear();
  game.click("Command1");
  EXPECT_EQ(game.host.log, (std::vector<std::string>{"unload Vorek", "load Vorek", "show Vorek"}));
  EXPECT_EQ(game.runtime.form(forms::kVorek).generation(), main + 1);
  EXPECT_EQ(game.runtime.form(forms::kPortrait).generation(), portrait);
  EXPECT_TRUE(game.loaded(forms::kPortrait));
}

TEST(SolvableBoards, ParityOfTheHundredExchanges) {
  EXPECT_FALSE(puzzle::solvable(100, {2400, 2400}));
  EXPECT_FALSE(puzzle::solvable(100, {0, 0}));
  EXPECT_TRUE(puzzle::solvable(100, {3200, 2400}));
  EXPECT_TRUE(puzzle::solvable(100, {800, 0}));
  EXPECT_TRUE(puzzle::solvable(101, {0, 0}));
}

TEST(Shuffle, ManyRealShufflesAreAllSolvable) {
  // The sanitizer preset deals 1,000 (VOREK_SHUFFLES): each deal runs the same code.
  const char* setting = std::getenv("VOREK_SHUFFLES");
  const int deals = setting ? std::atoi(setting) : 10'000;
  Game game{std::make_unique<platform::MersenneRandom>(2026u, [] { return 43'200.0; })};
  std::set<std::string> holes;
  for (int i = 0; i < deals; ++i) {
    game.click("Command1");
    const std::string board = layout(game.vorek());
    ASSERT_EQ(board.find('?'), std::string::npos) << board;
    ASSERT_TRUE(solvableGrid(gridOf(board))) << board;
    holes.insert(std::to_string(game.vorek().p0.Left()) + "," +
                 std::to_string(game.vorek().p0.Top()));
  }
  EXPECT_EQ(holes.size(), 20u);  // every grid cell ends as the hole in some deals
  expectDealt(game);
}

TEST(Shuffle, RealShufflesArePlayedToBravoBySlidesOnly) {
  Game game{std::make_unique<platform::MersenneRandom>(99u, [] { return 1.0; })};
  for (int round = 0; round < 5; ++round) {
    SCOPED_TRACE(round);
    game.click("Command1");
    const std::string dealt = layout(game.vorek());
    const auto clicks = solve(gridOf(dealt));
    ASSERT_TRUE(clicks.has_value()) << dealt;
    for (int piece : *clicks) {
      const std::string before = layout(game.vorek());
      game.click("p" + std::to_string(piece));
      ASSERT_NE(layout(game.vorek()), before) << "p" << piece << " did not slide";
    }
    ASSERT_EQ(layout(game.vorek()), kLastHole);
    EXPECT_TRUE(game.host.messageBoxes.empty());
    game.click("p20");
    ASSERT_EQ(game.host.messageBoxes.size(), 1u);
    EXPECT_EQ(game.host.messageBoxes[0].prompt, "Bravo !");
    EXPECT_EQ(game.vorek().Quitter.Caption(), "Quitter");
    game.host.messageBoxes.clear();
  }
}

}  // namespace
}  // namespace vorek_test
