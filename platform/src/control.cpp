// control.cpp: property access through control handles.
#include "platform/control.h"

#include <cmath>
#include <string>

#include "platform/errors.h"
#include "platform/form.h"
#include "platform/runtime.h"

namespace platform {
namespace {

const FormDesign& designOf(const FormRef& form) {
  return *form.runtime().project().forms[static_cast<std::size_t>(form.slot())];
}

int findControl(const FormRef& form, std::string_view name, ControlKind kind) {
  const FormDesign& design = designOf(form);
  const int index = design.indexOf(name);
  if (index >= 0 && design.controls[static_cast<std::size_t>(index)].kind == kind) return index;
  throw RuntimeError(ErrorNumber::ObjectRequired,
                     std::string(design.name) + "." + std::string(name));
}

Twips finite(Twips value) {
  if (!std::isfinite(value)) throw RuntimeError(ErrorNumber::Overflow);
  return value;
}

}  // namespace

Control::Control(FormRef form, std::string_view name, ControlKind kind)
    : form_(form), index_(findControl(form, name, kind)) {}

std::string_view Control::Name() const {
  return designOf(form_).controls[static_cast<std::size_t>(index_)].name;
}

const ControlState& Control::read() const { return form_.instance().control(index_); }

ControlState& Control::write() const { return form_.instance().control(index_); }

void Control::changed(Change what) const {
  form_.runtime().host().changed(form_.instance(), index_, what);
}

PictureBox::PictureBox(FormRef form, std::string_view name)
    : Control(form, name, ControlKind::PictureBox) {}

Twips PictureBox::Left() const { return read().left; }
Twips PictureBox::Top() const { return read().top; }

void PictureBox::setLeft(Twips left) const {
  write().left = finite(left);
  changed(Change::Position);
}

void PictureBox::setTop(Twips top) const {
  write().top = finite(top);
  changed(Change::Position);
}

Captioned::Captioned(FormRef form, std::string_view name, ControlKind kind)
    : Control(form, name, kind) {}

const std::string& Captioned::Caption() const { return read().caption; }

void Captioned::setCaption(std::string_view caption) const {
  write().caption = std::string(caption);
  changed(Change::Caption);
}

CommandButton::CommandButton(FormRef form, std::string_view name)
    : Captioned(form, name, ControlKind::CommandButton) {}

Label::Label(FormRef form, std::string_view name) : Captioned(form, name, ControlKind::Label) {}

}  // namespace platform
