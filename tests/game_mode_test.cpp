// game_mode_test.cpp: Quitter's restart and quit, the portrait and About windows, and the
// life of the program's windows from start to end.
#include <gtest/gtest.h>

#include <algorithm>

#include "game.h"

namespace vorek_test {
namespace {

using forms::kPortrait;
using forms::kSujet;
using forms::kVorek;

const std::string kParked = "1 2 3 4 5 / 6 7 8 9 10 / 11 12 13 14 15 / 16 17 18 19 _ | 20";


TEST(GameMode, IdleQuitterLeavesForTheAboutWindow) {
  Game game;
  EXPECT_EQ(game.vorek().Quitter.Caption(), "Quitter");
  game.click("Quitter");
  EXPECT_FALSE(game.loaded(kVorek));  // unloaded, not hidden
  EXPECT_TRUE(game.runtime.form(kSujet).visible());
  EXPECT_FALSE(game.ended());
  // Form_Load filled both texts before the window was shown.
  EXPECT_EQ(game.program.sujet.prog.Caption(), forms::kTermsText);
  EXPECT_EQ(game.program.sujet.auteur.Caption(), forms::kAuthorText);
  EXPECT_EQ(game.host.log.back(), "show Sujet");
}

TEST(GameMode, PlayingQuitterRestartsThenASecondClickQuits) {
  Game game{drawing({2, 7, 12, 17})};
  game.click("Command1");
  ASSERT_EQ(game.vorek().Quitter.Caption(), "Finir");
  game.click("Quitter");
  EXPECT_EQ(layout(game.vorek()), kInitial);
  EXPECT_EQ(game.vorek().Quitter.Caption(), "Quitter");
  EXPECT_TRUE(game.runtime.form(kVorek).visible());
  game.click("Quitter");
  EXPECT_FALSE(game.loaded(kVorek));
  EXPECT_TRUE(game.loaded(kSujet));
}

TEST(GameMode, AfterBravoQuitterQuits) {
  Game game{drawing({5})};
  game.click("Command1");
  game.click("p20");
  ASSERT_EQ(game.host.messageBoxes.size(), 1u);
  game.click("Quitter");
  EXPECT_TRUE(game.loaded(kSujet));
  EXPECT_FALSE(game.loaded(kVorek));
}

TEST(GameMode, BrasserWhilePlayingDealsAgainAndStaysPlaying) {
  Game game;
  game.click("Command1");
  game.click("Command1");
  EXPECT_EQ(game.vorek().Quitter.Caption(), "Finir");
  // Each deal tore the old window down before building the new one.
  EXPECT_EQ(game.host.windows.count("Vorek"), 1u);
  EXPECT_EQ(std::count(game.host.log.begin(), game.host.log.end(), "unload Vorek"), 2);
}

TEST(GameMode, AnyOtherCaptionDoesNothing) {
  Game game;
  game.vorek().Quitter.setCaption("quitter");
  game.click("Quitter");
  EXPECT_TRUE(game.runtime.form(kVorek).visible());
  EXPECT_FALSE(game.loaded(kSujet));
}

TEST(GameMode, PiecesMoveInBothModes) {
  Game game;
  game.click("p20");
  game.click("p19");
  EXPECT_EQ(game.vorek().p19.Left(), 3200.0f);
  EXPECT_EQ(game.vorek().Quitter.Caption(), "Quitter");
}

TEST(Portrait, TwoVoirGiveOneWindowBroughtToTheFront) {
  Game game;
  game.click("Voir");
  game.click("Voir");
  EXPECT_EQ(std::count(game.host.log.begin(), game.host.log.end(), "load V_portrait"), 1);
  EXPECT_EQ(std::count(game.host.log.begin(), game.host.log.end(), "show V_portrait"), 2);
}

TEST(Portrait, OkThenVoirBuildsAFreshWindow) {
  Game game;
  game.click("Voir");
  const auto first = game.runtime.form(kPortrait).generation();
  game.click(kPortrait, "Command1");
  EXPECT_FALSE(game.loaded(kPortrait));
  EXPECT_FALSE(game.ended());
  game.click("Voir");
  EXPECT_EQ(game.runtime.form(kPortrait).generation(), first + 1);
  EXPECT_TRUE(game.runtime.form(kPortrait).visible());
}

TEST(Portrait, ClickOnThePictureDoesNothing) {
  Game game;
  game.click("Voir");
  game.click(kPortrait, "Picture1");
  EXPECT_TRUE(game.runtime.form(kPortrait).visible());
}

TEST(Portrait, UntouchedByRestartsAndTheQuitPath) {
  Game game;
  game.click("Voir");
  const auto portrait = game.runtime.form(kPortrait).generation();
  game.click("Command1");
  game.click("Quitter");  // restart
  game.click("Quitter");  // quit
  EXPECT_EQ(game.runtime.form(kPortrait).generation(), portrait);
  EXPECT_TRUE(game.runtime.form(kPortrait).visible());
  EXPECT_TRUE(game.loaded(kSujet));
  EXPECT_EQ(std::count(game.host.log.begin(), game.host.log.end(), "unload V_portrait"), 0);
}

// The life of the windows, situation by situation.
TEST(Lifecycle, AtStartOnlyTheMainWindowExists) {
  Game game;
  EXPECT_TRUE(game.runtime.form(kVorek).visible());
  EXPECT_EQ(layout(game.vorek()), kInitial);
  EXPECT_FALSE(game.runtime.created(kPortrait));
  EXPECT_FALSE(game.runtime.created(kSujet));
}

TEST(Lifecycle, ClosingTheMainWindowAloneEndsWithoutTheAboutWindow) {
  Game game;
  game.close(kVorek);
  EXPECT_EQ(game.host.quitStatus, 0);
  EXPECT_FALSE(game.runtime.created(kSujet));
}

TEST(Lifecycle, MainAndPortraitEndWhenBothAreClosedInEitherOrder) {
  for (bool mainFirst : {true, false}) {
    SCOPED_TRACE(mainFirst);
    Game game;
    game.click("Voir");
    game.close(mainFirst ? kVorek : kPortrait);
    EXPECT_FALSE(game.ended());
    game.close(mainFirst ? kPortrait : kVorek);
    EXPECT_EQ(game.host.quitStatus, 0);
  }
}

TEST(Lifecycle, ShufflesAndRestartsNeverLeaveTwoMainWindows) {
  Game game;
  for (int i = 0; i < 50; ++i) {
    game.click("Command1");
    ASSERT_EQ(game.host.windows.count("Vorek"), 1u) << "after shuffle " << i;
    if (i % 3 == 0) game.click("Quitter");
    ASSERT_EQ(game.host.windows.count("Vorek"), 1u) << "after restart " << i;
  }
  EXPECT_EQ(game.host.windows.size(), 1u);
}

TEST(Lifecycle, QuitPathThenOkEndsEverything) {
  Game game;
  game.click("Voir");
  game.click("Quitter");
  EXPECT_EQ(game.runtime.loadedCount(), 2);
  game.click(kSujet, "ok");
  EXPECT_EQ(game.host.quitStatus, 0);
  EXPECT_EQ(game.runtime.loadedCount(), 0);
}

TEST(Lifecycle, ClosingTheAboutWindowEndsUnlessThePortraitIsOpen) {
  Game alone;
  alone.click("Quitter");
  alone.close(kSujet);
  EXPECT_EQ(alone.host.quitStatus, 0);

  Game withPortrait;
  withPortrait.click("Voir");
  withPortrait.click("Quitter");
  withPortrait.close(kSujet);
  EXPECT_FALSE(withPortrait.ended());
  withPortrait.close(kPortrait);
  EXPECT_EQ(withPortrait.host.quitStatus, 0);
}

TEST(Lifecycle, NothingIsDeliveredAfterTheEnd) {
  Game game;
  game.click("Quitter");
  game.click(kSujet, "ok");
  game.click(kVorek, "Voir");
  EXPECT_FALSE(game.runtime.created(kPortrait));
}

}  // namespace
}  // namespace vorek_test
