// win32_host_test.cpp: the Win32 host on real windows under Wine: layout, texts, focus, fit,
// window lives, the modal box, runtime errors and the input made during an event.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "forms/forms.h"
#include "platform/errors.h"
#include "platform/random.h"
#include "platform/win32_app.h"

namespace {

using forms::kPortrait;
using forms::kSujet;
using forms::kVorek;
using platform::ControlKind;
using platform::FormDesign;

std::wstring wide(std::string_view utf8) {
  std::wstring text(utf8.size(), L'\0');
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                         text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<std::size_t>(length));
  return text;
}

std::wstring textOf(HWND hwnd) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::wstring classOf(HWND hwnd) {
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  return name;
}

// A rectangle in the client coordinates of `parent`.
RECT rectIn(HWND hwnd, HWND parent) {
  RECT rect;
  GetWindowRect(hwnd, &rect);
  MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::string describe(const RECT& r) {
  return "(" + std::to_string(r.left) + ", " + std::to_string(r.top) + ", " +
         std::to_string(r.right - r.left) + " x " + std::to_string(r.bottom - r.top) + ")";
}

// What a control shows once painted, pixel by pixel, row after row.
std::vector<COLORREF> shown(HWND control) {
  UpdateWindow(control);
  RECT inside;
  GetClientRect(control, &inside);
  std::vector<COLORREF> pixels;
  HDC dc = GetDC(control);
  for (int y = 0; y < inside.bottom; ++y) {
    for (int x = 0; x < inside.right; ++x) pixels.push_back(GetPixel(dc, x, y));
  }
  ReleaseDC(control, dc);
  return pixels;
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

  // The visible window of form `slot`, or null.
  HWND window(int slot) const {
    const std::wstring title = wide(forms::project().forms[static_cast<std::size_t>(slot)]->caption);
    const RECT wanted = designClient(slot);
    for (HWND hwnd : visibleWindows(platform::kFormWindowClass)) {
      RECT client;
      GetClientRect(hwnd, &client);
      if (textOf(hwnd) == title && client.right == wanted.right && client.bottom == wanted.bottom)
        return hwnd;
    }
    return nullptr;
  }

  static const FormDesign& design(int slot) {
    return *forms::project().forms[static_cast<std::size_t>(slot)];
  }
  static int row(int slot, std::string_view name) { return design(slot).indexOf(name); }
  static HWND control(HWND window, int index) {
    return GetDlgItem(window, platform::kFirstControlId + index);
  }
  static HWND control(HWND window, int slot, std::string_view name) {
    return control(window, row(slot, name));
  }

  int dpi() const { return static_cast<int>(GetDpiForWindow(window(kVorek))); }
  // A figure in pixels at 96 dpi, at the window's density: every host scales the same way.
  int scaled(double pixels96) const {
    return static_cast<int>(std::lround(pixels96 * dpi() / 96.0));
  }
  int pixels(double twips) const { return scaled(std::lround(twips / 15.0)); }
  RECT designClient(int slot) const {
    const int d = static_cast<int>(GetDpiForSystem());
    auto px = [d](double t) { return static_cast<LONG>(std::lround(t * d / 1440.0)); };
    return {0, 0, px(design(slot).clientWidth), px(design(slot).clientHeight)};
  }

  // A click: the left button pressed and released on the control, handled at once. (Posted,
  // the two could be parted by the activation of another window, which takes the capture.)
  void click(HWND control) { mouse(control, SendMessageW); }
  // The same click queued, as the window system queues it, to be handled in turn.
  void postClick(HWND control) { mouse(control, PostMessageW); }
  template <typename Deliver>
  void mouse(HWND control, Deliver deliver) {
    RECT inside;
    GetClientRect(control, &inside);
    const LPARAM at = MAKELPARAM(inside.right / 2, inside.bottom / 2);
    deliver(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
    deliver(control, WM_LBUTTONUP, 0, at);
  }
  void key(HWND target, UINT key) {
    PostMessageW(target, WM_KEYDOWN, key, 1);
    PostMessageW(target, WM_KEYUP, key, 0xC0000001);
  }
  // "Voir", then "Quitter": the portrait window and the About window, each waited for.
  void openPortraitThenAbout() {
    click(control(window(kVorek), kVorek, "Voir"));
    ASSERT_TRUE(waitFor([&] { return window(kPortrait) != nullptr; }));
    click(control(window(kVorek), kVorek, "Quitter"));
    ASSERT_TRUE(waitFor([&] { return window(kSujet) != nullptr; }));
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

TEST_F(Win32Host, TheMainWindowsClientAreaIsTheDesignsSizeCentredOnTheWorkArea) {
  HWND main = window(kVorek);
  ASSERT_NE(main, nullptr);
  RECT client;
  GetClientRect(main, &client);
  EXPECT_EQ(client.right, pixels(4845));
  EXPECT_EQ(client.bottom, pixels(3195));
  if (dpi() == 96) {
    EXPECT_EQ(client.right, 323);
    EXPECT_EQ(client.bottom, 213);
  }
  RECT outer;
  GetWindowRect(main, &outer);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(main, MONITOR_DEFAULTTOPRIMARY), &monitor);
  const RECT& work = monitor.rcWork;
  EXPECT_LE(std::abs((outer.left + outer.right) - (work.left + work.right)), 1) << describe(outer);
  EXPECT_LE(std::abs((outer.top + outer.bottom) - (work.top + work.bottom)), 1) << describe(outer);
  EXPECT_NE(SendMessageW(main, WM_GETICON, ICON_BIG, 0), 0) << "the program's icon";
}

// Run at the screen's DPI; the test session runs it at 96 dpi, and a prefix set to 144 dpi runs
// it again with VOREK_EXPECTED_DPI=144 (150 %: 10 twips to a pixel).
TEST_F(Win32Host, TheWindowsFollowTheScreensDpi) {
  HWND main = window(kVorek);
  ASSERT_NE(main, nullptr);
  if (const char* expected = std::getenv("VOREK_EXPECTED_DPI")) {
    ASSERT_EQ(dpi(), std::atoi(expected));
  }
  RECT client;
  GetClientRect(main, &client);
  EXPECT_EQ(client.right, pixels(4845));
  EXPECT_EQ(client.bottom, pixels(3195));
  if (dpi() == 144) {
    EXPECT_EQ(describe(client), describe({0, 0, 485, 320}));
  }
  if (dpi() == 192) {
    // Every figure doubled: the client, and p20 at 2 x (213, 160).
    EXPECT_EQ(describe(client), describe({0, 0, 646, 426}));
    const RECT p20 = rectIn(control(main, kVorek, "p20"), main);
    EXPECT_EQ(describe(p20), describe({426, 320, 534, 428}));
  }
  // The sunken edge is as wide as the density asks, its dark outer ring half of it; the
  // picture starts inside it.
  const int edge = scaled(2), width = pixels(817);
  const std::vector<COLORREF> drawn = shown(control(main, kVorek, "p1"));
  for (int i = 0; i < edge; ++i) {
    EXPECT_EQ(drawn[static_cast<std::size_t>(i * width + i)],
              GetSysColor(i < edge / 2 ? COLOR_BTNSHADOW : COLOR_3DDKSHADOW))
        << "edge pixel " << i;
  }
  for (const char* name : {"Voir", "p7", "p0"}) {
    const auto& designed = design(kVorek).controls[static_cast<std::size_t>(row(kVorek, name))];
    const RECT found = rectIn(control(main, kVorek, name), main);
    EXPECT_EQ(describe(found), describe({pixels(designed.left), pixels(designed.top),
                                         pixels(designed.left) + pixels(designed.width),
                                         pixels(designed.top) + pixels(designed.height)}))
        << name;
  }
  // The font is the message font at this DPI.
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  ASSERT_TRUE(SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0,
                                         static_cast<UINT>(dpi())));
  LOGFONTW used{};
  GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control(main, kVorek, "Voir"), WM_GETFONT, 0, 0)),
             sizeof used, &used);
  EXPECT_EQ(used.lfHeight, metrics.lfMessageFont.lfHeight);
  // The portrait's box takes the picture and its edge at this scale.
  click(control(main, kVorek, "Voir"));
  ASSERT_TRUE(waitFor([&] { return window(kPortrait) != nullptr; }));
  HWND box = control(window(kPortrait), kPortrait, "Picture1");
  RECT whole;
  GetClientRect(box, &whole);
  EXPECT_EQ(whole.right, scaled(251 + 4));
  EXPECT_EQ(whole.bottom, scaled(201 + 4));
}

TEST_F(Win32Host, TheMainWindowsControlsStandAtTheDesignsPixels) {
  HWND main = window(kVorek);
  ASSERT_NE(main, nullptr);
  ASSERT_EQ(dpi(), 96) << "the figures below are those of 96 dpi";
  // The buttons' column, and the board's corners, in client pixels.
  const struct {
    const char* name;
    RECT rect;
  } expected[] = {
      {"Voir", {272, 8, 321, 41}},    {"Command1", {272, 56, 321, 89}},
      {"Quitter", {272, 104, 321, 137}}, {"p1", {0, 0, 54, 54}},
      {"p5", {213, 0, 267, 54}},      {"p16", {0, 160, 54, 214}},
      {"p20", {213, 160, 267, 214}},  {"p0", {267, 160, 321, 214}},
  };
  for (const auto& [name, rect] : expected) {
    const RECT found = rectIn(control(main, kVorek, name), main);
    EXPECT_TRUE(EqualRect(&found, &rect)) << name << " at " << describe(found);
  }
  // Every piece on its home cell, 800 twips apart, 817 twips wide.
  for (int k = 1; k <= 20; ++k) {
    HWND piece = control(main, kVorek, "p" + std::to_string(k));
    const RECT found = rectIn(piece, main);
    const int column = (k - 1) % 5, line = (k - 1) / 5;
    EXPECT_EQ(found.left, pixels(800 * column)) << k;
    EXPECT_EQ(found.top, pixels(800 * line)) << k;
    EXPECT_EQ(found.right - found.left, pixels(817)) << k;
  }
  // In a sunken edge of two one-pixel rings in the system's colours, dark at the top left:
  // seen on p1, which its neighbours, a pixel over on their side, do not cover.
  const std::vector<COLORREF> drawn = shown(control(main, kVorek, "p1"));
  const int width = pixels(817);
  auto at = [&](int x, int y) { return drawn[static_cast<std::size_t>(y * width + x)]; };
  EXPECT_EQ(at(0, 0), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(at(1, 1), GetSysColor(COLOR_3DDKSHADOW));
  EXPECT_EQ(at(width - 1, width - 1), GetSysColor(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(at(width - 2, width - 2), GetSysColor(COLOR_3DLIGHT));
}

TEST_F(Win32Host, ThePortraitAndAboutWindowsStandAtTheDesignsPixels) {
  ASSERT_EQ(dpi(), 96);
  click(control(window(kVorek), kVorek, "Voir"));
  ASSERT_TRUE(waitFor([&] { return window(kPortrait) != nullptr; }));
  HWND portrait = window(kPortrait);
  // The box sizes itself to the 251 x 201 picture and its edge.
  RECT picture = rectIn(control(portrait, kPortrait, "Picture1"), portrait);
  EXPECT_EQ(describe(picture), describe({0, 0, 255, 205}));
  RECT ok = rectIn(control(portrait, kPortrait, "Command1"), portrait);
  EXPECT_EQ(describe(ok), describe({88, 216, 161, 241}));

  click(control(window(kVorek), kVorek, "Quitter"));
  ASSERT_TRUE(waitFor([&] { return window(kSujet) != nullptr; }));
  HWND about = window(kSujet);
  RECT client;
  GetClientRect(about, &client);
  EXPECT_EQ(describe(client), describe({0, 0, 313, 250}));
  const struct {
    const char* name;
    RECT rect;
  } expected[] = {
      {"Picture1", {8, 8, 44, 44}},     {"Picture2", {8, 56, 44, 92}},
      {"Picture3", {270, 128, 306, 164}}, {"Picture4", {270, 176, 306, 212}},
      {"ok", {120, 224, 193, 249}},     {"Frame1", {56, 0, 305, 92}},
      {"Frame2", {8, 120, 257, 212}},
  };
  for (const auto& [name, rect] : expected) {
    const RECT found = rectIn(control(about, kSujet, name), about);
    EXPECT_TRUE(EqualRect(&found, &rect)) << name << " at " << describe(found);
  }
  // Each text stands inside its frame.
  for (const auto& [label, frame] : {std::pair{"prog", "Frame1"}, std::pair{"auteur", "Frame2"}}) {
    const RECT inner = rectIn(control(about, kSujet, label), about);
    const RECT outer = rectIn(control(about, kSujet, frame), about);
    RECT both;
    IntersectRect(&both, &inner, &outer);
    EXPECT_TRUE(EqualRect(&both, &inner)) << label << " at " << describe(inner);
  }
}

TEST_F(Win32Host, ControlsCarryTheirCaptionsAndFrenchNames) {
  HWND main = window(kVorek);
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(textOf(main), L"Vorek");
  for (const auto& [name, caption] : {std::pair{"Voir", L"Voir"}, std::pair{"Command1", L"Brasser"},
                                      std::pair{"Quitter", L"Quitter"}}) {
    HWND button = control(main, kVorek, name);
    EXPECT_EQ(textOf(button), caption);
    EXPECT_EQ(classOf(button), L"Button");
    // A plain push button: none is the default button, which Return would press.
    EXPECT_EQ(GetWindowLongW(button, GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON) << name;
  }
  for (int k = 1; k <= 20; ++k) {
    EXPECT_EQ(textOf(control(main, kVorek, "p" + std::to_string(k))),
              L"Pi\u00e8ce " + std::to_wstring(k));
  }
  EXPECT_EQ(textOf(control(main, kVorek, "p0")), L"Case libre");

  click(control(main, kVorek, "Quitter"));
  ASSERT_TRUE(waitFor([&] { return window(kSujet) != nullptr; }));
  HWND about = window(kSujet);
  EXPECT_EQ(textOf(about), L"A propos de Tralden");
  EXPECT_EQ(textOf(control(about, kSujet, "Frame1")), L"Le programme");
  EXPECT_EQ(textOf(control(about, kSujet, "Frame2")), L"L'auteur");
  EXPECT_EQ(textOf(control(about, kSujet, "prog")), wide(forms::kTermsText));
  EXPECT_EQ(textOf(control(about, kSujet, "auteur")), wide(forms::kAuthorText));
  EXPECT_EQ(GetWindowLongW(control(about, kSujet, "auteur"), GWL_STYLE) & SS_TYPEMASK, SS_CENTER);
  EXPECT_EQ(textOf(control(about, kSujet, "Picture4")), L"\u00c9toile");
}

TEST_F(Win32Host, TabFollowsTheDesignsOrderFromTheFirstPictureBox) {
  HWND main = window(kVorek);
  ASSERT_TRUE(waitFor([&] { return GetFocus() != nullptr; }));
  // p16's tab index is 20, after p0's 19; the buttons come last, Brasser after Quitter.
  std::vector<std::string> order;
  for (int k = 1; k <= 15; ++k) order.push_back("p" + std::to_string(k));
  for (const char* name : {"p17", "p18", "p19", "p20", "p0", "p16", "Voir", "Quitter", "Command1",
                           "p1"}) {
    order.emplace_back(name);
  }
  EXPECT_EQ(GetFocus(), control(main, kVorek, "p1")) << "the focus starts on the first box";
  // A box reached by Tab shows the focus, inside its edge: it is drawn otherwise than once the
  // focus has left it, and only on the ring just inside its edge, the picture whole inside that.
  std::vector<COLORREF> focused;
  for (std::size_t k = 1; k < order.size(); ++k) {
    HWND left = GetFocus();
    key(left, VK_TAB);
    HWND wanted = control(main, kVorek, order[k]);
    EXPECT_TRUE(waitFor([&] { return GetFocus() == wanted; })) << "Tab to " << order[k];
    if (!focused.empty()) {
      const std::vector<COLORREF> unfocused = shown(left);
      ASSERT_EQ(focused.size(), unfocused.size());
      EXPECT_NE(focused, unfocused) << order[k - 1] << " shows no focus";
      RECT inside;
      GetClientRect(left, &inside);
      const int width = inside.right, height = inside.bottom;
      int overPicture = 0;
      for (std::size_t i = 0; i < focused.size(); ++i) {
        const int x = static_cast<int>(i) % width, y = static_cast<int>(i) / width;
        const bool edge = std::min({x, y, width - 1 - x, height - 1 - y}) < 3;
        if (!edge && focused[i] != unfocused[i]) ++overPicture;
      }
      EXPECT_EQ(overPicture, 0) << order[k - 1] << ": pixels of the picture changed";
    }
    focused = classOf(wanted) == platform::kPictureBoxClass ? shown(wanted)
                                                            : std::vector<COLORREF>{};
  }
  // Shift+Tab goes back.
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_SHIFT] = 0x80;
  SetKeyboardState(keys);
  key(GetFocus(), VK_TAB);
  keys[VK_SHIFT] = 0;
  HWND brasser = control(main, kVorek, "Command1");
  const bool back = waitFor([&] { return GetFocus() == brasser; });
  SetKeyboardState(keys);
  EXPECT_TRUE(back) << "Shift+Tab from p1 to Brasser";
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

TEST_F(Win32Host, EveryCaptionAndBothAboutTextsFitTheirControls) {
  openPortraitThenAbout();
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  ASSERT_TRUE(SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0,
                                         GetDpiForWindow(window(kSujet))));
  int measured = 0;
  for (int slot : {kVorek, kPortrait, kSujet}) {
    if (slot == kVorek) {
      // The main window was unloaded by the way out; show it again beside the others.
      runtime.dispatch([&] { runtime.form(kVorek).Show(); });
    }
    HWND form = window(slot);
    ASSERT_NE(form, nullptr) << slot;
    const auto& rows = design(slot).controls;
    for (std::size_t i = 0; i < rows.size(); ++i) {
      if (rows[i].kind == ControlKind::PictureBox) continue;
      HWND hwnd = control(form, static_cast<int>(i));
      const std::wstring text = textOf(hwnd);
      HFONT font = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
      ASSERT_NE(font, nullptr) << rows[i].name;
      LOGFONTW used{};
      GetObjectW(font, sizeof used, &used);
      EXPECT_STREQ(used.lfFaceName, metrics.lfMessageFont.lfFaceName) << "the message font";
      EXPECT_EQ(used.lfHeight, metrics.lfMessageFont.lfHeight);
      RECT box;
      GetClientRect(hwnd, &box);
      HDC dc = GetDC(hwnd);
      HGDIOBJ previous = SelectObject(dc, font);
      SIZE line{};
      GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &line);
      RECT wrapped = box;
      DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &wrapped,
                DT_CALCRECT | DT_WORDBREAK | DT_CENTER | DT_NOPREFIX);
      SelectObject(dc, previous);
      ReleaseDC(hwnd, dc);
      const std::string name(rows[i].name);
      switch (rows[i].kind) {
        case ControlKind::CommandButton:
          // On one line, inside the button's 2-pixel edge.
          EXPECT_LE(line.cx + 4, box.right) << name;
          EXPECT_LE(line.cy + 4, box.bottom) << name;
          break;
        case ControlKind::Frame:
          // The caption sits in the top edge, after the frame's corner (about 8 pixels).
          EXPECT_LE(line.cx + 16, box.right) << name;
          break;
        case ControlKind::Label:
          // Broken at spaces onto as many lines as it needs, within the label's own size.
          EXPECT_LE(wrapped.right - wrapped.left, box.right) << name;
          EXPECT_LE(wrapped.bottom - wrapped.top, box.bottom) << name << ": " << line.cy << " a line";
          EXPECT_GT(wrapped.bottom - wrapped.top, line.cy) << name << " takes several lines";
          break;
        case ControlKind::PictureBox: break;
      }
      ++measured;
    }
  }
  EXPECT_EQ(measured, 3 + 1 + 5);  // three buttons, one, then two frames, two texts and one
}

TEST_F(Win32Host, ATitleBarCloseUnloadsTheWindowAndTheLastOneEndsTheProgram) {
  click(control(window(kVorek), kVorek, "Voir"));
  ASSERT_TRUE(waitFor([&] { return window(kPortrait) != nullptr; }));
  SendMessageW(window(kVorek), WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_TRUE(waitFor([&] { return window(kVorek) == nullptr; }));
  EXPECT_FALSE(runtime.form(kVorek).loaded());
  EXPECT_FALSE(runtime.ended()) << "the portrait window is still open";
  SendMessageW(window(kPortrait), WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_TRUE(waitFor([&] { return runtime.ended(); }));
  EXPECT_EQ(runtime.exitStatus(), 0);
  EXPECT_TRUE(visibleWindows(platform::kFormWindowClass).empty());
}

TEST_F(Win32Host, OkOnTheAboutWindowEndsEveryWindowWithStatusZero) {
  openPortraitThenAbout();
  EXPECT_EQ(window(kVorek), nullptr);
  click(control(window(kSujet), kSujet, "ok"));
  ASSERT_TRUE(waitFor([&] { return runtime.ended(); }));
  EXPECT_EQ(runtime.exitStatus(), 0);
  EXPECT_TRUE(visibleWindows(platform::kFormWindowClass).empty());
}

TEST_F(Win32Host, TheBoxBlocksItsHandlerAndEveryWindowUntilItIsClosed) {
  click(control(window(kVorek), kVorek, "Voir"));
  ASSERT_TRUE(waitFor([&] { return window(kPortrait) != nullptr; }));
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
  EXPECT_TRUE(visibleWindows(platform::kFormWindowClass).empty());
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
  EXPECT_EQ(visibleWindows(platform::kFormWindowClass).size(), 1u);
  HWND main = window(kVorek);
  for (int k = 0; k <= 20; ++k) {
    const std::string name = "p" + std::to_string(k);
    const platform::PictureBox piece({runtime, kVorek}, name);
    const RECT found = rectIn(control(main, kVorek, name), main);
    EXPECT_EQ(found.left, pixels(piece.Left())) << name;
    EXPECT_EQ(found.top, pixels(piece.Top())) << name;
  }
}

}  // namespace
