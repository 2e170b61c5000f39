// control.h: handles on controls, the way handlers read and write Left, Top and Caption.
#pragma once

#include <string>
#include <string_view>

#include "platform/design.h"
#include "platform/form_ref.h"
#include "platform/host.h"
#include "platform/twips.h"

namespace platform {

// A loaded control's properties. The form owns them; they die with its window at Unload.
struct ControlState {
  Twips left;
  Twips top;
  std::string caption;
};

// A handle names a control of a form and keeps nothing else: every access resolves the form's
// instance afresh and loads it (hidden) when it is not loaded. A handle therefore stays valid
// across Unload, and a handler that unloads its own window goes on with the fresh controls.
class Control {
 public:
  // Runtime error 424 when the form's design has no control of this name and kind.
  Control(FormRef form, std::string_view name, ControlKind kind);

  std::string_view Name() const;
  FormRef form() const { return form_; }
  int index() const { return index_; }

 protected:
  const ControlState& read() const;
  ControlState& write() const;
  void changed(Change what) const;

 private:
  FormRef form_;
  int index_;
};

class PictureBox : public Control {
 public:
  PictureBox(FormRef form, std::string_view name);

  Twips Left() const;
  Twips Top() const;
  // A write moves the box at once. A value that is not finite is an overflow (error 6).
  void setLeft(Twips left) const;
  void setTop(Twips top) const;
};

// Buttons, labels and frames: controls with a caption.
class Captioned : public Control {
 public:
  Captioned(FormRef form, std::string_view name, ControlKind kind);

  const std::string& Caption() const;
  void setCaption(std::string_view caption) const;
};

class CommandButton : public Captioned {
 public:
  CommandButton(FormRef form, std::string_view name);
};

class Label : public Captioned {
 public:
  Label(FormRef form, std::string_view name);
};

}  // namespace platform
