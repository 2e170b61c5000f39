// layout.cpp: a form's controls, tab order and names in pixels, at any screen density.
#include "platform/layout.h"

#include <algorithm>
#include <cmath>

#include "platform/form.h"

namespace platform {
namespace {

// Where each row stands, in twips, relative to its container.
using Place = std::function<ControlState(int index)>;

ControlLayout control(const FormDesign& design, int index, const Place& place, int dpi,
                      const PictureSizes& pictures) {
  const ControlDesign& row = design.controls[static_cast<std::size_t>(index)];
  ControlState at = place(index);
  // A control inside a frame stands from the frame's corner.
  if (!row.container.empty()) {
    const ControlState frame = place(design.indexOf(row.container));
    at.left += frame.left;
    at.top += frame.top;
  }
  ControlLayout layout;
  PixelSize size{toPixels(row.width), toPixels(row.height)};
  if (row.kind == ControlKind::PictureBox) {
    layout.edge = sunkenEdge(dpi);
    if (row.autoSize && pictures) {
      // Sized to its picture and the edge around it.
      const PixelSize picture = pictures(row.picture);
      size = {picture.width + 2 * sunkenEdge(96), picture.height + 2 * sunkenEdge(96)};
    }
  }
  layout.rect = {pixelsAt(at.left, dpi), pixelsAt(at.top, dpi), scaled(size.width, dpi),
                 scaled(size.height, dpi)};
  for (const AccessibleName& named : design.accessibleNames) {
    if (named.control == row.name) layout.accessibleName = named.name;
  }
  return layout;
}

FormLayout form(const FormDesign& design, const Place& place, int dpi,
                const PictureSizes& pictures) {
  FormLayout layout;
  layout.client = {pixelsAt(design.clientWidth, dpi), pixelsAt(design.clientHeight, dpi)};
  for (std::size_t i = 0; i < design.controls.size(); ++i) {
    const int index = static_cast<int>(i);
    layout.controls.push_back(control(design, index, place, dpi, pictures));
    const ControlKind kind = design.controls[i].kind;
    if (kind == ControlKind::PictureBox || kind == ControlKind::CommandButton)
      layout.tabOrder.push_back(index);
  }
  // Not std::ranges: the web build's library lacks its algorithms.
  const auto row = [&design](int index) -> const ControlDesign& {
    return design.controls[static_cast<std::size_t>(index)];
  };
  std::stable_sort(layout.tabOrder.begin(), layout.tabOrder.end(),
                   [&row](int a, int b) { return row(a).tabIndex < row(b).tabIndex; });
  for (auto i = static_cast<int>(design.controls.size()) - 1; i >= 0; --i)
    layout.stacking.push_back(i);
  std::stable_partition(layout.stacking.begin(), layout.stacking.end(),
                        [&row](int index) { return !row(index).container.empty(); });
  return layout;
}

Place designed(const FormDesign& design) {
  return [&design](int index) {
    const ControlDesign& row = design.controls[static_cast<std::size_t>(index)];
    return ControlState{row.left, row.top, {}};
  };
}

Place loaded(const Form& form) {
  return [&form](int index) {
    const ControlState& state = form.loadedControl(index);
    return ControlState{state.left, state.top, {}};
  };
}

}  // namespace

int scaled(int pixels, int dpi) {
  return static_cast<int>(std::lround(static_cast<double>(pixels) * dpi / 96.0));
}

int pixelsAt(Twips twips, int dpi) { return scaled(toPixels(twips), dpi); }

int sunkenEdge(int dpi) { return scaled(2, dpi); }

FormLayout layOut(const FormDesign& design, int dpi, const PictureSizes& pictures) {
  return form(design, designed(design), dpi, pictures);
}

FormLayout layOut(const Form& form, int dpi, const PictureSizes& pictures) {
  return platform::form(form.design(), loaded(form), dpi, pictures);
}

ControlLayout layOutControl(const Form& form, int index, int dpi, const PictureSizes& pictures) {
  return control(form.design(), index, loaded(form), dpi, pictures);
}

int tabStep(const std::vector<int>& tabOrder, int focused, bool backwards) {
  if (tabOrder.empty()) return -1;
  const auto at = std::find(tabOrder.begin(), tabOrder.end(), focused);
  if (at == tabOrder.end()) return backwards ? tabOrder.back() : tabOrder.front();
  const auto count = static_cast<std::ptrdiff_t>(tabOrder.size());
  const std::ptrdiff_t next = (at - tabOrder.begin() + (backwards ? count - 1 : 1)) % count;
  return tabOrder[static_cast<std::size_t>(next)];
}

PixelRect centred(PixelSize outer, const PixelRect& workArea) {
  return {workArea.left + (workArea.width - outer.width) / 2,
          workArea.top + (workArea.height - outer.height) / 2, outer.width, outer.height};
}

}  // namespace platform
