// wine_workarounds.cpp: where Wine 8 behaves unlike Windows (wine_workarounds.h).
#include "wine_workarounds.h"

namespace platform {

bool runningOnWine() {
  static const bool wine =
      GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
  return wine;
}

void unmapToActivate(HWND window) {
  if (runningOnWine() && IsWindowVisible(window) && GetForegroundWindow() != window)
    ShowWindow(window, SW_HIDE);
}

void showFocusMarks(HWND window, const std::vector<HWND>& controls) {
  const WPARAM shown = MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS);
  SendMessageW(window, WM_CHANGEUISTATE, shown, 0);
  for (HWND control : controls) SendMessageW(control, WM_UPDATEUISTATE, shown, 0);
}

}  // namespace platform
