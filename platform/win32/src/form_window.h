// form_window.h: the top-level window of a loaded form, and its controls.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "pictures.h"
#include "platform/host.h"
#include "platform/layout.h"

namespace platform {

class Form;
class Runtime;
struct ControlDesign;
struct FormDesign;

// The names of the program's window classes, from the project's identity.
struct WindowClasses {
  std::wstring form;
  std::wstring pictureBox;
};

// Registers the forms' window class once per program; `icon` is the program's icon, the one of
// every window whose design names none.
void registerFormWindowClass(HINSTANCE instance, const wchar_t* className, HICON icon);

// One loaded form's window. It belongs to its HWND (GWLP_USERDATA) and is deleted with it. It
// reaches the runtime only through events named by the form's slot and load generation, so a
// window that outlives its load can send nothing that is delivered.
class FormWindow {
 public:
  // Builds the window of `form`, just loaded: hidden, its client area at the design's size and
  // centred on its monitor's work area. Throws a runtime error when it cannot.
  static FormWindow* create(HINSTANCE instance, Runtime& runtime, const Form& form,
                            Pictures& pictures, const WindowClasses& classes);
  // The FormWindow of `hwnd`, or null when it is not one of ours: a window of ours is one whose
  // class has our window procedure, whatever the class's name.
  static FormWindow* of(HWND hwnd);

  HWND hwnd() const { return hwnd_; }
  // Shows the window, or brings it to the front when it is shown already.
  void show();
  // Hides the window now and destroys it once no event of its own is running.
  void retire();
  // `what` of control `index` changed: its window follows.
  void follow(int index, Change what);
  // Moves the focus to the next control in the design's tab order, or the previous one.
  void tab(bool backwards);

  static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  FormWindow(Runtime& runtime, const Form& form, Pictures& pictures,
             const WindowClasses& classes);
  ~FormWindow();

  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
  void OnCommand(HWND hwnd, int id, HWND control, UINT code);
  void OnClose(HWND hwnd);
  void OnActivate(HWND hwnd, UINT state, HWND other, BOOL minimized);
  void OnSetFocus(HWND hwnd, HWND previous);
  void OnDpiChanged(UINT dpi, const RECT& suggested);
  void OnDestroyLater();

  void build(HINSTANCE instance);
  HWND buildControl(HINSTANCE instance, int index);
  void order();
  void layout();
  void place(int index);
  void resizeClient(int x, int y, bool centre);
  PictureSizes pictureSizes() const;
  // Runs one call into the runtime; the window is destroyed after it if it was retired meanwhile.
  template <typename Call>
  void deliver(Call call);

  Runtime* runtime_;
  const Form* form_;
  const FormDesign* design_;
  Pictures* pictures_;
  const WindowClasses* classes_;
  int slot_;
  std::uint64_t generation_;
  HWND hwnd_ = nullptr;
  std::vector<HWND> controls_;             // by design row
  std::vector<int> tabOrder_;              // rows that take the focus, in tab order
  HWND focus_ = nullptr;                   // the control to focus when the window is active
  HFONT font_ = nullptr;
  UINT dpi_ = 96;
  int running_ = 0;
  bool destroyPending_ = false;
  bool* attached_ = nullptr;  // while the window is being created
};

}  // namespace platform
