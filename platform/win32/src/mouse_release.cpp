// mouse_release.cpp: a release made in one input with a move, taken where the pointer was before.
//
// When a window manager holds the pointer at a press until it has looked at it, the X server
// reports the release that waited meanwhile at where the pointer has gone since, and Wine makes
// of that one input a move and a release, with one time and one point. The move comes first:
// a button that holds the mouse sees the pointer leave it with the button down, draws itself
// raised, and takes the release that follows for a drag off it. The player clicked; the pointer
// left after the release.
//
// So when a window holding the mouse is about to get a move with the left button down, and the
// next input waiting is a release with the same time at the same point, the two swap: the move
// is handed over as the release, at the point of the mouse message before it, and the release
// as the move, where it was made. A drag off a button still cancels: its moves come before the
// release, as inputs of their own, and the release then finds the pointer where it already is.
#include "mouse_release.h"

namespace platform {
namespace {

// What this thread's loops have taken: where the pointer was at the last mouse message, and
// the release still to be handed over as a move, if a swap is half done.
struct Pointer {
  POINT at{};
  bool swapped = false;
  DWORD swappedTime = 0;
  POINT swappedAt{};
};
thread_local Pointer pointer;

bool isMouse(UINT message) {
  return (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
         (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK);
}

bool samePoint(POINT a, POINT b) { return a.x == b.x && a.y == b.y; }

// The left-button release waiting right after `move`, made in the same input, if there is one.
bool releaseWithMove(const MSG& move, MSG& release) {
  if (move.message != WM_MOUSEMOVE || (move.wParam & MK_LBUTTON) == 0 ||
      GetCapture() != move.hwnd) {
    return false;
  }
  // Input only: a posted message is no part of the input.
  return PeekMessageW(&release, nullptr, WM_MOUSEFIRST, WM_MOUSELAST,
                      PM_NOREMOVE | PM_QS_INPUT) &&
         release.message == WM_LBUTTONUP && release.time == move.time &&
         samePoint(release.pt, move.pt);
}

void take(MSG& msg) {
  const POINT before = pointer.at;
  pointer.at = msg.pt;
  if (pointer.swapped) {
    pointer.swapped = false;
    if (msg.message == WM_LBUTTONUP && msg.time == pointer.swappedTime &&
        samePoint(msg.pt, pointer.swappedAt)) {
      msg.message = WM_MOUSEMOVE;  // its point and button state are those of the move already
      return;
    }
  }
  MSG release;
  if (!releaseWithMove(msg, release)) return;
  POINT client = before;
  ScreenToClient(msg.hwnd, &client);
  msg.message = WM_LBUTTONUP;
  msg.wParam = release.wParam;
  msg.lParam = MAKELPARAM(client.x, client.y);
  msg.pt = before;
  pointer = {before, true, release.time, release.pt};
}

LRESULT CALLBACK onGetMessage(int code, WPARAM removed, LPARAM param) {
  auto& msg = *reinterpret_cast<MSG*>(param);
  // Only messages taken off the queue count; a look ahead leaves things as they are.
  if (code == HC_ACTION && removed == PM_REMOVE && isMouse(msg.message)) take(msg);
  return CallNextHookEx(nullptr, code, removed, param);
}

}  // namespace

HHOOK hookMouseReleases() {
  return SetWindowsHookExW(WH_GETMESSAGE, onGetMessage, nullptr, GetCurrentThreadId());
}

}  // namespace platform
