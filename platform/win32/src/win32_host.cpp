// win32_host.cpp: the Win32 host, which builds, updates and tears down the forms' windows.
#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "form_window.h"
#include "mouse_release.h"
#include "picture_box.h"
#include "pictures.h"
#include "platform/form.h"
#include "platform/win32_app.h"
#include "wide.h"

namespace platform {
namespace {

// Every form window of this thread, loaded or waiting to be destroyed.
std::vector<HWND> formWindows() {
  std::vector<HWND> found;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM list) {
        if (FormWindow::of(hwnd) != nullptr) reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

// A box over every window of the program: they are disabled while it is open, as a task-modal
// box does, so that no click reaches them.
void runBox(std::string_view text, std::string_view title, UINT style) {
  std::vector<HWND> disabled;
  for (HWND hwnd : formWindows()) {
    if (IsWindowEnabled(hwnd)) {
      EnableWindow(hwnd, FALSE);
      disabled.push_back(hwnd);
    }
  }
  MessageBoxW(nullptr, wide(text).c_str(), wide(title).c_str(),
              MB_OK | MB_TASKMODAL | MB_SETFOREGROUND | style);
  for (HWND hwnd : disabled) {
    if (IsWindow(hwnd)) EnableWindow(hwnd, TRUE);
  }
}

}  // namespace

struct Win32Host::Windows {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  Runtime* runtime = nullptr;
  Pictures pictures{instance};
  WindowClasses classes;  // named once the runtime, and so the project, is known
  std::map<int, FormWindow*> loaded;  // the window of each loaded form, by slot
  bool ended = false;
  // For as long as the host serves this thread.
  std::unique_ptr<HHOOK__, decltype(&UnhookWindowsHookEx)> releases{hookMouseReleases(),
                                                                    &UnhookWindowsHookEx};

  // Tab and Shift+Tab move through the design's tab order of the window that has the focus.
  bool preTranslate(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_TAB) return false;
    FormWindow* window = FormWindow::of(GetAncestor(msg.hwnd, GA_ROOT));
    if (window == nullptr) return false;
    window->tab(GetKeyState(VK_SHIFT) < 0);
    return true;
  }

  // One message; false when it was WM_QUIT.
  bool deliver(MSG& msg) {
    if (msg.message == WM_QUIT) {
      ended = true;
      return false;
    }
    if (!preTranslate(msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    return true;
  }
};

Win32Host::Win32Host() : windows_(std::make_unique<Windows>()) {}

Win32Host::~Win32Host() {
  for (HWND hwnd : formWindows()) DestroyWindow(hwnd);
  // The quit of this run is not the next one's, should another host serve this thread.
  MSG msg;
  PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}

std::wstring formWindowClass(const ProjectRecord& project) {
  return wide(project.identity.windowClass) + L"Form";
}

std::wstring pictureBoxClass(const ProjectRecord& project) {
  return wide(project.identity.windowClass) + L"PictureBox";
}

void Win32Host::attach(Runtime& runtime) {
  windows_->runtime = &runtime;
  WindowClasses& classes = windows_->classes;
  classes = {formWindowClass(runtime.project()), pictureBoxClass(runtime.project())};
  // The program's icon is icon group 1 of the executable, when it has one. A class registered
  // already (by an earlier host of the program) stays as it is.
  registerFormWindowClass(windows_->instance, classes.form.c_str(),
                          LoadIconW(windows_->instance, MAKEINTRESOURCEW(1)));
  registerPictureBoxClass(windows_->instance, classes.pictureBox.c_str());
}

void Win32Host::loaded(const Form& form) {
  windows_->loaded[form.slot()] =
      FormWindow::create(windows_->instance, *windows_->runtime, form, windows_->pictures,
                         windows_->classes);
}

void Win32Host::shown(const Form& form) { windows_->loaded.at(form.slot())->show(); }

void Win32Host::unloaded(const Form& form) {
  auto found = windows_->loaded.find(form.slot());
  if (found == windows_->loaded.end()) return;
  // Hidden now, destroyed once the running event is over: the handler that unloads a window may
  // have been called from one of its own controls.
  found->second->retire();
  windows_->loaded.erase(found);
}

void Win32Host::changed(const Form& form, int index, Change what) {
  windows_->loaded.at(form.slot())->follow(index, what);
}

void Win32Host::messageBox(std::string_view prompt, std::string_view title) {
  runBox(prompt, title, 0);
}

void Win32Host::errorBox(std::string_view text, std::string_view title) {
  runBox(text, title, MB_ICONERROR);
}

void Win32Host::quit(int status) {
  windows_->ended = true;
  PostQuitMessage(status);
}

int Win32Host::run() {
  MSG msg;
  int got;
  while ((got = GetMessageW(&msg, nullptr, 0, 0)) > 0) windows_->deliver(msg);
  windows_->ended = true;
  return got == 0 ? static_cast<int>(msg.wParam) : 1;
}

bool Win32Host::processPending() {
  MSG msg;
  while (!windows_->ended && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) windows_->deliver(msg);
  return !windows_->ended;
}

}  // namespace platform
