// designs_test.cpp: the window designs against the facts they must agree with, and the layout of
// each window in pixels. The designs' figures and texts are checked here, once; the hosts' tests
// compare their widgets with the runtime's layout.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "forms/forms.h"
#include "game.h"
#include "pictures.h"
#include "platform/layout.h"
#include "puzzle/board.h"

namespace vorek_test {
namespace {

using forms::kPortrait;
using forms::kSujet;
using forms::kVorek;
using platform::ControlDesign;
using platform::ControlKind;
using platform::FormDesign;
using platform::PixelRect;

const FormDesign& design(int slot) { return *forms::project().forms[std::size_t(slot)]; }

const ControlDesign& row(const FormDesign& form, std::string_view name) {
  const int index = form.indexOf(name);
  EXPECT_GE(index, 0) << name;
  return form.controls[static_cast<std::size_t>(std::max(index, 0))];
}

TEST(Designs, ProjectListsItsThreeFormsInOrder) {
  const auto& project = forms::project();
  ASSERT_EQ(project.forms.size(), 3u);
  EXPECT_EQ(project.forms[kVorek]->name, "Vorek");
  EXPECT_EQ(project.forms[kPortrait]->name, "V_portrait");
  EXPECT_EQ(project.forms[kSujet]->name, "Sujet");
  EXPECT_EQ(project.name, "Tralden");
  EXPECT_EQ(project.title, "Vorek");
  EXPECT_EQ(project.version, "1.00");
  EXPECT_EQ(project.locale, 0x040C);
}

TEST(Designs, EveryPieceStartsOnItsHomeCellWithItsOwnTile) {
  const FormDesign& vorek = forms::kVorekDesign;
  for (int k = 1; k <= 20; ++k) {
    SCOPED_TRACE(k);
    const ControlDesign& piece = row(vorek, "p" + std::to_string(k));
    EXPECT_EQ(piece.kind, ControlKind::PictureBox);
    EXPECT_EQ((puzzle::Cell{piece.left, piece.top}), puzzle::homeCell(k));
    EXPECT_EQ(piece.width, 817);
    EXPECT_EQ(piece.height, 817);
    EXPECT_EQ(piece.picture, tileName(k));
    EXPECT_EQ(piece.click, "p" + std::to_string(k) + "_Click");
  }
  const ControlDesign& marker = row(vorek, "p0");
  EXPECT_EQ((puzzle::Cell{marker.left, marker.top}), puzzle::kParkingCell);
  EXPECT_TRUE(marker.click.empty());
  EXPECT_EQ(marker.picture, "blank.bmp");
}

TEST(Designs, MainWindowGeometryHoldsTogether) {
  const FormDesign& vorek = forms::kVorekDesign;
  EXPECT_EQ(vorek.clientWidth, 4845);
  EXPECT_EQ(vorek.clientHeight, 3195);
  const ControlDesign& p0 = row(vorek, "p0");
  EXPECT_LE(p0.left + p0.width, vorek.clientWidth);  // the parking box fits: 4817
  // The bottom row overhangs by 22 twips, but its pictures (2 pixels in, 50 high) stay whole.
  EXPECT_EQ(row(vorek, "p16").top + 817 - vorek.clientHeight, 22);
  EXPECT_LE(row(vorek, "p16").top + 2 * 15 + 50 * 15, vorek.clientHeight);
  // The buttons stand in a column above the parking cell, 720 twips apart.
  const char* buttons[] = {"Voir", "Command1", "Quitter"};
  for (int i = 0; i < 3; ++i) {
    const ControlDesign& b = row(vorek, buttons[i]);
    EXPECT_EQ(b.kind, ControlKind::CommandButton);
    EXPECT_EQ(b.left, 4080);
    EXPECT_EQ(b.top, 120 + 720 * i);
    EXPECT_EQ(b.click, std::string(buttons[i]) + "_Click");
  }
  EXPECT_LE(row(vorek, "Quitter").top + row(vorek, "Quitter").height, puzzle::kParkingCell.top);
}

TEST(Designs, TabIndicesAreDistinctPerWindow) {
  for (const FormDesign* form : forms::project().forms) {
    SCOPED_TRACE(std::string(form->name));
    std::set<int> seen;
    for (const ControlDesign& c : form->controls) EXPECT_TRUE(seen.insert(c.tabIndex).second);
    EXPECT_EQ(*seen.begin(), 0);
    EXPECT_EQ(*seen.rbegin(), static_cast<int>(seen.size()) - 1);
  }
  EXPECT_EQ(row(forms::kVorekDesign, "p16").tabIndex, 20);
}

TEST(Designs, HandlersAreNamedAfterTheirControls) {
  for (const FormDesign* form : forms::project().forms) {
    for (const ControlDesign& c : form->controls) {
      if (!c.click.empty()) {
        EXPECT_EQ(c.click, std::string(c.name) + "_Click");
      }
    }
  }
}

TEST(Designs, PortraitBoxIsTheSizeOfItsPictureAndBorder) {
  const FormDesign& portrait = forms::kPortraitDesign;
  const ControlDesign& picture = row(portrait, "Picture1");
  EXPECT_TRUE(picture.autoSize);
  EXPECT_EQ(picture.width, (251 + 4) * 15);
  EXPECT_EQ(picture.height, (201 + 4) * 15);
  EXPECT_EQ(picture.width, portrait.clientWidth);
  EXPECT_EQ(picture.tabIndex, 0);
  const ControlDesign& ok = row(portrait, "Command1");
  EXPECT_EQ(ok.left + ok.width / 2, 1867.5f);
  EXPECT_LE(ok.top + ok.height, portrait.clientHeight);
}

TEST(Designs, AboutWindowArrangement) {
  const FormDesign& about = forms::kSujetDesign;
  EXPECT_EQ(about.load, "Form_Load");
  const ControlDesign& ok = row(about, "ok");
  EXPECT_EQ(ok.left + ok.width / 2, about.clientWidth / 2);
  EXPECT_EQ(row(about, "Picture2").top + 540,
            row(about, "Frame1").top + row(about, "Frame1").height);
  EXPECT_EQ(row(about, "Picture4").top + 540,
            row(about, "Frame2").top + row(about, "Frame2").height);
  for (const char* label : {"prog", "auteur"}) {
    const ControlDesign& l = row(about, label);
    EXPECT_TRUE(l.caption.empty()) << "filled by Form_Load";
    const ControlDesign& frame = row(about, l.container);
    EXPECT_LE(l.left + l.width, frame.width);
    EXPECT_LE(l.top + l.height, frame.height);
  }
  std::set<std::string_view> pictures;
  for (const char* p : {"Picture1", "Picture2", "Picture3", "Picture4"}) {
    EXPECT_EQ(row(about, p).width, (32 + 4) * 15);
    pictures.insert(row(about, p).picture);
  }
  EXPECT_EQ(pictures.size(), 4u);
}

// Every text the windows show or say, as designed: each window's title (no control), each
// caption, what a screen reader says for a picture (each has a name) and the About window's two
// texts. The hosts' tests check that each is shown, whole.
TEST(Designs, TheWindowsTexts) {
  const std::tuple<int, const char*, std::string> texts[] = {
      // The titles, then the captions, then names said for pictures.
      {kVorek, "", "Vorek"},
      {kPortrait, "", "Vorek"},
      {kSujet, "", "A propos de Tralden"},
      {kVorek, "Voir", "Voir"},
      {kVorek, "Command1", "Brasser"},
      {kVorek, "Quitter", "Quitter"},
      {kPortrait, "Command1", "Ok"},
      {kSujet, "ok", "Ok"},
      {kSujet, "Frame1", "Le programme"},
      {kSujet, "Frame2", "L'auteur"},
      {kVorek, "p0", "Case libre"},
      {kSujet, "Picture4", "Étoile"}};
  // The window's title, or what the control shows, or says when it shows no text.
  const auto said = [](int slot, std::string_view name) -> std::string_view {
    if (name.empty()) return design(slot).caption;
    const auto i = std::size_t(design(slot).indexOf(name));
    const std::string_view spoken =
        platform::layOut(design(slot), 96, {}).controls[i].accessibleName;
    return spoken.empty() ? design(slot).controls[i].caption : spoken;
  };
  for (const auto& [slot, name, text] : texts)
    EXPECT_EQ(said(slot, name), text) << design(slot).name << "." << name;
  for (int slot : {kVorek, kPortrait, kSujet}) {
    for (const ControlDesign& c : design(slot).controls) {
      const bool picture = c.kind == ControlKind::PictureBox;
      EXPECT_EQ(said(slot, c.name) != c.caption, picture) << c.name << ": only pictures say a name";
    }
  }
  for (int k = 1; k <= 20; ++k)
    EXPECT_EQ(said(kVorek, "p" + std::to_string(k)), "Pièce " + std::to_string(k));
  EXPECT_EQ(forms::kTermsText,
            "Ce jeu est gratuit : jouez-y et partagez-le librement, tel quel, sans rien y changer "
            "ni le vendre. Il est fourni sans garantie, mais bien plutôt avec plaisir.");
  EXPECT_EQ(forms::kAuthorText,
            "Si vous désirez me dire quelque chose au sujet du programme (ex: une amélioration à "
            "faire), n'hésitez pas : auteur@example.org");
}

const platform::ControlLayout& laidOut(const platform::FormLayout& layout, int slot,
                                       std::string_view name) {
  return layout.controls[static_cast<std::size_t>(design(slot).indexOf(name))];
}

// The windows in pixels at 100, 150 and 200 %: every figure is its 96-dpi one scaled, so that
// each host puts each control and picture on the same pixel. At 96 dpi, the windows as the player
// sees them. An empty name stands for the client area.
TEST(Layout, TheWindowsInPixels) {
  const std::tuple<int, int, const char*, PixelRect> figures[] = {
      {96, kVorek, "", {0, 0, 323, 213}},
      {96, kVorek, "Voir", {272, 8, 49, 33}},
      {96, kVorek, "Command1", {272, 56, 49, 33}},
      {96, kVorek, "Quitter", {272, 104, 49, 33}},
      {96, kVorek, "p1", {0, 0, 54, 54}},
      {96, kVorek, "p2", {53, 0, 54, 54}},
      {96, kVorek, "p5", {213, 0, 54, 54}},
      {96, kVorek, "p16", {0, 160, 54, 54}},
      {96, kVorek, "p20", {213, 160, 54, 54}},
      {96, kVorek, "p0", {267, 160, 54, 54}},
      {96, kPortrait, "", {0, 0, 255, 244}},
      {96, kPortrait, "Picture1", {0, 0, 255, 205}},
      {96, kPortrait, "Command1", {88, 216, 73, 25}},
      {96, kSujet, "", {0, 0, 313, 250}},
      {96, kSujet, "Picture1", {8, 8, 36, 36}},
      {96, kSujet, "Picture2", {8, 56, 36, 36}},
      {96, kSujet, "Picture3", {270, 128, 36, 36}},
      {96, kSujet, "Picture4", {270, 176, 36, 36}},
      {96, kSujet, "ok", {120, 224, 73, 25}},
      {96, kSujet, "Frame1", {56, 0, 249, 92}},
      {96, kSujet, "Frame2", {8, 120, 249, 92}},
      {96, kSujet, "auteur", {16, 144, 233, 57}},
      {144, kVorek, "", {0, 0, 485, 320}},
      {144, kVorek, "p20", {320, 240, 81, 81}},
      {144, kPortrait, "Picture1", {0, 0, 383, 308}},
      {144, kSujet, "auteur", {24, 216, 350, 86}},
      {192, kVorek, "", {0, 0, 646, 426}},
      {192, kVorek, "p20", {426, 320, 108, 108}},
      {192, kPortrait, "Picture1", {0, 0, 510, 410}},
      {192, kSujet, "auteur", {32, 288, 466, 114}}};
  for (const auto& [dpi, slot, name, rect] : figures) {
    const auto layout = platform::layOut(design(slot), dpi, pictureSize);
    const PixelRect found = *name ? laidOut(layout, slot, name).rect
                                  : PixelRect{0, 0, layout.client.width, layout.client.height};
    EXPECT_EQ(found, rect) << design(slot).name << "." << name << " at " << dpi << " dpi";
  }
  // The pictures' sunken edge: 2 pixels at 96 dpi.
  for (int dpi : {96, 144, 192})
    EXPECT_EQ(laidOut(platform::layOut(forms::kVorekDesign, dpi, {}), kVorek, "p20").edge,
              dpi / 48);
}

// The names of `rows` of `design`.
std::vector<std::string_view> names(const platform::FormDesign& design, const std::vector<int>& rows) {
  std::vector<std::string_view> found;
  for (int index : rows) found.push_back(design.controls[static_cast<std::size_t>(index)].name);
  return found;
}

TEST(Layout, FocusAndStackingFollowTheTabIndices) {
  const auto main = platform::layOut(forms::kVorekDesign, 96, {});
  const std::vector<std::string_view> order = names(forms::kVorekDesign, main.tabOrder);
  ASSERT_EQ(order.size(), 24u);  // 21 boxes and 3 buttons
  EXPECT_EQ(main.firstFocus(), forms::kVorekDesign.indexOf("p1"));
  // p16's tab index is 20: it comes after p0, not between p15 and p17.
  EXPECT_EQ(*(std::find(order.begin(), order.end(), "p15") + 1), "p17");
  EXPECT_EQ(*(std::find(order.begin(), order.end(), "p0") + 1), "p16");
  // The buttons come last, Brasser after Quitter.
  EXPECT_EQ(std::vector(order.end() - 3, order.end()),
            (std::vector<std::string_view>{"Voir", "Quitter", "Command1"}));

  // Tab and Shift+Tab go round; from nothing focused, or from a control that takes no focus, to
  // the first or the last.
  const auto step = [](const platform::FormLayout& layout, const platform::FormDesign& design,
                       std::string_view from, bool backwards) {
    const int next = platform::tabStep(layout.tabOrder, from.empty() ? -1 : design.indexOf(from),
                                       backwards);
    return design.controls[static_cast<std::size_t>(next)].name;
  };
  const auto& sujet = forms::kSujetDesign;
  const auto about = platform::layOut(sujet, 96, {});
  const std::tuple<const platform::FormLayout*, const platform::FormDesign*, std::string_view,
                   bool, std::string_view>
      steps[] = {{&main, &forms::kVorekDesign, "p1", false, "p2"},
                 {&main, &forms::kVorekDesign, "Command1", false, "p1"},
                 {&main, &forms::kVorekDesign, "p1", true, "Command1"},
                 {&main, &forms::kVorekDesign, "", false, "p1"},
                 {&main, &forms::kVorekDesign, "", true, "Command1"},
                 {&about, &sujet, "auteur", false, "Picture1"},
                 {&about, &sujet, "Frame1", true, "Picture4"},
                 {&about, &sujet, "ok", true, "Picture1"}};
  for (const auto& [layout, design, from, backwards, to] : steps)
    EXPECT_EQ(step(*layout, *design, from, backwards), to) << from << (backwards ? " back" : "");
  EXPECT_EQ(platform::tabStep({}, -1, false), -1);

  // Only boxes and buttons take the focus. The frames' labels stand over them, later rows over
  // earlier ones.
  EXPECT_EQ(names(sujet, about.tabOrder),
            (std::vector<std::string_view>{"Picture1", "ok", "Picture2", "Picture3", "Picture4"}));
  EXPECT_EQ(names(sujet, about.stacking),
            (std::vector<std::string_view>{"prog", "auteur", "Picture1", "Frame1", "ok", "Frame2",
                                           "Picture2", "Picture3", "Picture4"}));
  EXPECT_EQ(names(forms::kVorekDesign, main.stacking).front(), "p0");
}

TEST(Layout, AWindowIsCentredInTheWorkAreaAndAMovedPieceWhereTheProgramPutIt) {
  EXPECT_EQ(platform::centred({329, 241}, {0, 0, 1920, 1080}), (PixelRect{795, 419, 329, 241}));
  EXPECT_EQ(platform::centred({330, 240}, {100, 50, 1000, 600}), (PixelRect{435, 230, 330, 240}));
  Game game;
  game.click("p20");
  const platform::Form& main = game.runtime.form(kVorek);
  const int p20 = forms::kVorekDesign.indexOf("p20");
  EXPECT_EQ(platform::layOutControl(main, p20, 192, pictureSize).rect,
            (PixelRect{534, 320, 108, 108}))
      << "on the parking cell, 267 pixels in at 96 dpi";
}

}  // namespace
}  // namespace vorek_test
