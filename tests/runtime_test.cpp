// runtime_test.cpp: the form runtime on its own, with a two-window project of the tests' own.
#include "platform/runtime.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/control.h"
#include "platform/errors.h"
#include "platform/null_host.h"
#include "platform/scripted_random.h"
#include "platform/text.h"

namespace {

using namespace platform;
using K = ControlKind;

constexpr ControlDesign kFirstControls[] = {
    {"box", K::PictureBox, "", 800, 1600, 817, 817, 0, "", "", "box_Click"},
    {"button", K::CommandButton, "", 0, 0, 735, 495, 1, "Avant", "", "button_Click"},
    {"still", K::PictureBox, "", 0, 0, 817, 817, 2, "", "", ""},
};
constexpr ControlDesign kSecondControls[] = {
    {"text", K::Label, "", 0, 0, 1000, 500, 0, "", "", ""},
};
constexpr FormDesign kFirst{"First", "Un", 4845, 3195, "", "", kFirstControls};
constexpr FormDesign kSecond{"Second", "Deux", 1000, 1000, "", "Form_Load", kSecondControls};
constexpr const FormDesign* kForms[] = {&kFirst, &kSecond};
const ProjectRecord kProject{"Essai", "Essai", "", "1.00", 0x040C, {}, kForms};

struct Fixture : ::testing::Test {
  NullHost host;
  ScriptedRandom random{{0.5f}};
  Runtime runtime{kProject, host, random};
  FormRef first{runtime, 0};
  FormRef second{runtime, 1};
  PictureBox box{first, "box"};
  CommandButton button{first, "button"};
  Label text{second, "text"};

  // Binds every handler of the design, then starts: the first window is shown.
  void SetUp() override {
    runtime.bind(0, "box_Click", [this] { onBox(); });
    runtime.bind(0, "button_Click", [this] { onButton(); });
    runtime.bind(1, "Form_Load", [this] { text.setCaption("chargé"); });
    runtime.start();
  }
  void clickOn(int slot, int index) { runtime.click(slot, runtime.form(slot).generation(), index); }

  int boxClicks = 0;
  std::function<void()> onBox = [this] { ++boxClicks; };
  std::function<void()> onButton = [] {};
};

using FormLifecycle = Fixture;

TEST_F(FormLifecycle, InstancesAreMadeOnFirstUseAndLoadedOnlyWhenAsked) {
  EXPECT_FALSE(runtime.created(1)) << "the start made only the first";
  EXPECT_TRUE(runtime.form(0).visible());
  EXPECT_FALSE(runtime.form(1).loaded());
  EXPECT_EQ(&runtime.form(0), &first.instance());
}

TEST_F(FormLifecycle, ReloadGivesTheDesignValuesBack) {
  box.setLeft(3200);
  button.setCaption("Après");
  first.Unload();
  EXPECT_EQ(box.Left(), 800.0f);  // the access loads it again, hidden
  EXPECT_EQ(button.Caption(), "Avant");
  EXPECT_TRUE(runtime.form(0).loaded());
  EXPECT_FALSE(runtime.form(0).visible());
}

TEST_F(FormLifecycle, PositionsReadBackExactly) {
  for (int n = 0; n <= 5; ++n) {
    box.setLeft(800.0f * static_cast<float>(n));
    EXPECT_EQ(box.Left(), 800.0f * static_cast<float>(n));
  }
  box.setTop(0.1f);
  EXPECT_EQ(box.Top(), 0.1f);
}

TEST_F(FormLifecycle, HandlerMayUnloadItsOwnWindowAndGoOn) {
  onButton = [this] {
    first.Unload();
    first.Show();
    box.setLeft(0);
  };
  const auto generation = runtime.form(0).generation();
  clickOn(0, 1);
  EXPECT_FALSE(runtime.ended());
  EXPECT_EQ(box.Left(), 0.0f);
  EXPECT_GT(runtime.form(0).generation(), generation);
  EXPECT_TRUE(runtime.form(0).visible());
}

TEST_F(FormLifecycle, ProgramEndsWhenTheLastWindowGoesOnceTheHandlerReturns) {
  bool ranAfterUnload = false;
  onButton = [&] {
    first.Unload();
    ranAfterUnload = true;
    EXPECT_FALSE(runtime.ended());
  };
  clickOn(0, 1);
  EXPECT_TRUE(ranAfterUnload);
  EXPECT_EQ(host.quitStatus, 0);
}

TEST_F(FormLifecycle, ClosingOneOfTwoWindowsKeepsTheProgram) {
  second.Show();
  runtime.closeRequest(0, runtime.form(0).generation());
  EXPECT_FALSE(runtime.ended());
  EXPECT_FALSE(runtime.form(0).loaded());
  runtime.closeRequest(1, runtime.form(1).generation());
  EXPECT_EQ(host.quitStatus, 0);
}

TEST_F(FormLifecycle, LoadHandlerRunsAtEveryLoadBeforeTheWindowShows) {
  second.Show();
  EXPECT_EQ(text.Caption(), "chargé");
  second.Unload();
  second.Show();
  EXPECT_EQ(text.Caption(), "chargé");
  EXPECT_EQ(host.log.back(), "show Second");
}

TEST_F(FormLifecycle, ShowOnAShownFormOnlyBringsItToTheFront) {
  box.setLeft(0);
  first.Show();
  EXPECT_EQ(box.Left(), 0.0f);
  EXPECT_EQ(host.log, (std::vector<std::string>{"load First", "show First", "show First"}));
}

using Dispatch = Fixture;

TEST_F(Dispatch, ClicksGoToTheControlsOwnHandlerOnly) {
  clickOn(0, 0);
  clickOn(0, 2);  // no handler: ignored
  EXPECT_EQ(boxClicks, 1);
}

TEST_F(Dispatch, NoEventWhileAHandlerRunsOrABoxIsOpen) {
  onButton = [this] { runtime.MsgBox("Bravo !", vbOKOnly, "Essai"); };
  host.whileBoxOpen = [this] {
    clickOn(0, 0);
    runtime.closeRequest(0, runtime.form(0).generation());
  };
  clickOn(0, 1);
  EXPECT_EQ(boxClicks, 0);
  EXPECT_TRUE(runtime.form(0).loaded());
  ASSERT_EQ(host.messageBoxes.size(), 1u);
  EXPECT_EQ(host.messageBoxes[0].prompt, "Bravo !");
}

TEST_F(Dispatch, ClicksFromAStaleWindowAreDropped) {
  const auto old = runtime.form(0).generation();
  first.Unload();
  first.Show();
  runtime.click(0, old, 0);
  EXPECT_EQ(boxClicks, 0);
}

TEST_F(Dispatch, EndStopsAtOnceAndNothingRunsAfter) {
  bool after = false;
  onButton = [&] {
    runtime.End();
    after = true;
  };
  second.Show();
  clickOn(0, 1);
  EXPECT_FALSE(after);
  EXPECT_EQ(host.quitStatus, 0);
  EXPECT_EQ(runtime.loadedCount(), 0);
  clickOn(0, 0);
  EXPECT_EQ(boxClicks, 0);
}

// A handler that fails: the French runtime-error box, then the end with status 1; nothing of the
// handler runs after the fault.
struct Fault {
  const char* name;
  void (*fail)(Fixture&);
  const char* prompt;
};

void PrintTo(const Fault& fault, std::ostream* out) { *out << fault.name; }

class RuntimeErrors : public Fixture, public ::testing::WithParamInterface<Fault> {};

TEST_P(RuntimeErrors, ShowTheFrenchBoxAndEndWithFailure) {
  bool after = false;
  onButton = [&] {
    GetParam().fail(*this);
    after = true;
  };
  clickOn(0, 1);
  EXPECT_FALSE(after);
  ASSERT_EQ(host.errorBoxes.size(), 1u);
  EXPECT_EQ(host.errorBoxes[0].prompt, GetParam().prompt);
  EXPECT_EQ(host.errorBoxes[0].title, "Essai");
  EXPECT_EQ(host.quitStatus, 1);
  EXPECT_EQ(runtime.loadedCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RuntimeErrors,
    ::testing::Values(
        Fault{"Overflow", [](Fixture& f) { f.box.setLeft(std::numeric_limits<float>::infinity()); },
              "Erreur d'exécution '6' :\n\nDépassement de capacité"},
        // A foreign exception becomes a runtime error too.
        Fault{"ForeignException", [](Fixture&) { throw std::out_of_range("x"); },
              "Erreur d'exécution '51' :\n\nErreur interne (x)"},
        Fault{"UnknownMessageBoxStyleIsAnInvalidCall",
              [](Fixture& f) { f.runtime.MsgBox("?", 4, "Essai"); },
              "Erreur d'exécution '5' :\n\nArgument ou appel de procédure incorrect (MsgBox)"}),
    [](const auto& tested) { return std::string(tested.param.name); });

// Nothing bound yet.
struct Bindings : Fixture {
  void SetUp() override {}
};

TEST_F(Bindings, HandlersAndControlsMustMatchTheDesign) {
  EXPECT_THROW(runtime.bind(0, "still_Click", [] {}), RuntimeError);
  EXPECT_THROW(PictureBox(FormRef(runtime, 0), "button"), RuntimeError);
  EXPECT_THROW(CommandButton(FormRef(runtime, 0), "nothing"), RuntimeError);
  runtime.bind(0, "box_Click", [] {});
  // The start finds button_Click and Form_Load missing: a runtime error, not a silent button.
  runtime.start();
  EXPECT_EQ(host.quitStatus, 1);
  ASSERT_EQ(host.errorBoxes.size(), 1u);
  EXPECT_NE(host.errorBoxes[0].prompt.find("Objet requis"), std::string::npos);
}

TEST(Text, ComparisonIsExactAndCaseSensitive) {
  EXPECT_EQ(StrComp("Finir", "Finir"), 0);
  EXPECT_NE(StrComp("Finir", "finir"), 0);
  EXPECT_NE(StrComp("Finir", "Finir "), 0);
  EXPECT_EQ(StrComp("a", "b"), -1);
  EXPECT_EQ(StrComp("b", "a"), 1);
}

TEST(Text, WholePartIsTheFloor) {
  EXPECT_EQ(Int(18.999), 18.0);
  EXPECT_EQ(Int(0.0), 0.0);
  EXPECT_EQ(Int(-0.5), -1.0);
  EXPECT_THROW(Int(std::nan("")), RuntimeError);
}

}  // namespace
