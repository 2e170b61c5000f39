// qt_reliability_test.cpp: the Qt host under stress and faults, on the offscreen platform.
#include <gtest/gtest.h>

#include <unistd.h>

#include <QApplication>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <functional>

#include "forms/forms.h"
#include "platform/qt_app.h"
#include "qt_support.h"

namespace vorek_test {
namespace {

// A generator that calls `onDraw` at its given draw, then answers like a fixed one.
class Hooked final : public platform::Random {
 public:
  Hooked(int at, std::function<float()> onDraw) : at_(at), onDraw_(std::move(onDraw)) {}
  void Randomize() override {}
  float Rnd() override { return ++draws_ == at_ ? onDraw_() : 0.3f; }

 private:
  int at_;
  std::function<float()> onDraw_;
  int draws_ = 0;
};

using Program = QtProgram;

// Queues a click on the main window's control, as the window system queues a click that the
// player makes while a handler runs.
void queueClickOn(QWidget* control) {
  const QPointF at(5, 5);
  for (auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
    QCoreApplication::postEvent(
        control,
        new QMouseEvent(type, at, control->mapToGlobal(at), Qt::LeftButton,
                        type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, {}));
  }
}

TEST(QtReliability, AClickMadeDuringAShuffleOnTheNewBoardCountsOnceItIsOver) {
  // Halfway through the exchanges the player clicks Quitter on the freshly built window. It
  // waits its turn: the shuffle finishes ("Finir"), then the click restarts the game.
  bool duringShuffle = false;
  Hooked random(50, [&] {
    queueClickOn(shownControl("Vorek", "Quitter"));
    duringShuffle = true;
    return 0.3f;
  });
  Program program(random);
  clickOn("Vorek", "Command1");
  ASSERT_TRUE(duringShuffle);
  QCoreApplication::processEvents();
  EXPECT_EQ(program.code.vorek.Quitter.Caption(), "Quitter");
  EXPECT_EQ(shownWindows("Vorek"), 1);
}

TEST(QtReliability, AClickOnTheWindowThatAShuffleUnloadedReachesNothing) {
  // The click was aimed at the board the shuffle tore down; it goes with that window.
  QWidget* oldVoir = nullptr;
  Hooked random(50, [&] {
    if (oldVoir != nullptr) queueClickOn(oldVoir);
    return 0.3f;
  });
  Program program(random);
  oldVoir = shownControl("Vorek", "Voir");
  clickOn("Vorek", "Command1");
  QCoreApplication::processEvents();
  EXPECT_EQ(shownWindow("V_portrait"), nullptr);
  EXPECT_EQ(program.code.vorek.Quitter.Caption(), "Finir");
}

TEST(QtReliability, AFloatingPointFaultShowsTheFrenchErrorBoxThenEnds) {
  Hooked random(1, [] { return std::nanf(""); });
  Program program(random);
  QString text, title;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  bool voirRan = false;
  whileBoxOpen([&](QMessageBox& box) {
    text = box.text();
    title = box.windowTitle();
    icon = box.icon();
    clickOn("Vorek", "Voir");  // nothing else runs while the error is shown
    voirRan = shownWindow("V_portrait") != nullptr;
  });
  ASSERT_NO_FATAL_FAILURE(clickOn("Vorek", "Command1"));
  EXPECT_EQ(text, QString::fromUtf8("Erreur d'exécution '6' :\n\nDépassement de capacité"));
  EXPECT_EQ(title, "Vorek");
  EXPECT_EQ(icon, QMessageBox::Critical);
  EXPECT_FALSE(voirRan);
  EXPECT_EQ(program.runtime.exitStatus(), 1);
  EXPECT_EQ(shownWindow("Vorek"), nullptr);
}

TEST(QtReliability, EndWithThePortraitOpenClosesEveryWindowAtOnce) {
  Program program;
  clickOn("Vorek", "Voir");
  clickOn("Vorek", "Quitter");
  ASSERT_NE(shownWindow("V_portrait"), nullptr);
  ASSERT_NE(shownWindow("Sujet"), nullptr);
  clickOn("Sujet", "ok");
  EXPECT_EQ(program.runtime.exitStatus(), 0);
  EXPECT_EQ(shownWindow("V_portrait"), nullptr);
  EXPECT_EQ(shownWindow("Sujet"), nullptr);
}

// AddressSanitizer's quarantine holds freed memory on purpose: its build sees leaks otherwise.
#ifdef __SANITIZE_ADDRESS__
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

// The process's resident memory in bytes (Linux's /proc).
long residentBytes() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = -1;
  statm >> pages >> resident;
  return resident * sysconf(_SC_PAGESIZE);
}

TEST(QtReliability, ShuffleRestartAndQuitCyclesThroughTheViews) {
  // Each cycle builds and tears down every window. The sanitizer build shows any freed widget
  // touched and any leak; elsewhere, the resident memory stops growing once the first cycles have
  // warmed the allocator and Qt's caches: a window or a handler kept per cycle would show here.
  const char* setting = std::getenv("VOREK_CYCLES");
  const int cycles = setting ? std::atoi(setting) : 2'000;
  const int warmed = cycles / 4;
  long residentWhenWarm = 0;
  platform::MersenneRandom random(11u, [] { return 0.0; });
  for (int i = 0; i < cycles; ++i) {
    if (i == warmed) residentWhenWarm = residentBytes();
    Program program(random);
    clickOn("Vorek", "Command1");
    ASSERT_EQ(shownWindows("Vorek"), 1) << "after the shuffle of cycle " << i;
    clickOn("Vorek", "Quitter");
    ASSERT_EQ(shownWindows("Vorek"), 1) << "after the restart of cycle " << i;
    clickOn("Vorek", "Quitter");
    ASSERT_EQ(shownWindows("Vorek"), 0) << "after the quit of cycle " << i;
    clickOn("Sujet", "ok");
    ASSERT_EQ(program.runtime.exitStatus(), 0) << "cycle " << i;
  }
  if (!kSanitized) {
    EXPECT_LT(residentBytes() - residentWhenWarm, 64L * (cycles - warmed))
        << "the resident memory grew over the last " << cycles - warmed << " cycles";
  }
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty() ||
              std::none_of(QApplication::topLevelWidgets().begin(),
                           QApplication::topLevelWidgets().end(),
                           [](QWidget* w) { return w->isVisible(); }));
}

}  // namespace
}  // namespace vorek_test
