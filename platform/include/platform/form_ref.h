// form_ref.h: a form named by its place in the project's form list.
#pragma once

namespace platform {

class Form;
class Runtime;

// Names one form of the project; the instance is made on first use and never replaced.
class FormRef {
 public:
  FormRef(Runtime& runtime, int slot) : runtime_(&runtime), slot_(slot) {}

  // The default instance, created if this is its first use.
  Form& instance() const;
  Runtime& runtime() const { return *runtime_; }
  int slot() const { return slot_; }

  // Loads the form if it is not loaded, shows it modeless and returns at once; a shown form is
  // only brought to the front.
  void Show() const;
  // Destroys the window and its controls; the instance survives.
  void Unload() const;

 private:
  Runtime* runtime_;
  int slot_;
};

}  // namespace platform
