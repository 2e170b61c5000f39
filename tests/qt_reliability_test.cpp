// qt_reliability_test.cpp: the Qt host under stress and faults, on the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <cstdlib>
#include <functional>

#include "forms/forms.h"
#include "platform/qt_app.h"
#include "qt_support.h"

namespace {

using vorek_test::clickOn;
using vorek_test::shownControl;
using vorek_test::shownWindow;

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

using Program = vorek_test::QtProgram;

TEST(QtReliability, ClicksThatArriveDuringAShuffleReachNoHandler) {
  // Halfway through the exchanges the player clicks Quitter on the freshly built window; were
  // the click delivered after the shuffle, it would restart the game.
  Hooked random(50, [] {
    QWidget* quitter = shownControl("Vorek", "Quitter");
    const QPointF at(5, 5);
    QCoreApplication::postEvent(
        quitter, new QMouseEvent(QEvent::MouseButtonPress, at, quitter->mapToGlobal(at),
                                 Qt::LeftButton, Qt::LeftButton, {}));
    QCoreApplication::postEvent(
        quitter, new QMouseEvent(QEvent::MouseButtonRelease, at, quitter->mapToGlobal(at),
                                 Qt::LeftButton, Qt::NoButton, {}));
    return 0.3f;
  });
  Program program(random);
  clickOn("Vorek", "Command1");
  QCoreApplication::processEvents();
  EXPECT_EQ(program.code.vorek.Quitter.Caption(), "Finir");
  // Afterwards the button answers again.
  clickOn("Vorek", "Quitter");
  EXPECT_EQ(program.code.vorek.Quitter.Caption(), "Quitter");
}

TEST(QtReliability, AFloatingPointFaultShowsTheFrenchErrorBoxThenEnds) {
  Hooked random(1, [] { return std::nanf(""); });
  Program program(random);
  QString text, title;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  bool voirRan = false;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    text = box->text();
    title = box->windowTitle();
    icon = box->icon();
    clickOn("Vorek", "Voir");  // nothing else runs while the error is shown
    voirRan = shownWindow("V_portrait") != nullptr;
    box->accept();
  });
  clickOn("Vorek", "Command1");
  EXPECT_EQ(text, QString::fromUtf8("Erreur d'exécution '6' :\n\nDépassement de capacité"));
  EXPECT_EQ(title, "Vorek");
  EXPECT_EQ(icon, QMessageBox::Critical);
  EXPECT_FALSE(voirRan);
  EXPECT_EQ(program.runtime.exitStatus(), 1);
  EXPECT_EQ(shownWindow("Vorek"), nullptr);
}

TEST(QtReliability, EndWithThePortraitOpenClosesEveryWindowAtOnce) {
  platform::MersenneRandom random(3u, [] { return 0.0; });
  Program program(random);
  clickOn("Vorek", "Voir");
  clickOn("Vorek", "Quitter");
  ASSERT_NE(shownWindow("V_portrait"), nullptr);
  ASSERT_NE(shownWindow("Sujet"), nullptr);
  clickOn("Sujet", "ok");
  EXPECT_EQ(program.runtime.exitStatus(), 0);
  EXPECT_EQ(shownWindow("V_portrait"), nullptr);
  EXPECT_EQ(shownWindow("Sujet"), nullptr);
}

TEST(QtReliability, ShuffleRestartAndQuitCyclesThroughTheViews) {
  // Each cycle builds and tears down every window; the sanitizer build shows any freed widget
  // touched and any leak.
  const char* setting = std::getenv("VOREK_CYCLES");
  const int cycles = setting ? std::atoi(setting) : 10'000;
  platform::MersenneRandom random(11u, [] { return 0.0; });
  for (int i = 0; i < cycles; ++i) {
    Program program(random);
    clickOn("Vorek", "Command1");
    clickOn("Vorek", "Quitter");
    clickOn("Vorek", "Quitter");
    clickOn("Sujet", "ok");
    ASSERT_EQ(program.runtime.exitStatus(), 0) << "cycle " << i;
  }
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty() ||
              std::none_of(QApplication::topLevelWidgets().begin(),
                           QApplication::topLevelWidgets().end(),
                           [](QWidget* w) { return w->isVisible(); }));
}

}  // namespace
