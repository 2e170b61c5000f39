// win32_app.cpp: the program's start on Windows: common controls, French texts, the event loop.
#include <windows.h>

#include <commctrl.h>

#include "platform/random.h"
#include "platform/win32_app.h"

namespace platform {

int runOnWin32(const ProjectRecord& project, const ProgramFactory& program) {
  // The system's own texts (the OK of the message boxes) in the project's language, where the
  // system has them.
  SetThreadUILanguage(static_cast<LANGID>(project.locale));
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  Win32Host host;
  MersenneRandom random;
  Runtime runtime(project, host, random);
  const std::unique_ptr<ProgramCode> code = program(runtime);
  runtime.start();
  if (runtime.ended()) return *runtime.exitStatus();
  const int status = host.run();
  return runtime.exitStatus().value_or(status);
}

}  // namespace platform
