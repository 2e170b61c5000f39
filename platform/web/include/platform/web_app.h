// web_app.h: the web host, the form runtime as windows drawn inside one browser page.
#pragma once

#include <span>
#include <string_view>

#include "platform/design.h"
#include "platform/host.h"
#include "platform/program.h"
#include "platform/runtime.h"

namespace platform {

// A picture that the page carries, by its file name, with its size in pixels.
struct PictureInfo {
  std::string_view name;
  int width;
  int height;
};

// The designs' pictures, which vorek_add_pictures() puts in the page as data: URLs.
std::span<const PictureInfo> embeddedPictures();

// Starts the project in the page and returns at once: the runtime, the host and the program's
// code outlive main, and every later event comes from the page's script. The program's icon
// becomes the page's favicon. Returns 0, or the exit status when the program ended at start.
int runOnWeb(const ProjectRecord& project, const ProgramFactory& program);

// The page's windows. One WebHost serves one runtime; the page script does the drawing.
class WebHost final : public Host {
 public:
  void attach(Runtime&) override {}
  void loaded(const Form& form) override;
  void shown(const Form& form) override;
  void unloaded(const Form& form) override;
  void changed(const Form& form, int index, Change what) override;
  void messageBox(std::string_view prompt, std::string_view title) override;
  void errorBox(std::string_view text, std::string_view title) override;
  void quit(int status) override;
};

}  // namespace platform
