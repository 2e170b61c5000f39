// web_page.h: the page script's functions that the web host calls (web_host.js defines them).
#pragma once

// None of them throws a C++ exception, so that calling one costs no exception trampoline
// (invoke_*) through JavaScript; the box unwinds through Asyncify instead.
extern "C" {

// The page's favicon and the default title-bar icon.
void vorek_js_program_icon(const char* name) noexcept;
// A window for form `slot`, hidden until shown; its events carry `generation`.
void vorek_js_window_create(int slot, double generation, const char* name, const char* caption,
                            const char* icon, int clientWidth, int clientHeight) noexcept;
// One control, in pixels; `container` is the row of its frame, or -1 for the client area.
// `left` and `top` are in the client area, a frame's control included; `focusable` is 1 when
// the control takes the focus.
void vorek_js_control_create(int slot, int index, const char* name, int kind, int left, int top,
                             int width, int height, int focusable,
                             const char* caption, const char* picture, const char* accessibleName,
                             int centred, int clickable) noexcept;
// The window's focus and pile, once its `rows` controls are made: `table` holds Tab's and
// Shift+Tab's row from each row and then from nothing focused (-1: none), then each row's place
// in the pile, the top first.
void vorek_js_window_order(int slot, const int* table, int rows) noexcept;
// Writes the window's outer width and height and the page's width and height into `sizes`, for
// the host to place it; or returns 0 for the start-up window, which stays where the page put it.
int vorek_js_window_measure(int slot, int* sizes) noexcept;
// Puts the window's outer corner at (left, top), or as near as keeps its title bar in the page.
void vorek_js_window_place(int slot, int left, int top) noexcept;
void vorek_js_window_show(int slot) noexcept;
void vorek_js_window_remove(int slot) noexcept;
void vorek_js_control_move(int slot, int index, int left, int top) noexcept;
void vorek_js_control_caption(int slot, int index, const char* caption) noexcept;
// The modal box; returns once the player has closed it (the program waits, through Asyncify).
void vorek_js_box(const char* prompt, const char* title, int error);
void vorek_js_end(int status) noexcept;
}
