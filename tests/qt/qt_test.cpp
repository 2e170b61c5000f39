// qt_test.cpp: the real widgets, on Qt's offscreen platform: placement, clicks, pictures, texts.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFontMetrics>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QTest>

#include "../pictures.h"
#include "forms/forms.h"
#include "platform/layout.h"
#include "platform/qt_app.h"
#include "platform/scripted_random.h"
#include "qt_support.h"

namespace vorek_test {
namespace {

using platform::ControlKind;

// What a control shows as its text, whatever its kind.
QString shownText(QWidget* widget) {
  if (auto* button = qobject_cast<QPushButton*>(widget)) return button->text();
  if (auto* label = qobject_cast<QLabel*>(widget)) return label->text();
  if (auto* frame = qobject_cast<QGroupBox*>(widget)) return frame->title();
  return {};
}

// The form's window as the runtime lays it out at 96 dpi (Qt scales the rest): its title and
// size, every control's place, text and accessible name, and the tab order.
void expectAsLaidOut(QtProgram& program, int slot) {
  const platform::Form& form = program.runtime.form(slot);
  SCOPED_TRACE(std::string(form.design().name));
  QWidget* window = shownWindow(form.design().name);
  ASSERT_NE(window, nullptr);
  const platform::FormLayout layout = platform::layOut(form, 96, pictureSize);
  EXPECT_EQ(window->windowTitle(), qtext(form.design().caption));
  EXPECT_EQ(window->size(), QSize(layout.client.width, layout.client.height));
  for (std::size_t i = 0; i < layout.controls.size(); ++i) {
    const auto& row = form.design().controls[i];
    SCOPED_TRACE(std::string(row.name));
    QWidget* widget = window->findChild<QWidget*>(qtext(row.name));
    ASSERT_NE(widget, nullptr);
    const platform::PixelRect& rect = layout.controls[i].rect;
    EXPECT_EQ(QRect(widget->mapTo(window, QPoint(0, 0)), widget->size()),
              QRect(rect.left, rect.top, rect.width, rect.height));
    EXPECT_EQ(shownText(widget), qtext(form.loadedControl(static_cast<int>(i)).caption));
    EXPECT_EQ(widget->accessibleName(), qtext(layout.controls[i].accessibleName));
    // No button is the default one, which Return would press.
    if (auto* button = qobject_cast<QPushButton*>(widget)) {
      EXPECT_FALSE(button->isDefault());
      EXPECT_FALSE(button->autoDefault());
    }
  }
  // Tab goes from control to control in the layout's tab order, over the widgets that take none.
  std::vector<QWidget*> order;
  for (int k : layout.tabOrder)
    order.push_back(
        window->findChild<QWidget*>(qtext(form.design().controls[std::size_t(k)].name)));
  for (std::size_t i = 1; i < order.size(); ++i) {
    QWidget* next = order[i - 1]->nextInFocusChain();
    while (!(next->focusPolicy() & Qt::TabFocus)) next = next->nextInFocusChain();
    EXPECT_EQ(next, order[i]) << "Tab from " << order[i - 1]->objectName().toStdString();
  }
}

TEST(Widgets, EveryWindowStandsWhereTheLayoutSays) {
  QtProgram game;
  game.openEveryWindow();
  for (int slot : {forms::kVorek, forms::kPortrait, forms::kSujet}) expectAsLaidOut(game, slot);
  // Ok closes the portrait window alone.
  clickOn("V_portrait", "Command1");
  EXPECT_EQ(shownWindow("V_portrait"), nullptr);
  EXPECT_NE(shownWindow("Vorek"), nullptr);
}

TEST(Widgets, AClickOnAPieceMovesItOnScreen) {
  QtProgram game;
  clickOn("Vorek", "p20");
  clickOn("Vorek", "p19");
  ASSERT_EQ(game.code.vorek.p19.Left(), 3200.0f);
  expectAsLaidOut(game, forms::kVorek);
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

TEST(Widgets, EachBoxShowsItsPictureUnscaledInsideItsBorder) {
  QtProgram game;
  game.openEveryWindow();
  const int edge = platform::sunkenEdge(96);
  for (const platform::FormDesign* design : forms::project().forms) {
    for (const auto& row : design->controls) {
      if (row.kind != ControlKind::PictureBox) continue;
      SCOPED_TRACE(std::string(design->name) + "." + std::string(row.name));
      const QImage shown = shownBy(shownControl(design->name, row.name));
      const QImage picture =
          QImage(pictureResource(row.picture)).convertToFormat(QImage::Format_RGB32);
      ASSERT_FALSE(picture.isNull()) << "not among the resources";
      EXPECT_EQ(differingPixels(shown.copy(QRect(QPoint(edge, edge), picture.size())), picture), 0);
      // The border is drawn, not the picture, on the outer pixels.
      EXPECT_EQ(shown.pixel(0, 0), qRgb(128, 128, 128));
    }
  }
}

TEST(Widgets, APictureBoxMarksTheFocusWhenTheKeyboardBringsIt) {
  QtProgram game;
  QWidget* p2 = shownControl("Vorek", "p2");
  QWidget* p3 = shownControl("Vorek", "p3");
  QWidget* window = shownWindow("Vorek");
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

TEST(Captions, EveryCaptionAndTextFitsItsControl) {
  QtProgram game;
  game.openEveryWindow();
  int buttons = 0;
  for (auto* window : {"Vorek", "V_portrait", "Sujet"}) {
    for (QPushButton* button : shownWindow(window)->findChildren<QPushButton*>()) {
      SCOPED_TRACE(button->text().toStdString());
      const QFontMetrics metrics(button->font());
      const QRect room = captionRoom(button);
      EXPECT_LE(metrics.horizontalAdvance(button->text()), room.width());
      EXPECT_LE(metrics.height(), room.height());
      ++buttons;
    }
  }
  EXPECT_EQ(buttons, 5);
  for (QLabel* label : shownWindow("Sujet")->findChildren<QLabel*>()) {
    SCOPED_TRACE(label->objectName().toStdString());
    EXPECT_TRUE(label->wordWrap());
    // Broken at spaces inside the label's design width, every line fits within its height.
    const QFontMetrics metrics(label->font());
    const QRect needed = metrics.boundingRect(QRect(0, 0, label->width(), 10'000),
                                              Qt::TextWordWrap | Qt::AlignHCenter, label->text());
    EXPECT_LE(needed.width(), label->width());
    EXPECT_LE(needed.height(), label->height())
        << needed.height() / metrics.lineSpacing() << " lines";
  }
}

TEST(Captions, ProgramFontIsTheOneAsked) {
  const QFont font = QApplication::font();
  EXPECT_EQ(font.family(), qtext(forms::project().font.family));
  EXPECT_EQ(font.pointSize(), forms::project().font.pointSize);
  // The family is really there, not a substitute.
  EXPECT_EQ(QFontInfo(font).family(), qtext(forms::project().font.family));
}

TEST(MessageBox, BravoIsTitledVorekWithOneOkAndNoIcon) {
  platform::ScriptedRandom sameDraw({0.01f});  // every draw names p1
  QtProgram game(sameDraw);
  clickOn("Vorek", "Command1");
  QString title, prompt;
  int buttons = -1;
  QMessageBox::Icon icon = QMessageBox::Critical;
  whileBoxOpen([&](QMessageBox& box) {
    title = box.windowTitle();
    prompt = box.text();
    icon = box.icon();
    buttons = static_cast<int>(box.buttons().size());
    // While the box is open, a click on the main window reaches no handler.
    clickOn("Vorek", "Quitter");
  });
  ASSERT_NO_FATAL_FAILURE(clickOn("Vorek", "p20"));
  EXPECT_EQ(prompt, "Bravo !");
  EXPECT_EQ(title, "Vorek");
  EXPECT_EQ(buttons, 1);
  EXPECT_EQ(icon, QMessageBox::NoIcon);
  EXPECT_EQ(game.code.vorek.Quitter.Caption(), "Quitter");
  EXPECT_NE(shownWindow("Vorek"), nullptr);
}

TEST(Identification, IconsAndFrenchToolkitTexts) {
  QtProgram game;
  EXPECT_FALSE(QApplication::windowIcon().isNull());
  EXPECT_EQ(QApplication::windowIcon().availableSizes().value(0), QSize(32, 32));
  EXPECT_FALSE(shownWindow("Vorek")->windowIcon().isNull());
  EXPECT_EQ(QCoreApplication::applicationVersion(), "1.00");
  EXPECT_EQ(QLocale().language(), QLocale::French);
  const QString translations = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  if (!QFile::exists(translations + "/qtbase_fr.qm")) GTEST_SKIP() << "no French Qt translations";
  EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), "Annuler");
}

}  // namespace
}  // namespace vorek_test
