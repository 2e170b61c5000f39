// qt_support.cpp: helpers of the offscreen tests, and their main, which needs no display.
#include "qt_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <algorithm>

namespace vorek_test {

QtProgram::QtProgram(platform::Random& random)
    : runtime(forms::project(), host, random), code(runtime) {
  runtime.start();
}

void QtProgram::openEveryWindow() {
  clickOn("Vorek", "Voir");
  clickOn("Vorek", "Quitter");
  runtime.dispatch([this] { runtime.form(forms::kVorek).Show(); });
  QCoreApplication::processEvents();
}

QString qtext(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QWidget* shownWindow(std::string_view form) {
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (top->objectName() == qtext(form) && top->isVisible()) return top;
  }
  return nullptr;
}

int shownWindows(std::string_view form) {
  const auto tops = QApplication::topLevelWidgets();
  return static_cast<int>(std::count_if(tops.begin(), tops.end(), [form](QWidget* top) {
    return top->objectName() == qtext(form) && top->isVisible();
  }));
}

QWidget* shownControl(std::string_view form, std::string_view control) {
  QWidget* top = shownWindow(form);
  return top ? top->findChild<QWidget*>(qtext(control)) : nullptr;
}

void whileBoxOpen(std::function<void(QMessageBox&)> inspect) {
  QTimer::singleShot(0, [inspect = std::move(inspect)] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) {
      ADD_FAILURE() << "expected a message box to be open";
      return;
    }
    inspect(*box);
    box->done(QMessageBox::Ok);
  });
}

QString pictureResource(std::string_view name) {
  return QLatin1String(platform::kPictureResourcePrefix) + qtext(name);
}

void clickOn(std::string_view form, std::string_view control) {
  QWidget* widget = shownControl(form, control);
  ASSERT_NE(widget, nullptr) << form << "." << control;
  QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(5, 5));
  // What the event loop does once the click is handled: repaints, and frees unloaded windows.
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace vorek_test

int main(int argc, char** argv) {
  // Test discovery and CI run without a display.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  platform::setUpApplication(forms::project());
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
