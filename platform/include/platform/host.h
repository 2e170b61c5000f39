// host.h: what the runtime asks of the window system it runs on.
#pragma once

#include <string_view>

namespace platform {

class Form;
class Runtime;

// What a handler's write changed on a loaded control: a picture box's place, or the caption of
// a button, a label or a frame. Nothing else of a control changes once it is loaded.
enum class Change { Position, Caption };

// The runtime keeps every property itself; a host only shows them. Each window system has its
// host (Qt, Win32, the web page), and the null host keeps a log and needs no display.
class Host {
 public:
  virtual ~Host() = default;

  // Called once, by the runtime that this host serves.
  virtual void attach(Runtime& runtime) = 0;
  // A form was loaded from its design: build its window, hidden and centred on the screen.
  virtual void loaded(const Form& form) = 0;
  // Show the form's window, or bring it to the front when it is shown already, as the one active
  // window: its title bar shows it, and the layout's focus (FormLayout) is in it.
  virtual void shown(const Form& form) = 0;
  // The form is being unloaded: its window must vanish now. The host may free it later, but
  // never inside the event that is running.
  virtual void unloaded(const Form& form) = 0;
  // `what` of control `index` was written; the view follows at once.
  virtual void changed(const Form& form, int index, Change what) = 0;
  // Blocks until the player has closed the box. It is modal over every window of the program and
  // the only active one while it is open; the window that was active is again once it closes.
  virtual void messageBox(std::string_view prompt, std::string_view title) = 0;
  // The French runtime-error box; blocks like messageBox.
  virtual void errorBox(std::string_view text, std::string_view title) = 0;
  // The program has ended with `status`: leave the event loop.
  virtual void quit(int status) = 0;
};

}  // namespace platform
