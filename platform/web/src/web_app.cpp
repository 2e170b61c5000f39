// web_app.cpp: the program's start in the page, and the entries through which the page's events
// reach the runtime.
#include "platform/web_app.h"

#include <emscripten/emscripten.h>

#include <cstdint>
#include <memory>
#include <string>

#include "web_page.h"

namespace platform {
namespace {

// Everything the run needs, kept on the heap for the life of the page: main returns at once.
struct WebProgram {
  WebProgram(const ProjectRecord& project, const ProgramFactory& program)
      : runtime(project, host, random), code(program(runtime)) {}

  WebHost host;
  MersenneRandom random;
  Runtime runtime;
  std::unique_ptr<ProgramCode> code;
};

WebProgram* running = nullptr;

}  // namespace

int runOnWeb(const ProjectRecord& project, const ProgramFactory& program) {
  if (!project.forms.empty() && !project.forms[0]->icon.empty()) {
    const std::string icon(project.forms[0]->icon);
    for (const PictureInfo& info : embeddedPictures()) {
      if (info.name == icon) vorek_js_program_icon(icon.c_str());
    }
  }
  running = new WebProgram(project, program);
  running->runtime.start();
  return running->runtime.exitStatus().value_or(0);
}

}  // namespace platform

// The page calls these, one at a time, for the player's clicks and title-bar closes. The
// generation tells the runtime which load of the form built the window (exact below 2^53).
extern "C" {

EMSCRIPTEN_KEEPALIVE void vorek_click(int slot, double generation, int index) {
  if (platform::running != nullptr)
    platform::running->runtime.click(slot, static_cast<std::uint64_t>(generation), index);
}

EMSCRIPTEN_KEEPALIVE void vorek_close(int slot, double generation) {
  if (platform::running != nullptr)
    platform::running->runtime.closeRequest(slot, static_cast<std::uint64_t>(generation));
}
}
