// qt_test.cpp: the real widgets, on Qt's offscreen platform: placement, clicks, pictures, texts.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QTest>
#include <QTimer>

#include "forms/forms.h"
#include "platform/qt_app.h"

namespace {

using platform::ControlKind;
using platform::toPixels;

// The whole program on real widgets, as the player's windows.
struct QtGame {
  platform::QtHost host;
  platform::MersenneRandom random{7u, [] { return 0.0; }};
  platform::Runtime runtime{forms::project(), host, random};
  forms::Program program{runtime};

  QtGame() { runtime.start(); }

  static QWidget* window(const char* name) {
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (top->objectName() == QLatin1String(name) && top->isVisible()) return top;
    }
    return nullptr;
  }
  static QWidget* control(const char* window, const char* name) {
    QWidget* top = QtGame::window(window);
    return top ? top->findChild<QWidget*>(QLatin1String(name)) : nullptr;
  }
  static void click(const char* window, const char* name) {
    QWidget* widget = control(window, name);
    ASSERT_NE(widget, nullptr) << name;
    QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(10, 10));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
};

QString text(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

TEST(MainWindowWidgets, StandAtTheDesignsPixelPositions) {
  QtGame game;
  QWidget* window = QtGame::window("Vorek");
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->windowTitle(), "Vorek");
  EXPECT_EQ(window->size(), QSize(323, 213));
  for (const auto& row : forms::kVorekDesign.controls) {
    SCOPED_TRACE(std::string(row.name));
    QWidget* widget = window->findChild<QWidget*>(text(row.name));
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->geometry(), QRect(toPixels(row.left), toPixels(row.top), toPixels(row.width),
                                        toPixels(row.height)));
  }
  // Twips / 15, rounded: p2 at 53 px, p20 at (213, 160), p0 on the parking cell at (267, 160).
  EXPECT_EQ(QtGame::control("Vorek", "p2")->pos(), QPoint(53, 0));
  EXPECT_EQ(QtGame::control("Vorek", "p20")->pos(), QPoint(213, 160));
  EXPECT_EQ(QtGame::control("Vorek", "p0")->pos(), QPoint(267, 160));
}

TEST(MainWindowWidgets, NoButtonIsDefaultAndTheTabOrderFollowsTheDesign) {
  QtGame game;
  for (const char* name : {"Voir", "Command1", "Quitter"}) {
    auto* button = qobject_cast<QPushButton*>(QtGame::control("Vorek", name));
    ASSERT_NE(button, nullptr);
    EXPECT_FALSE(button->isDefault());
    EXPECT_FALSE(button->autoDefault());
  }
  QWidget* p15 = QtGame::control("Vorek", "p15");
  EXPECT_EQ(p15->nextInFocusChain(), QtGame::control("Vorek", "p17"));  // p16 is 20th
  EXPECT_EQ(QtGame::control("Vorek", "p0")->nextInFocusChain(), QtGame::control("Vorek", "p16"));
}

TEST(MainWindowWidgets, AClickOnAPieceMovesItOnScreen) {
  QtGame game;
  QtGame::click("Vorek", "p20");
  EXPECT_EQ(QtGame::control("Vorek", "p20")->pos(), QPoint(267, 160));
  EXPECT_EQ(QtGame::control("Vorek", "p0")->pos(), QPoint(213, 160));
  QtGame::click("Vorek", "p19");
  EXPECT_EQ(QtGame::control("Vorek", "p19")->pos(), QPoint(213, 160));
  EXPECT_EQ(QtGame::control("Vorek", "p0")->pos(), QPoint(160, 160));
  EXPECT_EQ(game.program.vorek.p19.Left(), 3200.0f);
}

int differingPixels(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return -1;
  int count = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) count += a.pixel(x, y) != b.pixel(x, y) ? 1 : 0;
  }
  return count;
}

TEST(MainWindowWidgets, EachBoxShowsItsPictureUnscaledInsideItsBorder) {
  QtGame game;
  for (const auto& row : forms::kVorekDesign.controls) {
    if (row.kind != ControlKind::PictureBox) continue;
    SCOPED_TRACE(std::string(row.name));
    QWidget* box = QtGame::control("Vorek", std::string(row.name).c_str());
    const QImage shown = box->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage picture = QImage(text(row.picture)).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(picture.size(), QSize(50, 50));
    EXPECT_EQ(differingPixels(shown.copy(2, 2, 50, 50), picture), 0);
    // The border is drawn, not the picture, on the outer two pixels.
    EXPECT_EQ(shown.pixel(0, 0), qRgb(128, 128, 128));
  }
}

// The rectangle a button gives its caption, after the style's frame and margins.
QRect captionRoom(QPushButton* button) {
  QStyleOptionButton option;
  option.initFrom(button);
  option.text = button->text();
  return button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
}

TEST(Captions, EveryButtonCaptionFitsItsButton) {
  QtGame game;
  QtGame::click("Vorek", "Voir");
  std::vector<QPushButton*> buttons;
  for (const char* window : {"Vorek", "V_portrait"}) {
    for (auto* b : QtGame::window(window)->findChildren<QPushButton*>()) buttons.push_back(b);
  }
  ASSERT_EQ(buttons.size(), 4u);
  for (QPushButton* button : buttons) {
    SCOPED_TRACE(button->text().toStdString());
    const QFontMetrics metrics(button->font());
    const QRect room = captionRoom(button);
    EXPECT_LE(metrics.horizontalAdvance(button->text()), room.width());
    EXPECT_LE(metrics.height(), room.height());
  }
}

TEST(Captions, ProgramFontIsTheOneAsked) {
  const QFont font = QApplication::font();
  EXPECT_EQ(font.family(), QLatin1String(platform::kProgramFont.family));
  EXPECT_EQ(font.pointSize(), platform::kProgramFont.pointSize);
  // The family is really there, not a substitute.
  EXPECT_EQ(QFontInfo(font).family(), QLatin1String(platform::kProgramFont.family));
}

TEST(MessageBox, BravoIsTitledVorekWithOneOkAndNoIcon) {
  platform::ScriptedRandom sameDraw({0.01f});  // every draw names p1
  platform::QtHost host;
  platform::Runtime runtime(forms::project(), host, sameDraw);
  forms::Program program(runtime);
  runtime.start();
  QtGame::click("Vorek", "Command1");
  QString title, prompt;
  int buttons = -1;
  QMessageBox::Icon icon = QMessageBox::Critical;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    title = box->windowTitle();
    prompt = box->text();
    icon = box->icon();
    buttons = static_cast<int>(box->buttons().size());
    // While the box is open, a click on the main window reaches no handler.
    QtGame::click("Vorek", "Quitter");
    box->accept();
  });
  QtGame::click("Vorek", "p20");
  EXPECT_EQ(prompt, "Bravo !");
  EXPECT_EQ(title, "Vorek");
  EXPECT_EQ(buttons, 1);
  EXPECT_EQ(icon, QMessageBox::NoIcon);
  EXPECT_EQ(program.vorek.Quitter.Caption(), "Quitter");
  EXPECT_NE(QtGame::window("Vorek"), nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  // Discovery and CI run without a display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  platform::setUpApplication(forms::project());
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
