// design.h: window designs as data, the tables from which every form is loaded.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "platform/twips.h"

namespace platform {

enum class ControlKind { PictureBox, CommandButton, Label, Frame };
enum class Alignment { Left, Center };

// One row of a window's control table, with the design's own columns.
struct ControlDesign {
  std::string_view name;
  ControlKind kind;
  std::string_view container;  // the frame that holds the control; empty for the client area
  Twips left, top, width, height;
  int tabIndex;
  std::string_view caption;  // buttons, labels and frames
  std::string_view picture;  // picture boxes: the picture's file name under forms/pictures
  std::string_view click;    // the Click handler's name; empty when clicks are ignored
  bool autoSize = false;     // picture boxes: sized to the picture plus the border
  Alignment alignment = Alignment::Left;
};

// What a screen reader says for a control that shows no text of its own, such as a picture box.
struct AccessibleName {
  std::string_view control;
  std::string_view name;
};

struct FormDesign {
  std::string_view name;
  std::string_view caption;
  Twips clientWidth, clientHeight;
  std::string_view icon;  // file name under forms/pictures; empty: the program's icon
  std::string_view load;  // the load handler's name, empty for none
  std::span<const ControlDesign> controls;
  // Beside the design, for assistive technologies only; nothing visible depends on it.
  std::span<const AccessibleName> accessibleNames = {};

  // The row of the named control, or -1.
  int indexOf(std::string_view controlName) const;
};

// The font of every caption and text of the program's windows, where the host does not take the
// system's own.
struct ProgramFont {
  std::string_view family;
  int pointSize = 0;
};

// The program's own sentences beside its windows, in its language; "{}" stands for a name the
// host fills in.
struct ProgramTexts {
  std::string_view noDisplay;           // {}: the program's name
  std::string_view displayUnreachable;  // {}: the display's name
  std::string_view ended;               // the page, once the program has ended
  std::string_view endedOnError;        // the page, once a runtime error has ended it
  std::string_view replay;              // the page's button that starts the program again
  std::string_view needsScript;         // a page whose scripts do not run
  std::string_view noWebAssembly;       // a browser that runs no WebAssembly
  std::string_view notLoaded;           // a program that could not be loaded or started
  std::string_view closeBox;            // the name of a page window's close box
  std::string_view ok;                  // the button of the page's message box
};

// Who the program is to the systems it runs on. No host names the program itself: each takes
// these from the record.
struct ProgramIdentity {
  std::string_view program;      // the command's name: Qt's application name, X11's window class
  std::string_view desktopId;    // its desktop entry's name, and Wayland's app_id
  std::string_view localeName;   // the record's locale, as Qt names it ("fr_FR")
  std::string_view windowClass;  // the Win32 window classes' first word ("…Form", "…PictureBox")
};

// What the program's entry hands to the runtime: who it is and its forms, in order. The first
// form is the start-up object.
struct ProjectRecord {
  std::string_view name;
  std::string_view title;
  std::string_view description;
  std::string_view version;
  int locale;  // Windows language identifier; 0x040C is French
  ProgramIdentity identity;
  std::span<const FormDesign* const> forms;
  ProgramFont font = {};
  ProgramTexts texts = {};
};

// `text` with its first "{}" replaced by `name`.
std::string filledIn(std::string_view text, std::string_view name);

}  // namespace platform
