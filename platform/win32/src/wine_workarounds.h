// wine_workarounds.h: where Wine 8 behaves unlike Windows, and what the host does about it.
// Each workaround says what it mends, where it applies and which test shows it; the host calls
// each from one place. (The release taken where the pointer was, which Wine's input needs too,
// has a unit of its own: mouse_release.h.)
#pragma once

#include <windows.h>

#include <vector>

namespace platform {

// Whether the program runs under Wine.
bool runningOnWine();

// Wine 8 never asks the X window manager to activate a window that is on the screen already; it
// does activate one that it maps. Under Wine only, a window already shown and not in front is
// unmapped here, so that showing it maps it again and the window manager brings it forward.
// Called before showing a window. Shown by the end-to-end windows group under Wine: "Voir
// again" must bring the portrait, behind the main window, to the front.
void unmapToActivate(HWND window);

// Wine passes a window's WM_CHANGEUISTATE on to none of its controls, so a control reached by
// Tab would draw no focus mark. The window's controls are told themselves, which Windows has
// done already and takes as a no-op. Called after the focus moved by the keyboard. Shown by
// Win32Host.TabFollowsTheLayoutsOrderFromTheFirstPictureBox: each box reached by Tab is drawn
// otherwise than once the focus left it.
void showFocusMarks(HWND window, const std::vector<HWND>& controls);

}  // namespace platform
