// qt_support.h: the program on real widgets for the offscreen tests, and ways to reach them.
#pragma once

#include <QMessageBox>
#include <QString>
#include <QWidget>
#include <functional>
#include <string_view>

#include "forms/forms.h"
#include "platform/qt_app.h"
#include "platform/random.h"

namespace vorek_test {

// The whole program on the Qt host, started: its main window is shown. Without a generator of
// its own, it deals from a fixed seed.
struct QtProgram {
  explicit QtProgram(platform::Random& random);
  QtProgram() : QtProgram(fixed) {}

  platform::MersenneRandom fixed{7u, [] { return 0.0; }};
  platform::QtHost host;
  platform::Runtime runtime;
  forms::Program code;

  // Every window at once: the portrait, the About window, and the main window shown again.
  void openEveryWindow();
};

// The runtime's texts are UTF-8.
QString qtext(std::string_view text);
// A shown top-level window by its form's name, or one of its controls; nullptr when absent.
QWidget* shownWindow(std::string_view form);
// How many shown top-level windows belong to the form: never more than one.
int shownWindows(std::string_view form);
QWidget* shownControl(std::string_view form, std::string_view control);
// Once the next message box is open, runs `inspect` on it and then closes it, even when a
// fatal check in `inspect` has failed, so that a failing test ends instead of waiting on the box.
// Wrap the action that opens the box in ASSERT_NO_FATAL_FAILURE to stop the test there.
void whileBoxOpen(std::function<void(QMessageBox&)> inspect);
// The Qt resource that holds the design's picture of this file name.
QString pictureResource(std::string_view name);
// A left click in the control, as the player's mouse gives it; windows unloaded by it are freed.
void clickOn(std::string_view form, std::string_view control);

}  // namespace vorek_test
