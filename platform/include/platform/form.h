// form.h: a form's default instance, loaded from its design and unloaded again.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/control.h"
#include "platform/design.h"

namespace platform {

class Runtime;

class Form {
 public:
  Form(Runtime& runtime, int slot, const FormDesign& design);
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const FormDesign& design() const { return *design_; }
  int slot() const { return slot_; }
  bool loaded() const { return loaded_; }
  bool visible() const { return visible_; }
  // Counts the loads: a window built for an older load is stale and its events are dropped.
  std::uint64_t generation() const { return generation_; }

  void Show();
  void Unload();

  // The control's properties, loading the form hidden when it is not loaded.
  ControlState& control(int index);
  // The properties of a loaded form, for the views; never loads.
  const ControlState& loadedControl(int index) const;

 private:
  void load();

  Runtime* runtime_;
  int slot_;
  const FormDesign* design_;
  std::vector<ControlState> controls_;
  bool loaded_ = false;
  bool visible_ = false;
  std::uint64_t generation_ = 0;
};

}  // namespace platform
