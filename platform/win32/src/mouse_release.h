// mouse_release.h: a release made in one input with a move, taken where the pointer was before.
#pragma once

#include <windows.h>

namespace platform {

// Hooks every message loop of this thread, modal boxes' included, so that a left-button release
// that came in one input with a move is taken where the pointer was before that move. Returns
// the hook, for UnhookWindowsHookEx; null if it could not be set.
HHOOK hookMouseReleases();

}  // namespace platform
