// layout.h: a form in pixels, worked out once for every host: each host places and draws its
// widgets where this says, and computes no size, edge, tab order or centring of its own.
#pragma once

#include <algorithm>
#include <functional>
#include <string_view>
#include <vector>

#include "platform/design.h"

namespace platform {

class Form;

struct PixelSize {
  int width = 0;
  int height = 0;
  bool operator==(const PixelSize&) const = default;
};

struct PixelRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const PixelRect&) const = default;
};

// A design's picture in pixels at 96 dots per inch, by its file name. An empty function: the
// boxes that size themselves to their picture keep their design's size.
using PictureSizes = std::function<PixelSize(std::string_view picture)>;

// Every figure is worked out in pixels at 96 dots per inch, then scaled to the screen's density
// and rounded, so that every host, whether it scales by itself or by its toolkit, puts each
// control and picture on the same pixel.
int scaled(int pixels, int dpi);
// Twips to whole pixels at `dpi` dots per inch.
int pixelsAt(Twips twips, int dpi);
// The width of a picture box's sunken edge: two rings of one pixel at 96 dpi.
int sunkenEdge(int dpi);

struct ControlLayout {
  PixelRect rect;  // in the client area, a control inside a frame included
  int edge = 0;    // a picture box's sunken edge; 0 for the others
  std::string_view accessibleName;  // what a screen reader says; empty: the control's text
};

// Focus and stacking are decided here once, and each host applies them with its toolkit's own
// means (a focus chain, WS_TABSTOP and the Z order, tabindex and z-index).
struct FormLayout {
  PixelSize client;
  std::vector<ControlLayout> controls;  // by the design's rows
  // The rows that take the focus, by tab index: a click on one of them focuses it, the others
  // never take the focus. The first has it when the window opens.
  std::vector<int> tabOrder;
  // Every row, from the top of the window's pile down: a control inside a frame stands over the
  // frame, and a later row over an earlier one, so that each box's top and left edges, where
  // neighbours overlap by a pixel, show whole.
  std::vector<int> stacking;

  int firstFocus() const { return tabOrder.empty() ? -1 : tabOrder.front(); }
  bool takesFocus(int row) const {
    return std::find(tabOrder.begin(), tabOrder.end(), row) != tabOrder.end();
  }
};

// Where Tab (or Shift+Tab, `backwards`) takes the focus from row `focused`: round the tab order.
// From nothing focused (-1) or from a row outside the order, Tab goes to the first and Shift+Tab
// to the last, as on a desktop. -1 when no row takes the focus.
int tabStep(const std::vector<int>& tabOrder, int focused, bool backwards);

// The form as designed, every control at its design place.
FormLayout layOut(const FormDesign& design, int dpi, const PictureSizes& pictures);
// A loaded form, its controls where the program has put them.
FormLayout layOut(const Form& form, int dpi, const PictureSizes& pictures);
// One control of a loaded form, where the program has put it.
ControlLayout layOutControl(const Form& form, int index, int dpi, const PictureSizes& pictures);

// The top-left corner of a window of `outer` size centred in `workArea`, in whole pixels.
PixelRect centred(PixelSize outer, const PixelRect& workArea);

}  // namespace platform
