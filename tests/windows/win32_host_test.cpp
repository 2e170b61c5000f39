// win32_host_test.cpp: the Win32 host on real windows under Wine: layout, texts, focus, fit,
// window lives, the modal box, runtime errors and the input made during an event.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "../pictures.h"
#include "forms/forms.h"
#include "platform/errors.h"
#include "platform/layout.h"
#include "platform/random.h"
#include "platform/win32_app.h"
#include "wide.h"

namespace vorek_test {
namespace {

using forms::kPortrait;
using forms::kSujet;
using forms::kVorek;
using platform::ControlKind;
using platform::FormDesign;
using platform::PixelRect;

std::wstring textOf(HWND hwnd) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::wstring classOf(HWND hwnd) {
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  return name;
}

// The program's window classes, named by its record.
const std::wstring kFormClass = platform::formWindowClass(forms::project());
const std::wstring kPictureBoxClass = platform::pictureBoxClass(forms::project());

// Where a control stands in the client area of `parent`.
PixelRect placeOf(HWND hwnd, HWND parent) {
  RECT rect;
  GetWindowRect(hwnd, &rect);
  MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

PixelRect clientOf(HWND hwnd) {
  RECT client;
  GetClientRect(hwnd, &client);
  return {0, 0, client.right, client.bottom};
}

// What a control shows once painted, pixel by pixel, row after row.
std::vector<COLORREF> shown(HWND control) {
  UpdateWindow(control);
  const PixelRect inside = clientOf(control);
  std::vector<COLORREF> pixels;
  HDC dc = GetDC(control);
  for (int y = 0; y < inside.height; ++y) {
    for (int x = 0; x < inside.width; ++x) pixels.push_back(GetPixel(dc, x, y));
  }
  ReleaseDC(control, dc);
  return pixels;
}

// The system's message font at `dpi`, which every text of the windows is in.
LOGFONTW messageFont(UINT dpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  EXPECT_TRUE(
      SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi));
  return metrics.lfMessageFont;
}

// The control's text fits it, in its font: a button's on one line inside its 2-pixel edge, a
// frame's in the top edge after the frame's corner (about 8 pixels), a label's broken at spaces
// onto as many lines as it needs, within the label's own size.
void expectFits(HWND hwnd, ControlKind kind, int dpi) {
  const std::wstring text = textOf(hwnd);
  const PixelRect box = clientOf(hwnd);
  HDC dc = GetDC(hwnd);
  HGDIOBJ previous =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)));
  SIZE line{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &line);
  RECT wrapped{0, 0, box.width, box.height};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &wrapped,
            DT_CALCRECT | DT_WORDBREAK | DT_CENTER | DT_NOPREFIX);
  SelectObject(dc, previous);
  ReleaseDC(hwnd, dc);
  if (kind == ControlKind::Label) {
    EXPECT_LE(wrapped.right - wrapped.left, box.width);
    EXPECT_LE(wrapped.bottom - wrapped.top, box.height) << line.cy << " a line";
    EXPECT_GT(wrapped.bottom - wrapped.top, line.cy) << "takes several lines";
  } else {
    EXPECT_LE(line.cx + platform::scaled(kind == ControlKind::Frame ? 16 : 4, dpi), box.width);
    if (kind == ControlKind::CommandButton) {
      EXPECT_LE(line.cy + platform::scaled(4, dpi), box.height);
    }
  }
}

// The visible top-level windows of this thread with the given class.
std::vector<HWND> visibleWindows(const wchar_t* windowClass) {
  struct Search {
    const wchar_t* windowClass;
    std::vector<HWND> found;
  } search{windowClass, {}};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND hwnd, LPARAM param) {
        auto* s = reinterpret_cast<Search*>(param);
        if (IsWindowVisible(hwnd) && classOf(hwnd) == s->windowClass) s->found.push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// The texts of a message box: its title and the texts of its static controls.
std::wstring boxText(HWND box) {
  std::wstring text;
  EnumChildWindows(
      box,
      [](HWND child, LPARAM param) {
        if (classOf(child) == L"Static") *reinterpret_cast<std::wstring*>(param) += textOf(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&text));
  return text;
}

// While a box blocks this thread, a thread timer is the one way to act: it looks for the box
// at every tick, lets the test look at everything while the box is open, then closes the box.
struct BoxWatch {
  std::function<void(HWND box)> whileOpen;
  bool seen = false;
  static inline BoxWatch* current = nullptr;

  static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
    if (current == nullptr || current->seen) return;
    const auto boxes = visibleWindows(L"#32770");
    if (boxes.empty()) return;
    current->seen = true;
    current->whileOpen(boxes.front());
    PostMessageW(boxes.front(), WM_COMMAND, IDOK, 0);
  }
};

class Win32Host : public ::testing::Test {
 protected:
  void SetUp() override {
    runtime.start();
    ASSERT_TRUE(waitFor([&] { return window(kVorek) != nullptr; }));
  }

  // Delivers messages until `done` holds; false after ten seconds (a test failure, never a
  // pause: every wait ends as soon as its effect is there).
  bool waitFor(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (true) {
      host.processPending();
      if (done()) return true;
      if (std::chrono::steady_clock::now() > deadline) return false;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
  }

  static const FormDesign& design(int slot) {
    return *forms::project().forms[static_cast<std::size_t>(slot)];
  }

  // The visible window of form `slot`, or null: its title and client size tell it.
  HWND window(int slot) const {
    const platform::PixelSize client =
        platform::layOut(design(slot), static_cast<int>(GetDpiForSystem()), {}).client;
    for (HWND hwnd : visibleWindows(kFormClass.c_str())) {
      if (textOf(hwnd) == wide(design(slot).caption) &&
          clientOf(hwnd) == PixelRect{0, 0, client.width, client.height})
        return hwnd;
    }
    return nullptr;
  }

  static HWND control(HWND window, int index) {
    return GetDlgItem(window, platform::kFirstControlId + index);
  }
  static HWND control(HWND window, int slot, std::string_view name) {
    return control(window, design(slot).indexOf(name));
  }

  int dpi() const { return static_cast<int>(GetDpiForWindow(window(kVorek))); }
  platform::FormLayout layout(int slot) {
    return platform::layOut(runtime.form(slot), dpi(), pictureSize);
  }

  // The form's window as the runtime lays it out at the screen's DPI: its client size, every
  // control's place, kind, text (a picture's is its accessible name), the message font, and
  // every text fits its control.
  void expectAsLaidOut(int slot) {
    SCOPED_TRACE(std::string(design(slot).name));
    HWND form = window(slot);
    ASSERT_NE(form, nullptr);
    const platform::FormLayout laidOut = layout(slot);
    EXPECT_EQ(clientOf(form), (PixelRect{0, 0, laidOut.client.width, laidOut.client.height}));
    const LOGFONTW message = messageFont(static_cast<UINT>(dpi()));
    for (std::size_t i = 0; i < laidOut.controls.size(); ++i) {
      const auto& row = design(slot).controls[i];
      SCOPED_TRACE(std::string(row.name));
      HWND hwnd = control(form, static_cast<int>(i));
      EXPECT_EQ(placeOf(hwnd, form), laidOut.controls[i].rect);
      const auto& caption = runtime.form(slot).loadedControl(static_cast<int>(i)).caption;
      const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
      switch (row.kind) {
        case ControlKind::PictureBox:
          EXPECT_EQ(textOf(hwnd), wide(laidOut.controls[i].accessibleName));
          continue;
        // A plain push button: none is the default button, which Return would press.
        case ControlKind::CommandButton: EXPECT_EQ(style & BS_TYPEMASK, BS_PUSHBUTTON); break;
        case ControlKind::Frame: EXPECT_EQ(style & BS_TYPEMASK, BS_GROUPBOX); break;
        case ControlKind::Label:
          EXPECT_EQ(style & SS_TYPEMASK,
                    row.alignment == platform::Alignment::Center ? SS_CENTER : SS_LEFT);
          break;
      }
      EXPECT_EQ(classOf(hwnd), row.kind == ControlKind::Label ? L"Static" : L"Button");
      EXPECT_EQ(textOf(hwnd), wide(caption));
      LOGFONTW used{};
      GetObjectW(reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)), sizeof used, &used);
      EXPECT_STREQ(used.lfFaceName, message.lfFaceName);
      EXPECT_EQ(used.lfHeight, message.lfHeight);
      expectFits(hwnd, row.kind, dpi());
    }
  }

  // A click: the left button pressed and released on the control, handled at once. (Posted,
  // the two could be parted by the activation of another window, which takes the capture.)
  void click(HWND control) { mouse(control, SendMessageW); }
  // The same click queued, as the window system queues it, to be handled in turn.
  void postClick(HWND control) { mouse(control, PostMessageW); }
  template <typename Deliver>
  void mouse(HWND control, Deliver deliver) {
    const PixelRect inside = clientOf(control);
    const LPARAM at = MAKELPARAM(inside.width / 2, inside.height / 2);
    deliver(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
    deliver(control, WM_LBUTTONUP, 0, at);
  }
  void key(HWND target, UINT key) {
    PostMessageW(target, WM_KEYDOWN, key, 1);
    PostMessageW(target, WM_KEYUP, key, 0xC0000001);
  }
  void clickAndWait(int slot, std::string_view name, int opens) {
    click(control(window(slot), slot, name));
    ASSERT_TRUE(waitFor([&] { return window(opens) != nullptr; })) << name;
  }
  // "Voir", then "Quitter": the portrait window and the About window, each waited for.
  void openPortraitThenAbout() {
    clickAndWait(kVorek, "Voir", kPortrait);
    clickAndWait(kVorek, "Quitter", kSujet);
  }
  // Runs `work` as one event, with `whileOpen` run while the box it opens is open.
  void withBox(const std::function<void()>& work, std::function<void(HWND)> whileOpen) {
    BoxWatch watch{std::move(whileOpen)};
    BoxWatch::current = &watch;
    const UINT_PTR timer = SetTimer(nullptr, 0, 20, BoxWatch::tick);
    runtime.dispatch(work);
    KillTimer(nullptr, timer);
    BoxWatch::current = nullptr;
    EXPECT_TRUE(watch.seen) << "no box was opened";
  }

  platform::Win32Host host;
  platform::MersenneRandom random;
  platform::Runtime runtime{forms::project(), host, random};
  forms::Program program{runtime};
};

TEST_F(Win32Host, TheMainWindowIsCentredOnTheWorkAreaWithTheProgramsIcon) {
  HWND main = window(kVorek);
  RECT outer;
  GetWindowRect(main, &outer);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(main, MONITOR_DEFAULTTOPRIMARY), &monitor);
  const RECT& work = monitor.rcWork;
  EXPECT_LE(std::abs((outer.left + outer.right) - (work.left + work.right)), 1) << outer.left;
  EXPECT_LE(std::abs((outer.top + outer.bottom) - (work.top + work.bottom)), 1) << outer.top;
  EXPECT_NE(SendMessageW(main, WM_GETICON, ICON_BIG, 0), 0) << "the program's icon";
}

// Run at the screen's DPI; the test session runs it at 96 dpi, and prefixes set to 144 and 192
// dpi run it again with VOREK_EXPECTED_DPI set.
TEST_F(Win32Host, EveryWindowStandsWhereTheLayoutSays) {
  if (const char* expected = std::getenv("VOREK_EXPECTED_DPI")) {
    ASSERT_EQ(dpi(), std::atoi(expected));
  }
  openPortraitThenAbout();
  // The main window was unloaded by the way out; show it again beside the others.
  runtime.dispatch([&] { runtime.form(kVorek).Show(); });
  ASSERT_TRUE(waitFor([&] { return window(kVorek) != nullptr; }));
  for (int slot : {kVorek, kPortrait, kSujet}) {
    EXPECT_EQ(textOf(window(slot)), wide(design(slot).caption));
    expectAsLaidOut(slot);
  }
  // In a sunken edge as wide as the density asks, of two rings in the system's colours, the
  // outer one half of it, dark at the top left: seen on the About window's first picture, which
  // no neighbour overlaps (the board's boxes overlap by a pixel).
  const int edge = platform::sunkenEdge(dpi());
  const int width =
      layout(kSujet).controls[std::size_t(design(kSujet).indexOf("Picture1"))].rect.width;
  const std::vector<COLORREF> drawn = shown(control(window(kSujet), kSujet, "Picture1"));
  ASSERT_EQ(drawn.size(), std::size_t(width * width));
  for (int i = 0; i < edge; ++i) {
    const bool outer = i < edge / 2;
    EXPECT_EQ(drawn[std::size_t(i * width + i)],
              GetSysColor(outer ? COLOR_BTNSHADOW : COLOR_3DDKSHADOW))
        << "edge pixel " << i;
    const int last = width - 1 - i;
    EXPECT_EQ(drawn[std::size_t(last * width + last)],
              GetSysColor(outer ? COLOR_BTNHIGHLIGHT : COLOR_3DLIGHT))
        << "edge pixel " << last;
  }
}

TEST_F(Win32Host, TabFollowsTheLayoutsOrderFromTheFirstPictureBox) {
  HWND main = window(kVorek);
  ASSERT_TRUE(waitFor([&] { return GetFocus() != nullptr; }));
  // Round the tab order, back to the first.
  std::vector<HWND> order;
  for (int index : layout(kVorek).tabOrder) order.push_back(control(main, index));
  order.push_back(order.front());
  EXPECT_EQ(GetFocus(), order.front()) << "the focus starts on the first box";
  // A box reached by Tab shows the focus, inside its edge: it is drawn otherwise than once the
  // focus has left it, and only on the ring just inside its edge, the picture whole inside that.
  std::vector<COLORREF> focused;
  for (std::size_t k = 1; k < order.size(); ++k) {
    HWND left = GetFocus();
    key(left, VK_TAB);
    EXPECT_TRUE(waitFor([&] { return GetFocus() == order[k]; })) << "Tab to " << k;
    if (!focused.empty()) {
      const std::vector<COLORREF> unfocused = shown(left);
      ASSERT_EQ(focused.size(), unfocused.size());
      EXPECT_NE(focused, unfocused) << k - 1 << " shows no focus";
      const int width = clientOf(left).width, height = clientOf(left).height;
      int overPicture = 0;
      for (std::size_t i = 0; i < focused.size(); ++i) {
        const int x = static_cast<int>(i) % width, y = static_cast<int>(i) / width;
        const bool edge = std::min({x, y, width - 1 - x, height - 1 - y}) < 3;
        if (!edge && focused[i] != unfocused[i]) ++overPicture;
      }
      EXPECT_EQ(overPicture, 0) << k - 1 << ": pixels of the picture changed";
    }
    focused =
        classOf(order[k]) == kPictureBoxClass ? shown(order[k]) : std::vector<COLORREF>{};
  }
  // Shift+Tab goes back.
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_SHIFT] = 0x80;
  SetKeyboardState(keys);
  key(GetFocus(), VK_TAB);
  keys[VK_SHIFT] = 0;
  const bool back = waitFor([&] { return GetFocus() == order[order.size() - 2]; });
  SetKeyboardState(keys);
  EXPECT_TRUE(back) << "Shift+Tab from the first control to the last";
}

TEST_F(Win32Host, ReturnAndEscDoNothingAndSpacePressesTheFocusedButton) {
  HWND main = window(kVorek);
  HWND quitter = control(main, kVorek, "Quitter");
  SetFocus(quitter);
  ASSERT_EQ(GetFocus(), quitter);
  for (UINT pressed : {VK_RETURN, VK_ESCAPE}) key(quitter, pressed);
  host.processPending();
  // Return on Quitter would have left for the About window; Esc would have closed something.
  HWND voir = control(main, kVorek, "Voir");
  SetFocus(voir);
  key(voir, VK_SPACE);
  ASSERT_TRUE(waitFor([&] { return window(kPortrait) != nullptr; })) << "Space on Voir";
  EXPECT_NE(window(kVorek), nullptr);
  EXPECT_EQ(window(kSujet), nullptr);
}

TEST_F(Win32Host, ATitleBarCloseUnloadsTheWindowAndTheLastOneEndsTheProgram) {
  clickAndWait(kVorek, "Voir", kPortrait);
  SendMessageW(window(kVorek), WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_TRUE(waitFor([&] { return window(kVorek) == nullptr; }));
  EXPECT_FALSE(runtime.form(kVorek).loaded());
  EXPECT_FALSE(runtime.ended()) << "the portrait window is still open";
  SendMessageW(window(kPortrait), WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_TRUE(waitFor([&] { return runtime.ended(); }));
  EXPECT_EQ(runtime.exitStatus(), 0);
  EXPECT_TRUE(visibleWindows(kFormClass.c_str()).empty());
}

TEST_F(Win32Host, OkOnTheAboutWindowEndsEveryWindowWithStatusZero) {
  openPortraitThenAbout();
  EXPECT_EQ(window(kVorek), nullptr);
  click(control(window(kSujet), kSujet, "ok"));
  ASSERT_TRUE(waitFor([&] { return runtime.ended(); }));
  EXPECT_EQ(runtime.exitStatus(), 0);
  EXPECT_TRUE(visibleWindows(kFormClass.c_str()).empty());
}

TEST_F(Win32Host, TheBoxBlocksItsHandlerAndEveryWindowUntilItIsClosed) {
  clickAndWait(kVorek, "Voir", kPortrait);
  bool after = false;
  withBox(
      [&] {
        runtime.MsgBox("Bravo !", platform::vbOKOnly, "Vorek");
        after = true;
      },
      [&](HWND box) {
        EXPECT_EQ(textOf(box), L"Vorek");
        EXPECT_NE(boxText(box).find(L"Bravo !"), std::wstring::npos) << boxText(box);
        EXPECT_FALSE(after) << "the handler waits for the box";
        EXPECT_EQ(GetWindowLongW(box, GWL_STYLE) & WS_VISIBLE, WS_VISIBLE);
        for (int slot : {kVorek, kPortrait})
          EXPECT_FALSE(IsWindowEnabled(window(slot))) << "window " << slot << " takes clicks";
      });
  EXPECT_TRUE(after);
  for (int slot : {kVorek, kPortrait}) EXPECT_TRUE(IsWindowEnabled(window(slot))) << slot;
}

TEST_F(Win32Host, ARuntimeErrorShowsTheFrenchBoxThenEndsWithStatusOne) {
  withBox([] { throw platform::RuntimeError(platform::ErrorNumber::Overflow); },
          [&](HWND box) {
            EXPECT_EQ(textOf(box), L"Vorek");
            EXPECT_NE(boxText(box).find(L"Erreur d'ex\u00e9cution '6'"), std::wstring::npos)
                << boxText(box);
            EXPECT_NE(boxText(box).find(L"D\u00e9passement de capacit\u00e9"), std::wstring::npos);
          });
  EXPECT_EQ(runtime.exitStatus(), 1);
  EXPECT_TRUE(visibleWindows(kFormClass.c_str()).empty());
}

TEST_F(Win32Host, InputMadeDuringAnEventWaitsItsTurnUnlessItsWindowWent) {
  // A click on Voir made while another handler runs is delivered once that handler returns.
  HWND voir = control(window(kVorek), kVorek, "Voir");
  runtime.dispatch([&] { postClick(voir); });
  EXPECT_TRUE(waitFor([&] { return window(kPortrait) != nullptr; }));
  // One aimed at a window that the handler unloaded goes with that window: the shuffle rebuilds
  // the main window, so a click sent meanwhile to the old Quitter neither quits nor restarts.
  HWND old = window(kVorek);
  HWND quitter = control(old, kVorek, "Quitter");
  runtime.dispatch([&] {
    runtime.form(kVorek).Unload();
    runtime.form(kVorek).Show();
    postClick(quitter);
  });
  ASSERT_TRUE(waitFor([&] { return !IsWindow(old); })) << "the old window is destroyed";
  host.processPending();
  EXPECT_NE(window(kVorek), nullptr);
  EXPECT_EQ(window(kSujet), nullptr) << "the click on the old Quitter reached a handler";
}

TEST_F(Win32Host, AShuffleRebuildsOneMainWindowAndItsPiecesFollowTheirPositions) {
  click(control(window(kVorek), kVorek, "Command1"));
  ASSERT_TRUE(waitFor([&] {
    HWND main = window(kVorek);
    return main != nullptr && textOf(control(main, kVorek, "Quitter")) == L"Finir";
  }));
  EXPECT_EQ(visibleWindows(kFormClass.c_str()).size(), 1u);
  expectAsLaidOut(kVorek);
}

}  // namespace
}  // namespace vorek_test
