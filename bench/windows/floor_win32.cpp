// floor_win32.cpp: the least Win32 costs for the main window: the same window and pictures, no game.
#include <windows.h>

#include <commctrl.h>

#include <cmath>
#include <string>

#include "forms/forms.h"

namespace {

constexpr wchar_t kWindowClass[] = L"VorekFloor";
constexpr wchar_t kBoxClass[] = L"VorekFloorBox";
constexpr int kFirstId = 100;

std::wstring wide(std::string_view utf8) {
  std::wstring text(utf8.size(), L'\0');
  text.resize(static_cast<std::size_t>(MultiByteToWideChar(
      CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(),
      static_cast<int>(text.size()))));
  return text;
}

int pixels(platform::Twips twips, UINT dpi) {
  return static_cast<int>(std::lround(static_cast<double>(twips) * dpi / 1440.0));
}

// A bitmap file among the resources, by its file name; the header and the rows stay mapped.
const BITMAPFILEHEADER* bitmap(std::string_view name) {
  HRSRC found = FindResourceW(nullptr, wide(name).c_str(), MAKEINTRESOURCEW(10));
  return found ? static_cast<const BITMAPFILEHEADER*>(LockResource(LoadResource(nullptr, found)))
               : nullptr;
}

// A picture box: the picture at the inside top-left; a release of the left button is a click.
LRESULT CALLBACK boxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(hwnd, &paint);
      const auto* file = reinterpret_cast<const BITMAPFILEHEADER*>(
          GetWindowLongPtrW(hwnd, GWLP_USERDATA));
      const auto* info = reinterpret_cast<const BITMAPINFO*>(file + 1);
      const int width = info->bmiHeader.biWidth, height = info->bmiHeader.biHeight;
      SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(width), static_cast<DWORD>(height), 0, 0, 0,
                        static_cast<UINT>(height),
                        reinterpret_cast<const char*>(file) + file->bfOffBits, info,
                        DIB_RGB_COLORS);
      EndPaint(hwnd, &paint);
      return 0;
    }
    case WM_LBUTTONUP:
      SendMessageW(GetParent(hwnd), WM_COMMAND,
                   MAKEWPARAM(GetDlgCtrlID(hwnd), STN_CLICKED), reinterpret_cast<LPARAM>(hwnd));
      return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND build();

LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto& rows = forms::kVorekDesign.controls;
  switch (message) {
    case WM_COMMAND: {
      const auto index = static_cast<std::size_t>(LOWORD(wParam) - kFirstId);
      if (index >= rows.size()) break;
      if (rows[index].name == "Command1") {
        // Brasser's cost as the game pays it: this window goes and a new one is shown.
        ShowWindow(hwnd, SW_HIDE);
        ShowWindow(build(), SW_SHOW);
        DestroyWindow(hwnd);
      } else if (rows[index].name == "p20") {
        // p20 and the blank change places, as the parking move does.
        HWND p20 = reinterpret_cast<HWND>(lParam);
        HWND p0 = GetDlgItem(hwnd, kFirstId + forms::kVorekDesign.indexOf("p0"));
        RECT a, b;
        GetWindowRect(p20, &a);
        GetWindowRect(p0, &b);
        MapWindowPoints(HWND_DESKTOP, hwnd, reinterpret_cast<POINT*>(&a), 2);
        MapWindowPoints(HWND_DESKTOP, hwnd, reinterpret_cast<POINT*>(&b), 2);
        SetWindowPos(p20, nullptr, b.left, b.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        SetWindowPos(p0, nullptr, a.left, a.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
      }
      return 0;
    }
    case WM_CLOSE: DestroyWindow(hwnd); return 0;
    case WM_DESTROY:
      if (FindWindowW(kWindowClass, nullptr) == nullptr) PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND build() {
  const platform::FormDesign& design = forms::kVorekDesign;
  constexpr DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
  HWND window = CreateWindowExW(0, kWindowClass, wide(design.caption).c_str(), style,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                nullptr, nullptr, nullptr, nullptr);
  const UINT dpi = GetDpiForWindow(window);
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi);
  static HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);
  for (std::size_t i = 0; i < design.controls.size(); ++i) {
    const auto& row = design.controls[i];
    const bool button = row.kind == platform::ControlKind::CommandButton;
    HWND control = CreateWindowExW(
        button ? 0 : WS_EX_CLIENTEDGE, button ? WC_BUTTONW : kBoxClass,
        wide(row.caption).c_str(), WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP,
        pixels(row.left, dpi), pixels(row.top, dpi), pixels(row.width, dpi),
        pixels(row.height, dpi), window,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstId + static_cast<int>(i))), nullptr,
        nullptr);
    if (button)
      SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    else
      SetWindowLongPtrW(control, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(bitmap(row.picture)));
  }
  RECT frame{0, 0, pixels(design.clientWidth, dpi), pixels(design.clientHeight, dpi)};
  AdjustWindowRectExForDpi(&frame, style, FALSE, 0, dpi);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor);
  const RECT& work = monitor.rcWork;
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  SetWindowPos(window, nullptr, work.left + (work.right - work.left - width) / 2,
               work.top + (work.bottom - work.top - height) / 2, width, height, SWP_NOZORDER);
  return window;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  WNDCLASSEXW window{};
  window.cbSize = sizeof window;
  window.hInstance = instance;
  window.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window.lpfnWndProc = windowProc;
  window.lpszClassName = kWindowClass;
  window.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  RegisterClassExW(&window);
  window.lpfnWndProc = boxProc;
  window.lpszClassName = kBoxClass;
  window.hIcon = nullptr;
  window.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  RegisterClassExW(&window);
  ShowWindow(build(), SW_SHOW);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}
