// main_win32.cpp: the program's entry on Windows, which hands the project record to the runtime.
#include <windows.h>

#include "forms/forms.h"
#include "platform/win32_app.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  return platform::runOnWin32(forms::project(), [](platform::Runtime& runtime) {
    return std::make_unique<forms::Program>(runtime);
  });
}
