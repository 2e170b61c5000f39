// moves_test.cpp: the slide rule, the parking move and the completion check, on the null host.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "game.h"

namespace vorek_test {
namespace {

using ::testing::ElementsAre;

struct Move {
  const char* name;
  std::string before;
  const char* piece;
  std::string after;
};

class SlideRule : public ::testing::TestWithParam<Move> {};

TEST_P(SlideRule, MovesOnlyIntoTheNeighbouringHole) {
  const Move& move = GetParam();
  Game game;
  arrange(game.vorek(), move.before);
  game.click(move.piece);
  EXPECT_EQ(layout(game.vorek()), move.after);
  EXPECT_TRUE(game.host.messageBoxes.empty());
}

// The hole is on the grid's last cell and p20 waits on the parking cell, as in a game.
const std::string kLastHole = "1 2 3 4 5 / 6 7 8 9 10 / 11 12 13 14 15 / 16 17 18 19 _ | 20";
const std::string kMiddleHole = "1 2 3 4 5 / 6 7 _ 9 10 / 11 12 13 14 15 / 16 17 18 19 8 | 20";

INSTANTIATE_TEST_SUITE_P(
    Cases, SlideRule,
    ::testing::Values(Move{"RightIntoTheHole", kLastHole, "p19",
                           "1 2 3 4 5 / 6 7 8 9 10 / 11 12 13 14 15 / 16 17 18 _ 19 | 20"},
                      Move{"DownIntoTheHole", kLastHole, "p15",
                           "1 2 3 4 5 / 6 7 8 9 10 / 11 12 13 14 _ / 16 17 18 19 15 | 20"},
                      Move{"LeftIntoTheHole", kMiddleHole, "p9",
                           "1 2 3 4 5 / 6 7 9 _ 10 / 11 12 13 14 15 / 16 17 18 19 8 | 20"},
                      Move{"UpIntoTheHole", kMiddleHole, "p13",
                           "1 2 3 4 5 / 6 7 13 9 10 / 11 12 _ 14 15 / 16 17 18 19 8 | 20"},
                      Move{"FromTheLeftIntoTheHole", kMiddleHole, "p7",
                           "1 2 3 4 5 / 6 _ 7 9 10 / 11 12 13 14 15 / 16 17 18 19 8 | 20"},
                      Move{"FromAboveIntoTheHole", kMiddleHole, "p3",
                           "1 2 _ 4 5 / 6 7 3 9 10 / 11 12 13 14 15 / 16 17 18 19 8 | 20"},
                      Move{"DiagonalNeighbourDoesNotMove", kMiddleHole, "p14", kMiddleHole},
                      Move{"TwoCellsAwayInTheRowDoesNotMove", kMiddleHole, "p10", kMiddleHole},
                      Move{"TwoCellsAwayInTheColumnDoesNotMove", kMiddleHole, "p18", kMiddleHole},
                      Move{"FarAwayDoesNotMove", kMiddleHole, "p16", kMiddleHole},
                      Move{"HoleMarkerIgnoresClicks", kMiddleHole, "p0", kMiddleHole},
                      Move{"NothingMovesOnTheInitialLayout", kInitial, "p19", kInitial},
                      Move{"LastColumnDoesNotReachTheParkingCell", kInitial, "p15", kInitial},
                      // Row ends are no neighbours of the next row's start.
                      Move{"RowEndsDoNotWrap",
                           "1 2 3 4 _ / 5 6 7 8 9 / 10 11 12 13 14 / 15 16 17 18 19 | 20", "p5",
                           "1 2 3 4 _ / 5 6 7 8 9 / 10 11 12 13 14 / 15 16 17 18 19 | 20"}),
    [](const auto& tested) { return std::string(tested.param.name); });

TEST(SlideRuleWrites, HoleMarkerFirstThenThePieceEachByAStep) {
  Game game;
  arrange(game.vorek(), kLastHole);
  game.host.writes.clear();
  game.click("p19");
  // The hole marker steps left first, then the piece steps right into its old cell; one write
  // each, so neither Top is written.
  EXPECT_THAT(game.host.writes, ElementsAre("p0 (2400, 2400)", "p19 (3200, 2400)"));
}

TEST(ParkingMoveWrites, ThePieceFirstThenTheHoleMarkerToFixedCells) {
  Game game;
  game.click("p20");
  game.click("p20");
  EXPECT_THAT(game.host.writes, ElementsAre("p20 (4000, 2400)", "p0 (3200, 2400)",
                                            "p20 (3200, 2400)", "p0 (4000, 2400)"));
}

TEST(SlideRuleWrites, PositionsStayExactMultiplesOfTheStep) {
  Game game;
  arrange(game.vorek(), kLastHole);
  for (int i = 0; i < 1000; ++i) game.click("p19");
  EXPECT_EQ(layout(game.vorek()), kLastHole);
  EXPECT_EQ(game.vorek().p19.Left(), 2400.0f);
  EXPECT_EQ(game.vorek().p0.Left(), 3200.0f);
}

TEST(ParkingMove, OutAndBackOnTheInitialLayout) {
  Game game;
  game.click("p20");
  EXPECT_EQ(layout(game.vorek()), kLastHole);
  game.click("p20");
  EXPECT_EQ(layout(game.vorek()), kInitial);
  EXPECT_TRUE(game.host.messageBoxes.empty());
}

TEST(ParkingMove, HoleInTheLastColumnOfAnotherRowKeepsP20Parked) {
  Game game;
  const std::string board = "1 2 3 4 5 / 6 7 8 9 _ / 11 12 13 14 10 / 16 17 18 19 15 | 20";
  arrange(game.vorek(), board);
  game.click("p20");
  EXPECT_EQ(layout(game.vorek()), board);
  game.click("p10");
  game.click("p20");
  EXPECT_EQ(layout(game.vorek()), "1 2 3 4 5 / 6 7 8 9 10 / 11 12 13 14 _ / 16 17 18 19 15 | 20");
}

TEST(ParkingMove, HoleElsewhereInTheBottomRowKeepsP20Parked) {
  Game game;
  const std::string board = "1 2 3 4 5 / 6 7 8 9 10 / 11 12 13 14 15 / 16 17 _ 18 19 | 20";
  arrange(game.vorek(), board);
  game.click("p20");
  EXPECT_EQ(layout(game.vorek()), board);
}

class CompletionCheck : public ::testing::Test {
 protected:
  // A game whose every draw names p1: the exchanges cancel in pairs and leave the board solved
  // but for p20, which waits on the parking cell.
  Game game{drawing({1})};
  void SetUp() override {
    game.click("Command1");
    ASSERT_EQ(layout(game.vorek()), kLastHole);
    ASSERT_EQ(game.vorek().Quitter.Caption(), "Finir");
  }
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

TEST_F(CompletionCheck, ComesOnlyOncePerGame) {
  game.click("p20");
  game.click("p20");
  game.click("p20");
  EXPECT_EQ(game.host.messageBoxes.size(), 1u);
}

TEST_F(CompletionCheck, OnePieceOffHomeShowsNothing) {
  game.click("p19");  // the hole moves left, p19 stands on p20's home
  game.click("p18");
  game.click("p19");
  EXPECT_NE(layout(game.vorek()), kLastHole);
  game.click("p20");
  EXPECT_TRUE(game.host.messageBoxes.empty());
  EXPECT_EQ(game.vorek().Quitter.Caption(), "Finir");
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

TEST_F(CompletionCheck, HoleInAnotherRowLeavesP20ParkedAndNoMessage) {
  game.click("p15");
  game.click("p20");
  EXPECT_EQ(game.vorek().p20.Left(), 4000.0f);
  EXPECT_TRUE(game.host.messageBoxes.empty());
  EXPECT_EQ(game.vorek().Quitter.Caption(), "Finir");
}

TEST_F(CompletionCheck, SlidesNeverShowIt) {
  game.click("p19");
  game.click("p19");
  EXPECT_EQ(layout(game.vorek()), kLastHole);
  EXPECT_TRUE(game.host.messageBoxes.empty());
}

TEST(CompletionCheckIdle, InitialLayoutOutAndInShowsNothing) {
  Game game;
  game.click("p20");
  game.click("p20");
  EXPECT_TRUE(game.host.messageBoxes.empty());
  EXPECT_EQ(game.vorek().Quitter.Caption(), "Quitter");
}

TEST(CompletionCheckIdle, CaptionIsComparedExactly) {
  Game game;
  game.vorek().Quitter.setCaption("finir");
  game.click("p20");
  game.click("p20");
  EXPECT_TRUE(game.host.messageBoxes.empty());
}

}  // namespace
}  // namespace vorek_test
