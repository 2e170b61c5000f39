// web_host.cpp: the web host, which asks the page script to build, update and remove windows.
#include <string>

#include "platform/errors.h"
#include "platform/form.h"
#include "platform/web_app.h"
#include "web_page.h"

namespace platform {
namespace {

constexpr int kBorderPixels = 2;  // the picture box's sunken border, on each side

std::string text(std::string_view view) { return std::string(view); }

const PictureInfo& picture(std::string_view name) {
  for (const PictureInfo& info : embeddedPictures()) {
    if (info.name == name) return info;
  }
  throw RuntimeError(ErrorNumber::InvalidPicture, name);
}

int kindCode(ControlKind kind) {
  switch (kind) {
    case ControlKind::PictureBox: return 0;
    case ControlKind::CommandButton: return 1;
    case ControlKind::Label: return 2;
    case ControlKind::Frame: return 3;
  }
  return -1;
}

std::string_view accessibleName(const FormDesign& design, std::string_view control) {
  for (const AccessibleName& named : design.accessibleNames) {
    if (named.control == control) return named.name;
  }
  return {};
}

void create(const Form& form, int index) {
  const FormDesign& design = form.design();
  const ControlDesign& row = design.controls[static_cast<std::size_t>(index)];
  const ControlState& state = form.loadedControl(index);
  int width = toPixels(row.width);
  int height = toPixels(row.height);
  std::string pictureName;
  if (row.kind == ControlKind::PictureBox) {
    const PictureInfo& info = picture(row.picture);
    if (row.autoSize) {
      width = info.width + 2 * kBorderPixels;
      height = info.height + 2 * kBorderPixels;
    }
    pictureName = text(row.picture);
  }
  vorek_js_control_create(form.slot(), index, text(row.name).c_str(), kindCode(row.kind),
                          row.container.empty() ? -1 : design.indexOf(row.container),
                          toPixels(state.left), toPixels(state.top), width, height, row.tabIndex,
                          state.caption.c_str(), pictureName.c_str(),
                          text(accessibleName(design, row.name)).c_str(),
                          row.alignment == Alignment::Center ? 1 : 0, row.click.empty() ? 0 : 1);
}

}  // namespace

void WebHost::loaded(const Form& form) {
  const FormDesign& design = form.design();
  std::string icon;
  if (!design.icon.empty()) icon = text(picture(design.icon).name);
  vorek_js_window_create(form.slot(), static_cast<double>(form.generation()),
                         text(design.name).c_str(), text(design.caption).c_str(), icon.c_str(),
                         toPixels(design.clientWidth), toPixels(design.clientHeight));
  for (std::size_t i = 0; i < design.controls.size(); ++i) create(form, static_cast<int>(i));
  vorek_js_window_centre(form.slot());
}

void WebHost::shown(const Form& form) { vorek_js_window_show(form.slot()); }

void WebHost::unloaded(const Form& form) { vorek_js_window_remove(form.slot()); }

void WebHost::changed(const Form& form, int index) {
  const ControlDesign& row = form.design().controls[static_cast<std::size_t>(index)];
  const ControlState& state = form.loadedControl(index);
  if (row.kind == ControlKind::PictureBox)
    vorek_js_control_move(form.slot(), index, toPixels(state.left), toPixels(state.top));
  else
    vorek_js_control_caption(form.slot(), index, state.caption.c_str());
}

void WebHost::messageBox(std::string_view prompt, std::string_view title) {
  vorek_js_box(text(prompt).c_str(), text(title).c_str(), 0);
}

void WebHost::errorBox(std::string_view message, std::string_view title) {
  vorek_js_box(text(message).c_str(), text(title).c_str(), 1);
}

void WebHost::quit(int status) { vorek_js_end(status); }

}  // namespace platform
