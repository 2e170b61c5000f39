// qt_support.h: the program on real widgets for the offscreen tests, and ways to reach them.
#pragma once

#include <QString>
#include <QWidget>
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
QWidget* shownControl(const char* form, const char* control);
// The Qt resource that holds the design's picture of this file name.
QString pictureResource(std::string_view name);
// A left click in the control, as the player's mouse gives it; windows unloaded by it are freed.
void clickOn(const char* form, const char* control);

}  // namespace vorek_test
