// qt_support.h: the program on real widgets for the offscreen tests, and ways to reach them.
#pragma once

#include <QMessageBox>
#include <QString>
#include <QWidget>
#include <functional>
#include <string_view>

#include "forms/forms.h"
#include "platform/qt_app.h"

namespace vorek_test {

// The whole program on the Qt host, started: its main window is shown.
struct QtProgram {
  explicit QtProgram(platform::Random& random);

  platform::QtHost host;
  platform::Runtime runtime;
  forms::Program code;
};

// A shown top-level window by its form's name, or one of its controls; nullptr when absent.
QWidget* shownWindow(const char* form);
// How many shown top-level windows belong to the form: never more than one.
int shownWindows(const char* form);
QWidget* shownControl(const char* form, const char* control);
// Once the next message box is open, runs `inspect` on it and then closes it, even when a
// fatal check in `inspect` has failed, so that a failing test ends instead of waiting on the box.
// Wrap the action that opens the box in ASSERT_NO_FATAL_FAILURE to stop the test there.
void whileBoxOpen(std::function<void(QMessageBox&)> inspect);
// The Qt resource that holds the design's picture of this file name.
QString pictureResource(std::string_view name);
// A left click in the control, as the player's mouse gives it; windows unloaded by it are freed.
void clickOn(const char* form, const char* control);

}  // namespace vorek_test
