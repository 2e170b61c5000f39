// moves_test.cpp: the slide rule, the parking move and the completion check, on the null host.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "game.h"

namespace vorek_test {
namespace {

using ::testing::ElementsAre;

// Clicks on a board and where they leave it. Out of a game the board is arranged as `before`;
// in one, dealt by draws that all name p1, which leaves it at kLastHole.
struct Play {
  const char* name;
  bool dealt;
  std::string before;
  const char* clicks;
  std::string after;
  std::size_t boxes = 0;  // how many « Bravo ! » came
  const char* caption = "Quitter";
};

void PrintTo(const Play& tested, std::ostream* out) { *out << tested.name; }

class Rules : public ::testing::TestWithParam<Play> {};

TEST_P(Rules, Play) {
  const Play& play = GetParam();
  Game game{drawing({1})};
  if (play.dealt) {
    game.click("Command1");
    ASSERT_EQ(layout(game.vorek()), kLastHole);
  } else {
    arrange(game.vorek(), play.before);
  }
  game.play(play.clicks);
  EXPECT_EQ(layout(game.vorek()), play.after);
  EXPECT_EQ(game.host.messageBoxes.size(), play.boxes);
  EXPECT_EQ(game.vorek().Quitter.Caption(), play.caption);
}

const std::string kMiddleHole = "1 2 3 4 5 / 6 7 _ 9 10 / 11 12 13 14 15 / 16 17 18 19 8 | 20";
const std::string kRightHole = "1 2 3 4 5 / 6 7 8 9 _ / 11 12 13 14 10 / 16 17 18 19 15 | 20";
const std::string kBottomHole = "1 2 3 4 5 / 6 7 8 9 10 / 11 12 13 14 15 / 16 17 _ 18 19 | 20";

INSTANTIATE_TEST_SUITE_P(
    Cases, Rules,
    ::testing::Values(
        Play{"RightIntoTheHole", false, kLastHole, "p19",
             "1 2 3 4 5 / 6 7 8 9 10 / 11 12 13 14 15 / 16 17 18 _ 19 | 20"},
        Play{"DownIntoTheHole", false, kLastHole, "p15",
             "1 2 3 4 5 / 6 7 8 9 10 / 11 12 13 14 _ / 16 17 18 19 15 | 20"},
        Play{"LeftIntoTheHole", false, kMiddleHole, "p9",
             "1 2 3 4 5 / 6 7 9 _ 10 / 11 12 13 14 15 / 16 17 18 19 8 | 20"},
        Play{"UpIntoTheHole", false, kMiddleHole, "p13",
             "1 2 3 4 5 / 6 7 13 9 10 / 11 12 _ 14 15 / 16 17 18 19 8 | 20"},
        Play{"FromTheLeftIntoTheHole", false, kMiddleHole, "p7",
             "1 2 3 4 5 / 6 _ 7 9 10 / 11 12 13 14 15 / 16 17 18 19 8 | 20"},
        Play{"FromAboveIntoTheHole", false, kMiddleHole, "p3",
             "1 2 _ 4 5 / 6 7 3 9 10 / 11 12 13 14 15 / 16 17 18 19 8 | 20"},
        Play{"DiagonalNeighbourDoesNotMove", false, kMiddleHole, "p14", kMiddleHole},
        Play{"TwoCellsAwayInTheRowDoesNotMove", false, kMiddleHole, "p10", kMiddleHole},
        Play{"TwoCellsAwayInTheColumnDoesNotMove", false, kMiddleHole, "p18", kMiddleHole},
        Play{"FarAwayDoesNotMove", false, kMiddleHole, "p16", kMiddleHole},
        Play{"HoleMarkerIgnoresClicks", false, kMiddleHole, "p0", kMiddleHole},
        Play{"NothingMovesOnTheInitialLayout", false, kInitial, "p19", kInitial},
        Play{"LastColumnDoesNotReachTheParkingCell", false, kInitial, "p15", kInitial},
        // Row ends are no neighbours of the next row's start.
        Play{"RowEndsDoNotWrap", false,
             "1 2 3 4 _ / 5 6 7 8 9 / 10 11 12 13 14 / 15 16 17 18 19 | 20", "p5",
             "1 2 3 4 _ / 5 6 7 8 9 / 10 11 12 13 14 / 15 16 17 18 19 | 20"},
        // Out of a game too; p20 parks and comes home again, with no « Bravo ! ».
        Play{"PiecesMoveOutOfAGame", false, kInitial, "p20 p19",
             "1 2 3 4 5 / 6 7 8 9 10 / 11 12 13 14 15 / 16 17 18 _ 19 | 20"},
        Play{"ParkingOutAndBackOnTheInitialLayout", false, kInitial, "p20 p20", kInitial},
        // p20 comes home only when the hole is on its home cell.
        Play{"HoleInTheLastColumnOfAnotherRowKeepsP20Parked", false, kRightHole, "p20 p10 p20",
             "1 2 3 4 5 / 6 7 8 9 10 / 11 12 13 14 _ / 16 17 18 19 15 | 20"},
        Play{"HoleElsewhereInTheBottomRowKeepsP20Parked", false, kBottomHole, "p20", kBottomHole},
        // In a game: « Bravo ! » once p20 is home on a whole picture, and only then.
        Play{"BravoComesOnlyOncePerGame", true, "", "p20 p20 p20", kInitial, 1},
        Play{"OnePieceOffHomeShowsNothing", true, "", "p19 p18 p19 p20",
             "1 2 3 4 5 / 6 7 8 9 10 / 11 12 13 14 15 / 16 17 _ 18 19 | 20", 0, "Finir"},
        Play{"HoleInAnotherRowLeavesP20ParkedAndNoMessage", true, "", "p15 p20",
             "1 2 3 4 5 / 6 7 8 9 10 / 11 12 13 14 _ / 16 17 18 19 15 | 20", 0, "Finir"},
        Play{"SlidesNeverShowIt", true, "", "p19 p19", kLastHole, 0, "Finir"}),
    [](const auto& tested) { return std::string(tested.param.name); });

TEST(Writes, SlideMovesTheHoleMarkerFirstThenThePieceEachByAStep) {
  Game game;
  arrange(game.vorek(), kLastHole);
  game.host.writes.clear();
  game.click("p19");
  // The hole marker steps left first, then the piece steps right into its old cell; one write
  // each, so neither Top is written.
  EXPECT_THAT(game.host.writes, ElementsAre("p0 (2400, 2400)", "p19 (3200, 2400)"));
}

TEST(Writes, ParkingMovesThePieceFirstThenTheHoleMarkerToFixedCells) {
  Game game;
  game.play("p20 p20");
  EXPECT_THAT(game.host.writes, ElementsAre("p20 (4000, 2400)", "p0 (3200, 2400)",
                                            "p20 (3200, 2400)", "p0 (4000, 2400)"));
}

TEST(Writes, PositionsStayExactMultiplesOfTheStep) {
  Game game;
  arrange(game.vorek(), kLastHole);
  for (int i = 0; i < 1000; ++i) game.click("p19");
  EXPECT_EQ(layout(game.vorek()), kLastHole);
  EXPECT_EQ(game.vorek().p19.Left(), 2400.0f);
  EXPECT_EQ(game.vorek().p0.Left(), 3200.0f);
}

class CompletionCheck : public ::testing::Test {
 protected:
  // A game whose every draw names p1: the exchanges cancel in pairs and leave the board solved
  // but for p20, which waits on the parking cell.
  Game game{drawing({1})};
  void SetUp() override { game.click("Command1"); }
};

TEST_F(CompletionCheck, BringingP20HomeShowsBravoThenIdles) {
  std::string captionWhileOpen;
  game.host.whileBoxOpen = [&] { captionWhileOpen = game.vorek().Quitter.Caption(); };
  game.click("p20");
  ASSERT_EQ(game.host.messageBoxes.size(), 1u);
  EXPECT_EQ(game.host.messageBoxes[0].prompt, "Bravo !");
  EXPECT_EQ(game.host.messageBoxes[0].title, "Vorek");
  // The caption changes only once the box is closed.
  EXPECT_EQ(captionWhileOpen, "Finir");
  EXPECT_EQ(game.vorek().Quitter.Caption(), "Quitter");
  EXPECT_EQ(layout(game.vorek()), kInitial);
}

TEST_F(CompletionCheck, ClickOnP20ThatMovesNothingStillChecks) {
  // p20 home with the marker off every cell: the parking move finds nothing to do, and the
  // check, which runs on every click on p20, finds the picture whole.
  game.vorek().p20.setLeft(3200);
  game.vorek().p0.setTop(0);
  game.vorek().p0.setLeft(4000);
  game.click("p20");
  EXPECT_EQ(game.vorek().p20.Left(), 3200.0f);
  EXPECT_EQ(game.host.messageBoxes.size(), 1u);
}

TEST(CompletionCheckIdle, CaptionIsComparedExactly) {
  Game game;
  game.vorek().Quitter.setCaption("finir");
  game.play("p20 p20");
  EXPECT_TRUE(game.host.messageBoxes.empty());
}

}  // namespace
}  // namespace vorek_test
