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

int logged(const Game& game, const char* line) {
  return static_cast<int>(std::count(game.host.log.begin(), game.host.log.end(), line));
}

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
  game.play("Command1 p20");
  ASSERT_EQ(game.host.messageBoxes.size(), 1u);
  game.click("Quitter");
  EXPECT_TRUE(game.loaded(kSujet));
  EXPECT_FALSE(game.loaded(kVorek));
}

TEST(GameMode, AnyOtherCaptionDoesNothing) {
  Game game;
  game.vorek().Quitter.setCaption("quitter");
  game.click("Quitter");
  EXPECT_TRUE(game.runtime.form(kVorek).visible());
  EXPECT_FALSE(game.loaded(kSujet));
}

TEST(Portrait, TwoVoirGiveOneWindowBroughtToTheFront) {
  Game game;
  game.play("Voir Voir");
  EXPECT_EQ(logged(game, "load V_portrait"), 1);
  EXPECT_EQ(logged(game, "show V_portrait"), 2);
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
  game.play("Voir V_portrait.Picture1");
  EXPECT_TRUE(game.runtime.form(kPortrait).visible());
}

TEST(Portrait, UntouchedByRestartsAndTheQuitPath) {
  Game game;
  game.click("Voir");
  const auto portrait = game.runtime.form(kPortrait).generation();
  game.play("Command1 Quitter Quitter");  // a deal, a restart, the way out
  EXPECT_EQ(game.runtime.form(kPortrait).generation(), portrait);
  EXPECT_TRUE(game.runtime.form(kPortrait).visible());
  EXPECT_TRUE(game.loaded(kSujet));
  EXPECT_EQ(game.runtime.loadedCount(), 2) << "the main window went";
  EXPECT_EQ(logged(game, "unload V_portrait"), 0);
}

// The life of the windows, situation by situation.
TEST(Lifecycle, AtStartOnlyTheMainWindowExists) {
  Game game;
  EXPECT_TRUE(game.runtime.form(kVorek).visible());
  EXPECT_EQ(layout(game.vorek()), kInitial);
  EXPECT_FALSE(game.runtime.created(kPortrait));
  EXPECT_FALSE(game.runtime.created(kSujet));
}

// The program goes on through `before`, and ends with status 0 at `last`, every window gone. The
// About window comes by Quitter alone: closing the main window ends without it.
struct Ending {
  const char* name;
  const char* before;
  const char* last;
};

void PrintTo(const Ending& tested, std::ostream* out) { *out << tested.name; }

class Endings : public ::testing::TestWithParam<Ending> {};

TEST_P(Endings, ComeWithTheLastWindowOrOk) {
  Game game;
  game.play(GetParam().before);
  EXPECT_FALSE(game.ended());
  game.play(GetParam().last);
  EXPECT_EQ(game.host.quitStatus, 0);
  EXPECT_EQ(game.runtime.loadedCount(), 0);
  const bool quitter = std::string(GetParam().before).find("Quitter") != std::string::npos;
  EXPECT_EQ(logged(game, "load Sujet"), quitter ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Endings,
    ::testing::Values(Ending{"TheMainWindowClosedAlone", "", "Vorek.close"},
                      Ending{"MainThenPortraitClosed", "Voir Vorek.close", "V_portrait.close"},
                      Ending{"PortraitThenMainClosed", "Voir V_portrait.close", "Vorek.close"},
                      Ending{"OkOnTheQuitPath", "Voir Quitter", "Sujet.ok"},
                      Ending{"TheAboutWindowClosedAlone", "Quitter", "Sujet.close"},
                      Ending{"TheAboutWindowThenThePortraitClosed", "Voir Quitter Sujet.close",
                             "V_portrait.close"}),
    [](const auto& tested) { return std::string(tested.param.name); });

// Brasser deals again whether a game is on or not, and stays in the game; each deal tears the old
// window down before it builds the new one.
TEST(Lifecycle, ShufflesAndRestartsNeverLeaveTwoMainWindows) {
  Game game;
  for (int i = 0; i < 50; ++i) {
    const int unloads = logged(game, "unload Vorek");
    game.click("Command1");
    ASSERT_EQ(logged(game, "unload Vorek"), unloads + 1) << "shuffle " << i;
    ASSERT_EQ(game.host.windows.count("Vorek"), 1u) << "after shuffle " << i;
    ASSERT_EQ(game.vorek().Quitter.Caption(), "Finir") << "after shuffle " << i;
    if (i % 3 == 0) game.click("Quitter");
    ASSERT_EQ(game.host.windows.count("Vorek"), 1u) << "after restart " << i;
  }
  EXPECT_EQ(game.host.windows.size(), 1u);
}

TEST(Lifecycle, NothingIsDeliveredAfterTheEnd) {
  Game game;
  game.play("Quitter Sujet.ok Voir");
  EXPECT_FALSE(game.runtime.created(kPortrait));
}

}  // namespace
}  // namespace vorek_test
