// qt_test.cpp: the real widgets, on Qt's offscreen platform: placement, clicks, pictures, texts.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QTest>
#include <QTimer>

#include "../tile_cut.h"
#include "forms/forms.h"
#include "platform/qt_app.h"
#include "qt_support.h"

namespace {

using platform::ControlKind;
using platform::toPixels;

// The program with a fixed generator, and its windows reached by name.
struct QtGame {
  platform::MersenneRandom random{7u, [] { return 0.0; }};
  vorek_test::QtProgram running{random};
  forms::Program& program = running.code;

  static QWidget* window(const char* name) { return vorek_test::shownWindow(name); }
  static QWidget* control(const char* form, const char* name) {
    return vorek_test::shownControl(form, name);
  }
  static void click(const char* form, const char* name) { vorek_test::clickOn(form, name); }
};

QString text(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

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

// What a widget shows, in one pixel format for comparisons.
QImage shownBy(QWidget* widget) {
  return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QImage picture(const QString& resource) {
  return QImage(resource).convertToFormat(QImage::Format_RGB32);
}

TEST(MainWindowWidgets, EachBoxShowsItsPictureUnscaledInsideItsBorder) {
  QtGame game;
  for (const auto& row : forms::kVorekDesign.controls) {
    if (row.kind != ControlKind::PictureBox) continue;
    SCOPED_TRACE(std::string(row.name));
    QWidget* box = QtGame::control("Vorek", std::string(row.name).c_str());
    const QImage shown = shownBy(box);
    const QImage tile = picture(vorek_test::pictureResource(row.picture));
    ASSERT_EQ(tile.size(), QSize(50, 50));
    EXPECT_EQ(differingPixels(shown.copy(2, 2, 50, 50), tile), 0);
    // The border is drawn, not the picture, on the outer two pixels.
    EXPECT_EQ(shown.pixel(0, 0), qRgb(128, 128, 128));
  }
}

TEST(MainWindowWidgets, APictureBoxMarksTheFocusWhenTheKeyboardBringsIt) {
  QtGame game;
  QWidget* p2 = QtGame::control("Vorek", "p2");
  QWidget* p3 = QtGame::control("Vorek", "p3");
  QWidget* window = QtGame::window("Vorek");
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window));
  const QImage plain = shownBy(p3);
  p3->setFocus(Qt::MouseFocusReason);
  ASSERT_TRUE(p3->hasFocus());
  EXPECT_EQ(differingPixels(shownBy(p3), plain), 0) << "a clicked piece shows no mark";
  p2->setFocus(Qt::MouseFocusReason);
  QTest::keyClick(p2, Qt::Key_Tab);
  ASSERT_TRUE(p3->hasFocus());
  const QImage marked = shownBy(p3);
  EXPECT_GT(differingPixels(marked.copy(2, 2, 50, 50), plain.copy(2, 2, 50, 50)), 100);
  EXPECT_EQ(differingPixels(marked.copy(0, 0, 54, 2), plain.copy(0, 0, 54, 2)), 0)
      << "the mark stands inside the border";
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
  EXPECT_EQ(font.family(), text(forms::project().font.family));
  EXPECT_EQ(font.pointSize(), forms::project().font.pointSize);
  // The family is really there, not a substitute.
  EXPECT_EQ(QFontInfo(font).family(), text(forms::project().font.family));
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
  vorek_test::whileBoxOpen([&](QMessageBox& box) {
    title = box.windowTitle();
    prompt = box.text();
    icon = box.icon();
    buttons = static_cast<int>(box.buttons().size());
    // While the box is open, a click on the main window reaches no handler.
    QtGame::click("Vorek", "Quitter");
  });
  ASSERT_NO_FATAL_FAILURE(QtGame::click("Vorek", "p20"));
  EXPECT_EQ(prompt, "Bravo !");
  EXPECT_EQ(title, "Vorek");
  EXPECT_EQ(buttons, 1);
  EXPECT_EQ(icon, QMessageBox::NoIcon);
  EXPECT_EQ(program.vorek.Quitter.Caption(), "Quitter");
  EXPECT_NE(QtGame::window("Vorek"), nullptr);
}

TEST(PortraitWindow, ShowsTheWholePortraitAndItsOkButton) {
  QtGame game;
  QtGame::click("Vorek", "Voir");
  QWidget* window = QtGame::window("V_portrait");
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->windowTitle(), "Vorek");
  EXPECT_EQ(window->size(), QSize(255, 244));
  QWidget* box = QtGame::control("V_portrait", "Picture1");
  EXPECT_EQ(box->geometry(), QRect(0, 0, 255, 205));
  EXPECT_EQ(differingPixels(shownBy(box).copy(2, 2, 251, 201), picture(":/pictures/portrait.bmp")),
            0);
  EXPECT_EQ(QtGame::control("V_portrait", "Command1")->geometry(), QRect(88, 216, 73, 25));
  QtGame::click("V_portrait", "Command1");
  EXPECT_EQ(QtGame::window("V_portrait"), nullptr);
  EXPECT_NE(QtGame::window("Vorek"), nullptr);
}

TEST(PortraitWindow, TheTilesOnTheirHomeCellsShowThePortraitSquareBySquare) {
  QtGame game;
  const QImage portrait = picture(":/pictures/portrait.bmp");
  for (int k = 1; k <= 20; ++k) {
    SCOPED_TRACE(k);
    QWidget* box = QtGame::control("Vorek", ("p" + std::to_string(k)).c_str());
    const vorek_test::TileOrigin o = vorek_test::tileOrigin(k);
    EXPECT_EQ(differingPixels(shownBy(box).copy(2, 2, 50, 50),
                              portrait.copy(QRect(QPoint(o.x, o.y), QSize(50, 50)))),
              0);
  }
}

TEST(AboutWindow, ShowsBothTextsWhole) {
  QtGame game;
  QtGame::click("Vorek", "Quitter");
  QWidget* window = QtGame::window("Sujet");
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->windowTitle(), "A propos de Tralden");
  EXPECT_EQ(window->size(), QSize(313, 250));
  EXPECT_EQ(QtGame::window("Vorek"), nullptr);
  for (const auto& [name, expected] :
       {std::pair{"prog", forms::kTermsText}, std::pair{"auteur", forms::kAuthorText}}) {
    SCOPED_TRACE(name);
    auto* label = qobject_cast<QLabel*>(QtGame::control("Sujet", name));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), text(expected));
    EXPECT_TRUE(label->wordWrap());
    // Broken at spaces inside the label's design width, every line fits within its height.
    const QFontMetrics metrics(label->font());
    const QRect needed = metrics.boundingRect(QRect(0, 0, label->width(), 10'000),
                                              Qt::TextWordWrap | Qt::AlignHCenter, label->text());
    EXPECT_LE(needed.width(), label->width());
    EXPECT_LE(needed.height(), label->height())
        << needed.height() / metrics.lineSpacing() << " lines";
    EXPECT_TRUE(label->parentWidget()->geometry().contains(
        label->geometry().translated(label->parentWidget()->pos())));
  }
}

TEST(Identification, IconsAndFrenchToolkitTexts) {
  QtGame game;
  EXPECT_FALSE(QApplication::windowIcon().isNull());
  EXPECT_EQ(QApplication::windowIcon().availableSizes().value(0), QSize(32, 32));
  EXPECT_FALSE(QtGame::window("Vorek")->windowIcon().isNull());
  EXPECT_EQ(QCoreApplication::applicationVersion(), "1.00");
  EXPECT_EQ(QLocale().language(), QLocale::French);
  const QString translations = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  if (!QFile::exists(translations + "/qtbase_fr.qm")) GTEST_SKIP() << "no French Qt translations";
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Annuler");
}

TEST(Resources, EveryDesignPictureIsThereAtItsSize) {
  for (const platform::FormDesign* design : forms::project().forms) {
    for (const auto& row : design->controls) {
      if (row.picture.empty()) continue;
      SCOPED_TRACE(std::string(row.picture));
      const QImage image(vorek_test::pictureResource(row.picture));
      ASSERT_FALSE(image.isNull());
      const QSize expected = design == &forms::kPortraitDesign ? QSize(251, 201)
                             : design == &forms::kSujetDesign  ? QSize(32, 32)
                                                               : QSize(50, 50);
      EXPECT_EQ(image.size(), expected);
    }
  }
  EXPECT_EQ(QImage(":/pictures/vorek.ico").size(), QSize(32, 32));
}

TEST(Accessibility, PicturesHaveFrenchNamesAndPiecesTheirNumber) {
  QtGame game;
  for (const platform::FormDesign* design : forms::project().forms) {
    for (const auto& row : design->controls) {
      if (row.kind != ControlKind::PictureBox) continue;
      bool named = false;
      for (const auto& a : design->accessibleNames) named = named || a.control == row.name;
      EXPECT_TRUE(named) << design->name << "." << row.name;
    }
  }
  EXPECT_EQ(QtGame::control("Vorek", "p7")->accessibleName(), "Pièce 7");
  EXPECT_EQ(QtGame::control("Vorek", "p20")->accessibleName(), "Pièce 20");
  EXPECT_EQ(QtGame::control("Vorek", "p0")->accessibleName(), "Case libre");
}

}  // namespace
