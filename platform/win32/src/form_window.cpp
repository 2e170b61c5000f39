// form_window.cpp: a form's window: building its controls, placing them at the window's DPI,
// and sending its clicks and close requests to the runtime.
#include "form_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "picture_box.h"
#include "platform/design.h"
#include "platform/errors.h"
#include "platform/form.h"
#include "platform/layout.h"
#include "platform/runtime.h"
#include "platform/win32_app.h"
#include "wide.h"
#include "wine_workarounds.h"

namespace platform {
namespace {

// The window never paints over its controls: a moved picture box would be erased by the paint
// of the place it left.
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = 0;
// Posted by retire(): the window goes once the event that unloaded it is over.
constexpr UINT kDestroyLater = WM_APP + 1;

// A group box draws its edge and caption only; the window clips its children, so the box
// paints its own inside.
LRESULT CALLBACK frameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                           DWORD_PTR) {
  if (message == WM_ERASEBKGND) {
    RECT inside;
    GetClientRect(hwnd, &inside);
    FillRect(reinterpret_cast<HDC>(wParam), &inside, GetSysColorBrush(COLOR_BTNFACE));
    return 1;
  }
  if (message == WM_NCDESTROY) RemoveWindowSubclass(hwnd, frameProc, 0);
  return DefSubclassProc(hwnd, message, wParam, lParam);
}

}  // namespace

void registerFormWindowClass(HINSTANCE instance, const wchar_t* className, HICON icon) {
  WNDCLASSEXW window{};
  window.cbSize = sizeof window;
  window.lpfnWndProc = FormWindow::windowProc;
  window.hInstance = instance;
  window.hIcon = icon;
  window.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window.lpszClassName = className;
  RegisterClassExW(&window);
}

FormWindow::FormWindow(Runtime& runtime, const Form& form, Pictures& pictures,
                       const WindowClasses& classes)
    : runtime_(&runtime),
      form_(&form),
      design_(&form.design()),
      pictures_(&pictures),
      classes_(&classes),
      slot_(form.slot()),
      generation_(form.generation()) {}

FormWindow::~FormWindow() {
  if (font_ != nullptr) DeleteObject(font_);
}

FormWindow* FormWindow::create(HINSTANCE instance, Runtime& runtime, const Form& form,
                               Pictures& pictures, const WindowClasses& classes) {
  auto* window = new FormWindow(runtime, form, pictures, classes);
  bool attached = false;
  window->attached_ = &attached;
  const std::wstring caption = wide(form.design().caption);
  if (CreateWindowExW(kExStyle, classes.form.c_str(), caption.c_str(), kStyle, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance,
                      window) == nullptr) {
    // Once attached, the window object went with the window (WM_NCDESTROY).
    if (!attached) delete window;
    throw RuntimeError(ErrorNumber::OutOfMemory, form.design().name);
  }
  window->attached_ = nullptr;
  try {
    window->build(instance);
  } catch (...) {
    DestroyWindow(window->hwnd_);  // deletes the window object too
    throw;
  }
  return window;
}

FormWindow* FormWindow::of(HWND hwnd) {
  if (hwnd == nullptr ||
      GetClassLongPtrW(hwnd, GCLP_WNDPROC) != reinterpret_cast<ULONG_PTR>(&windowProc)) {
    return nullptr;
  }
  return reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

void FormWindow::build(HINSTANCE instance) {
  const auto& rows = design_->controls;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    HWND control = buildControl(instance, static_cast<int>(i));
    if (control == nullptr) throw RuntimeError(ErrorNumber::OutOfMemory, rows[i].name);
    controls_.push_back(control);
  }
  if (!design_->icon.empty()) {
    HICON icon = pictures_->icon(design_->icon);
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  }
  order();
  layout();
  resizeClient(0, 0, true);
  // As in a dialog: the focus is shown from the start only when the keyboard is in use.
  SendMessageW(hwnd_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_INITIALIZE, 0), 0);
}

HWND FormWindow::buildControl(HINSTANCE instance, int index) {
  const ControlDesign& row = design_->controls[static_cast<std::size_t>(index)];
  const auto id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstControlId + index));
  const std::wstring caption = wide(form_->loadedControl(index).caption);
  auto make = [&](const wchar_t* kind, DWORD style) {
    return CreateWindowExW(0, kind, caption.c_str(),
                           WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style, 0, 0, 0, 0, hwnd_, id,
                           instance, nullptr);
  };
  switch (row.kind) {
    case ControlKind::PictureBox: {
      const std::wstring name = wide(layOutControl(*form_, index, 96, {}).accessibleName);
      return createPictureBox(hwnd_, classes_->pictureBox.c_str(), kFirstControlId + index,
                              pictures_->bitmap(row.picture), name.c_str());
    }
    // No control is the default push button: Return does nothing, as Esc does.
    case ControlKind::CommandButton: return make(WC_BUTTONW, BS_PUSHBUTTON);
    case ControlKind::Frame: {
      HWND frame = make(WC_BUTTONW, BS_GROUPBOX);
      if (frame != nullptr) SetWindowSubclass(frame, frameProc, 0, 0);
      return frame;
    }
    case ControlKind::Label:
      return make(WC_STATICW,
                  SS_NOPREFIX | (row.alignment == Alignment::Center ? SS_CENTER : SS_LEFT));
  }
  return nullptr;
}

void FormWindow::order() {
  const FormLayout layout = layOut(*form_, 96, {});
  tabOrder_ = layout.tabOrder;
  // WS_TABSTOP marks what takes the focus; the Z order is the runtime's pile, top first.
  HWND previous = HWND_TOP;
  for (int i : layout.stacking) {
    HWND control = controls_[static_cast<std::size_t>(i)];
    const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
    SetWindowLongPtrW(control, GWL_STYLE,
                      layout.takesFocus(i) ? style | WS_TABSTOP : style & ~WS_TABSTOP);
    SetWindowPos(control, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    previous = control;
  }
  if (layout.firstFocus() >= 0) focus_ = controls_[static_cast<std::size_t>(layout.firstFocus())];
}

PictureSizes FormWindow::pictureSizes() const {
  return [pictures = pictures_](std::string_view name) {
    const Picture& picture = pictures->bitmap(name);
    return PixelSize{picture.width, picture.height};
  };
}

void FormWindow::layout() {
  dpi_ = GetDpiForWindow(hwnd_);
  // The system's message font, at this window's DPI.
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  HFONT font = nullptr;
  if (SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi_))
    font = CreateFontIndirectW(&metrics.lfMessageFont);
  for (std::size_t i = 0; i < controls_.size(); ++i) {
    SendMessageW(controls_[i], WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    place(static_cast<int>(i));
  }
  if (font_ != nullptr) DeleteObject(font_);
  font_ = font;
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void FormWindow::place(int index) {
  // The runtime holds Left and Top and lays the control out at this window's DPI.
  const PixelRect at = layOutControl(*form_, index, static_cast<int>(dpi_), pictureSizes()).rect;
  SetWindowPos(controls_[static_cast<std::size_t>(index)], nullptr, at.left, at.top, at.width,
               at.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::resizeClient(int x, int y, bool centre) {
  const PixelSize client = layOut(*form_, static_cast<int>(dpi_), {}).client;
  RECT frame{0, 0, client.width, client.height};
  AdjustWindowRectExForDpi(&frame, kStyle, FALSE, kExStyle, dpi_);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  if (centre) {
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    const PixelRect at = centred({width, height}, {work.left, work.top, work.right - work.left,
                                                    work.bottom - work.top});
    x = at.left;
    y = at.top;
  }
  SetWindowPos(hwnd_, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::show() {
  unmapToActivate(hwnd_);
  ShowWindow(hwnd_, IsIconic(hwnd_) ? SW_RESTORE : SW_SHOW);
  BringWindowToTop(hwnd_);
  SetForegroundWindow(hwnd_);
}

void FormWindow::retire() {
  ShowWindow(hwnd_, SW_HIDE);
  PostMessageW(hwnd_, kDestroyLater, 0, 0);
}

void FormWindow::follow(int index, Change what) {
  if (what == Change::Position) {
    place(index);
  } else {
    SetWindowTextW(controls_[static_cast<std::size_t>(index)],
                   wide(form_->loadedControl(index).caption).c_str());
  }
}

void FormWindow::tab(bool backwards) {
  const auto focused = std::find(controls_.begin(), controls_.end(), GetFocus());
  const int from = focused == controls_.end() ? -1 : static_cast<int>(focused - controls_.begin());
  const int next = tabStep(tabOrder_, from, backwards);
  if (next < 0) return;
  SetFocus(controls_[static_cast<std::size_t>(next)]);
  // The keyboard is in use: show where the focus is.
  showFocusMarks(hwnd_, controls_);
}

template <typename Call>
void FormWindow::deliver(Call call) {
  ++running_;
  call();
  if (--running_ == 0 && destroyPending_) DestroyWindow(hwnd_);  // deletes this
}

void FormWindow::OnCommand(HWND, int id, HWND control, UINT code) {
  const int index = id - kFirstControlId;
  if (control == nullptr || index < 0 || index >= static_cast<int>(controls_.size()) ||
      controls_[static_cast<std::size_t>(index)] != control) {
    return;
  }
  // BN_CLICKED from a button, STN_CLICKED from a picture box.
  if (code == BN_CLICKED || code == STN_CLICKED)
    deliver([this, index] { runtime_->click(slot_, generation_, index); });
}

void FormWindow::OnClose(HWND) {
  // The runtime unloads the form, which retires this window; it never closes by itself.
  deliver([this] { runtime_->closeRequest(slot_, generation_); });
}

void FormWindow::OnActivate(HWND hwnd, UINT state, HWND, BOOL minimized) {
  if (state == WA_INACTIVE) {
    HWND focused = GetFocus();
    if (focused != nullptr && IsChild(hwnd, focused)) focus_ = focused;
  } else if (!minimized && focus_ != nullptr) {
    SetFocus(focus_);
  }
}

void FormWindow::OnSetFocus(HWND, HWND) {
  if (focus_ != nullptr) SetFocus(focus_);
}

void FormWindow::OnDpiChanged(UINT dpi, const RECT& suggested) {
  dpi_ = dpi;
  // A retired window only waits to go, and its form's controls may be another load's by now.
  if (!form_->loaded() || form_->generation() != generation_) return;
  layout();
  resizeClient(suggested.left, suggested.top, false);
}

void FormWindow::OnDestroyLater() {
  if (running_ > 0) {
    destroyPending_ = true;
  } else {
    DestroyWindow(hwnd_);  // deletes this
  }
}

LRESULT FormWindow::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND hwnd = hwnd_;
  switch (message) {
    HANDLE_MSG(hwnd, WM_COMMAND, OnCommand);
    HANDLE_MSG(hwnd, WM_CLOSE, OnClose);
    HANDLE_MSG(hwnd, WM_ACTIVATE, OnActivate);
    HANDLE_MSG(hwnd, WM_SETFOCUS, OnSetFocus);
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case kDestroyLater: OnDestroyLater(); return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK FormWindow::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* window =
        static_cast<FormWindow*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
    window->hwnd_ = hwnd;
    if (window->attached_ != nullptr) *window->attached_ = true;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
  }
  auto* window = reinterpret_cast<FormWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (window == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    delete window;
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  return window->handle(message, wParam, lParam);
}

}  // namespace platform
