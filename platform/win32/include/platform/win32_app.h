// win32_app.h: the Win32 host, the form runtime on the Windows API. No Windows type appears here;
// windows.h stays in the host's sources.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/design.h"
#include "platform/host.h"
#include "platform/program.h"
#include "platform/runtime.h"

namespace platform {

// The window classes of the forms and of the picture boxes, as seen from outside: the project's
// window class followed by "Form" and "PictureBox".
std::wstring formWindowClass(const ProjectRecord& project);
std::wstring pictureBoxClass(const ProjectRecord& project);
// The first control's identifier; the others follow in design order. IDOK and IDCANCEL are
// below it, so that no control is taken for the window's default or cancel button.
inline constexpr int kFirstControlId = 100;

// Runs the project on this thread: sets the common controls and the French user interface up,
// opens the first form and delivers events until the program ends. Returns the exit status.
int runOnWin32(const ProjectRecord& project, const ProgramFactory& program);

// The real windows. One Win32Host serves one runtime, on the thread that made it.
class Win32Host final : public Host {
 public:
  Win32Host();
  ~Win32Host() override;
  Win32Host(const Win32Host&) = delete;
  Win32Host& operator=(const Win32Host&) = delete;

  void attach(Runtime& runtime) override;
  void loaded(const Form& form) override;
  void shown(const Form& form) override;
  void unloaded(const Form& form) override;
  void changed(const Form& form, int index, Change what) override;
  void messageBox(std::string_view prompt, std::string_view title) override;
  void errorBox(std::string_view text, std::string_view title) override;
  void quit(int status) override;

  // The event loop: delivers messages until the program ends, and returns its exit status.
  int run();
  // Delivers the messages already waiting, as the loop does; false once the program has ended.
  bool processPending();

 private:
  struct Windows;
  std::unique_ptr<Windows> windows_;
};

}  // namespace platform
