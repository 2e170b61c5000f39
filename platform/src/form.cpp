// form.cpp: loading a form from its design, showing it and unloading it.
#include "platform/form.h"

#include "platform/errors.h"
#include "platform/runtime.h"

namespace platform {

int FormDesign::indexOf(std::string_view controlName) const {
  for (std::size_t i = 0; i < controls.size(); ++i) {
    if (controls[i].name == controlName) return static_cast<int>(i);
  }
  return -1;
}

std::string filledIn(std::string_view text, std::string_view name) {
  std::string filled(text);
  const std::size_t at = filled.find("{}");
  if (at != std::string::npos) filled.replace(at, 2, name);
  return filled;
}

Form::Form(Runtime& runtime, int slot, const FormDesign& design)
    : runtime_(&runtime), slot_(slot), design_(&design) {}

void Form::load() {
  runtime_->stopIfEnded();
  std::vector<ControlState> fresh;
  fresh.reserve(design_->controls.size());
  for (const ControlDesign& row : design_->controls) {
    fresh.push_back({row.left, row.top, std::string(row.caption)});
  }
  controls_ = std::move(fresh);
  loaded_ = true;
  visible_ = false;
  ++generation_;
  try {
    runtime_->host().loaded(*this);
  } catch (...) {
    // A window that could not be built leaves the form unloaded, not half loaded.
    controls_.clear();
    loaded_ = false;
    throw;
  }
  runtime_->runLoadHandler(slot_);
}

void Form::Show() {
  if (!loaded_) load();
  visible_ = true;
  runtime_->host().shown(*this);
}

void Form::Unload() {
  if (!loaded_) return;
  runtime_->host().unloaded(*this);
  controls_.clear();
  loaded_ = false;
  visible_ = false;
}

ControlState& Form::control(int index) {
  if (!loaded_) load();
  return controls_.at(static_cast<std::size_t>(index));
}

const ControlState& Form::loadedControl(int index) const {
  return controls_.at(static_cast<std::size_t>(index));
}

}  // namespace platform
