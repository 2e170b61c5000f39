// picture_box.h: the picture box, a child window with a sunken edge that shows one picture.
#pragma once

#include <windows.h>

#include "pictures.h"

namespace platform {

// Registers the picture box's window class, named `className`, once per program.
void registerPictureBoxClass(HINSTANCE instance, const wchar_t* className);

// Makes a picture box showing `picture`, which must outlive it. A click (the left button pressed
// and released on the box) reaches the parent as WM_COMMAND with STN_CLICKED and the box's id.
// `name` is the window text, which is what screen readers say for it.
HWND createPictureBox(HWND parent, const wchar_t* className, int id, const Picture& picture,
                      const wchar_t* name);

}  // namespace platform
