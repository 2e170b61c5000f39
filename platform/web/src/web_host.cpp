// web_host.cpp: the web host, which asks the page script to build, update and remove windows.
#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/form.h"
#include "platform/layout.h"
#include "platform/web_app.h"
#include "web_page.h"

namespace platform {
namespace {

// The browser scales for the screen by itself: the host lays out in pixels at 96 dpi.
constexpr int kLayoutDpi = 96;

std::string text(std::string_view view) { return std::string(view); }

const PictureInfo& picture(std::string_view name) {
  for (const PictureInfo& info : embeddedPictures()) {
    if (info.name == name) return info;
  }
  throw RuntimeError(ErrorNumber::InvalidPicture, name);
}

PixelSize pictureSize(std::string_view name) {
  const PictureInfo& info = picture(name);
  return {info.width, info.height};
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

// The runtime's focus steps and pile for the page to apply: Tab's and Shift+Tab's row from each
// row and, last, from nothing focused; then each row's place in the pile, the top first.
void order(const Form& form, const FormLayout& layout) {
  const auto rows = static_cast<int>(layout.controls.size());
  std::vector<int> table;
  for (int from = 0; from <= rows; ++from) {
    for (bool backwards : {false, true})
      table.push_back(tabStep(layout.tabOrder, from < rows ? from : -1, backwards));
  }
  table.resize(table.size() + layout.stacking.size());
  for (std::size_t k = 0; k < layout.stacking.size(); ++k)
    table[2 * static_cast<std::size_t>(rows + 1) + static_cast<std::size_t>(layout.stacking[k])] =
        static_cast<int>(k);
  vorek_js_window_order(form.slot(), table.data(), rows);
}

void create(const Form& form, const FormLayout& layout, int index) {
  const ControlDesign& row = form.design().controls[static_cast<std::size_t>(index)];
  const ControlLayout& control = layout.controls[static_cast<std::size_t>(index)];
  const PixelRect& at = control.rect;
  const std::string pictureName =
      row.kind == ControlKind::PictureBox ? text(picture(row.picture).name) : std::string();
  vorek_js_control_create(form.slot(), index, text(row.name).c_str(), kindCode(row.kind),
                          at.left, at.top, at.width, at.height, layout.takesFocus(index) ? 1 : 0,
                          form.loadedControl(index).caption.c_str(), pictureName.c_str(),
                          text(control.accessibleName).c_str(),
                          row.alignment == Alignment::Center ? 1 : 0, row.click.empty() ? 0 : 1);
}

}  // namespace

void WebHost::loaded(const Form& form) {
  const FormDesign& design = form.design();
  std::string icon;
  if (!design.icon.empty()) icon = text(picture(design.icon).name);
  const FormLayout layout = layOut(form, kLayoutDpi, pictureSize);
  vorek_js_window_create(form.slot(), static_cast<double>(form.generation()),
                         text(design.name).c_str(), text(design.caption).c_str(), icon.c_str(),
                         layout.client.width, layout.client.height);
  for (std::size_t i = 0; i < design.controls.size(); ++i)
    create(form, layout, static_cast<int>(i));
  order(form, layout);
  int sizes[4] = {};
  if (vorek_js_window_measure(form.slot(), sizes) != 0) {
    const PixelRect at = centred({sizes[0], sizes[1]}, {0, 0, sizes[2], sizes[3]});
    vorek_js_window_place(form.slot(), at.left, at.top);
  }
}

void WebHost::shown(const Form& form) { vorek_js_window_show(form.slot()); }

void WebHost::unloaded(const Form& form) { vorek_js_window_remove(form.slot()); }

void WebHost::changed(const Form& form, int index, Change what) {
  if (what == Change::Position) {
    const PixelRect at = layOutControl(form, index, kLayoutDpi, pictureSize).rect;
    vorek_js_control_move(form.slot(), index, at.left, at.top);
  } else {
    vorek_js_control_caption(form.slot(), index, form.loadedControl(index).caption.c_str());
  }
}

void WebHost::messageBox(std::string_view prompt, std::string_view title) {
  vorek_js_box(text(prompt).c_str(), text(title).c_str(), 0);
}

void WebHost::errorBox(std::string_view message, std::string_view title) {
  vorek_js_box(text(message).c_str(), text(title).c_str(), 1);
}

void WebHost::quit(int status) { vorek_js_end(status); }

}  // namespace platform
