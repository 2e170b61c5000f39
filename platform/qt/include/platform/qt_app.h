// qt_app.h: the Qt host, the form runtime on Qt Widgets. No Qt type appears here; Qt stays in
// the host's sources.
#pragma once

#include <functional>
#include <memory>

#include "platform/design.h"
#include "platform/host.h"
#include "platform/program.h"
#include "platform/runtime.h"

namespace platform {

// Where the Qt host finds a design's picture: the compiled-in resource of that file name.
inline constexpr const char* kPictureResourcePrefix = ":/pictures/";

// Runs the project: checks for a display, sets up the application (title, version, French
// locale and Qt's French texts, font, icon), opens the first form and delivers events until the
// program ends. Returns the exit status.
int runOnQt(int argc, char** argv, const ProjectRecord& project, const ProgramFactory& program);

// What runOnQt sets up on an application that exists already; tests call it after making
// their own QApplication.
void setUpApplication(const ProjectRecord& project);

// The real windows. One QtHost serves one runtime; a QApplication must exist.
class QtHost final : public Host {
 public:
  QtHost();
  ~QtHost() override;

  void attach(Runtime& runtime) override;
  void loaded(const Form& form) override;
  void shown(const Form& form) override;
  void unloaded(const Form& form) override;
  void changed(const Form& form, int index, Change what) override;
  void messageBox(std::string_view prompt, std::string_view title) override;
  void errorBox(std::string_view text, std::string_view title) override;
  void quit(int status) override;

 private:
  struct Views;
  std::unique_ptr<Views> views_;
};

}  // namespace platform
