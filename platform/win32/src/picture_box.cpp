// picture_box.cpp: painting and clicks of the picture boxes.
#include "picture_box.h"

#include <windowsx.h>

#include "platform/layout.h"
#include "platform/win32_app.h"

namespace platform {
namespace {

// The classic sunken edge in the system's colours, as a client edge draws it, but as wide as the
// layout says at this density: the outer ring half of it, the inner ring the rest.
void paintSunkenEdge(HDC dc, RECT box, int edge) {
  auto ring = [dc](const RECT& r, int width, int topLeft, int bottomRight) {
    const RECT strips[] = {{r.left, r.top, r.right, r.top + width},
                           {r.left, r.top, r.left + width, r.bottom},
                           {r.left, r.bottom - width, r.right, r.bottom},
                           {r.right - width, r.top, r.right, r.bottom}};
    for (int k = 0; k < 4; ++k)
      FillRect(dc, &strips[k], GetSysColorBrush(k < 2 ? topLeft : bottomRight));
  };
  const int outer = edge / 2;
  ring(box, outer, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT);
  InflateRect(&box, -outer, -outer);
  ring(box, edge - outer, COLOR_3DDKSHADOW, COLOR_3DLIGHT);
}

// The instance data of one box, attached to its window.
struct PictureBox {
  const Picture* picture;
  bool pressed = false;
  // The window's UI state, as it reaches the box: the focus is shown once the window says that
  // the keyboard is in use.
  bool focusShown = false;

  static PictureBox* of(HWND hwnd) {
    return reinterpret_cast<PictureBox*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }

  void OnPaint(HWND hwnd) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    RECT box;
    GetClientRect(hwnd, &box);
    FillRect(dc, &box, GetSysColorBrush(COLOR_BTNFACE));
    // Inside the edge, one picture pixel to one screen pixel at 96 dpi; at other densities
    // scaled by whole screen pixels, nearest neighbour, so the pixel art stays sharp.
    const int dpi = static_cast<int>(GetDpiForWindow(hwnd));
    const int edge = sunkenEdge(dpi);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, edge, edge, scaled(picture->width, dpi), scaled(picture->height, dpi), 0, 0,
                  picture->width, picture->height, picture->bits, picture->info, DIB_RGB_COLORS,
                  SRCCOPY);
    paintSunkenEdge(dc, box, edge);
    // The focus, inside the sunken edge, once the keyboard is in use.
    RECT inside = box;
    InflateRect(&inside, -edge, -edge);
    if (focusShown && GetFocus() == hwnd) DrawFocusRect(dc, &inside);
    EndPaint(hwnd, &paint);
  }

  void OnLButtonDown(HWND hwnd, BOOL, int, int, UINT) {
    if ((GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_TABSTOP) != 0) SetFocus(hwnd);
    SetCapture(hwnd);
    pressed = true;
  }

  // A click is the left button pressed on the box and released on it, as for a button: a drag
  // off the box before the release cancels it. A release that came in one input with a move
  // stands where the pointer was before that move (mouse_release.cpp).
  void OnLButtonUp(HWND hwnd, int x, int y, UINT) {
    if (!pressed) return;
    pressed = false;
    ReleaseCapture();
    RECT box;
    GetClientRect(hwnd, &box);
    if (!PtInRect(&box, POINT{x, y})) return;
    const int id = GetDlgCtrlID(hwnd);
    FORWARD_WM_COMMAND(GetParent(hwnd), id, hwnd, STN_CLICKED, SendMessageW);
  }

  void OnCaptureChanged() { pressed = false; }

  void OnUpdateUIState(HWND hwnd, WPARAM change) {
    if ((HIWORD(change) & UISF_HIDEFOCUS) == 0) return;
    focusShown = LOWORD(change) == UIS_CLEAR;
    InvalidateRect(hwnd, nullptr, FALSE);
  }
};

LRESULT CALLBACK pictureBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    auto* box = new PictureBox{static_cast<const Picture*>(create->lpCreateParams)};
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(box));
  }
  PictureBox* box = PictureBox::of(hwnd);
  if (box == nullptr) return DefWindowProcW(hwnd, message, wParam, lParam);
  switch (message) {
    case WM_PAINT: box->OnPaint(hwnd); return 0;
    case WM_ERASEBKGND: return 1;  // painted whole in WM_PAINT
    HANDLE_MSG(hwnd, WM_LBUTTONDOWN, box->OnLButtonDown);
    HANDLE_MSG(hwnd, WM_LBUTTONUP, box->OnLButtonUp);
    case WM_CAPTURECHANGED: box->OnCaptureChanged(); return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: InvalidateRect(hwnd, nullptr, FALSE); break;
    case WM_UPDATEUISTATE: box->OnUpdateUIState(hwnd, wParam); break;
    case WM_NCDESTROY:
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      delete box;
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

void registerPictureBoxClass(HINSTANCE instance, const wchar_t* className) {
  WNDCLASSEXW window{};
  window.cbSize = sizeof window;
  window.lpfnWndProc = pictureBoxProc;
  window.hInstance = instance;
  window.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window.lpszClassName = className;
  RegisterClassExW(&window);
}

HWND createPictureBox(HWND parent, const wchar_t* className, int id, const Picture& picture,
                      const wchar_t* name) {
  // The box paints its sunken edge itself, as wide as the screen's density asks.
  return CreateWindowExW(0, className, name,
                         WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 0, 0, parent,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                         reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE)),
                         const_cast<Picture*>(&picture));
}

}  // namespace platform
