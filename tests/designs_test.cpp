// designs_test.cpp: the window designs against the facts they must agree with.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <set>
#include <string>

#include "forms/forms.h"
#include "game.h"
#include "platform/layout.h"
#include "puzzle/board.h"

namespace {

using platform::ControlDesign;
using platform::ControlKind;
using platform::FormDesign;

const ControlDesign& row(const FormDesign& design, std::string_view name) {
  const int index = design.indexOf(name);
  EXPECT_GE(index, 0) << name;
  return design.controls[static_cast<std::size_t>(std::max(index, 0))];
}

// Characters, not bytes: the texts are UTF-8.
std::size_t characters(std::string_view text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

std::string twoDigits(int k) { return (k < 10 ? "0" : "") + std::to_string(k); }

TEST(Designs, ProjectListsItsThreeFormsInOrder) {
  const auto& project = forms::project();
  ASSERT_EQ(project.forms.size(), 3u);
  EXPECT_EQ(project.forms[forms::kVorek]->name, "Vorek");
  EXPECT_EQ(project.forms[forms::kPortrait]->name, "V_portrait");
  EXPECT_EQ(project.forms[forms::kSujet]->name, "Sujet");
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
    EXPECT_EQ(piece.picture, "tile" + twoDigits(k) + ".bmp");
    EXPECT_EQ(piece.click, "p" + std::to_string(k) + "_Click");
  }
  const ControlDesign& marker = row(vorek, "p0");
  EXPECT_EQ((puzzle::Cell{marker.left, marker.top}), puzzle::kParkingCell);
  EXPECT_TRUE(marker.click.empty());
  EXPECT_EQ(marker.picture, "blank.bmp");
}

TEST(Designs, MainWindowGeometryHoldsTogether) {
  const FormDesign& vorek = forms::kVorekDesign;
  EXPECT_EQ(vorek.caption, "Vorek");
  EXPECT_EQ(vorek.clientWidth, 4845);
  EXPECT_EQ(vorek.clientHeight, 3195);
  const ControlDesign& p0 = row(vorek, "p0");
  EXPECT_LE(p0.left + p0.width, vorek.clientWidth);  // the parking box fits: 4817
  // The bottom row overhangs by 22 twips, but its pictures (2 pixels in, 50 high) stay whole.
  EXPECT_EQ(row(vorek, "p16").top + 817 - vorek.clientHeight, 22);
  EXPECT_LE(row(vorek, "p16").top + 2 * 15 + 50 * 15, vorek.clientHeight);
  // The buttons stand in a column above the parking cell, 720 twips apart.
  const char* buttons[] = {"Voir", "Command1", "Quitter"};
  const char* captions[] = {"Voir", "Brasser", "Quitter"};
  for (int i = 0; i < 3; ++i) {
    const ControlDesign& b = row(vorek, buttons[i]);
    EXPECT_EQ(b.kind, ControlKind::CommandButton);
    EXPECT_EQ(b.caption, captions[i]);
    EXPECT_EQ(b.left, 4080);
    EXPECT_EQ(b.top, 120 + 720 * i);
    EXPECT_EQ(b.click, std::string(buttons[i]) + "_Click");
  }
  EXPECT_LE(row(vorek, "Quitter").top + row(vorek, "Quitter").height, puzzle::kParkingCell.top);
}

TEST(Designs, TabIndicesAreDistinctPerWindow) {
  for (const FormDesign* design : forms::project().forms) {
    SCOPED_TRACE(std::string(design->name));
    std::set<int> seen;
    for (const ControlDesign& c : design->controls) EXPECT_TRUE(seen.insert(c.tabIndex).second);
    EXPECT_EQ(*seen.begin(), 0);
    EXPECT_EQ(*seen.rbegin(), static_cast<int>(seen.size()) - 1);
  }
  EXPECT_EQ(row(forms::kVorekDesign, "p16").tabIndex, 20);
}

TEST(Designs, HandlersAreNamedAfterTheirControls) {
  for (const FormDesign* design : forms::project().forms) {
    for (const ControlDesign& c : design->controls) {
      if (!c.click.empty()) {
        EXPECT_EQ(c.click, std::string(c.name) + "_Click");
      }
    }
  }
}

TEST(Designs, PortraitBoxIsTheSizeOfItsPictureAndBorder) {
  const FormDesign& portrait = forms::kPortraitDesign;
  EXPECT_EQ(portrait.caption, "Vorek");
  const ControlDesign& picture = row(portrait, "Picture1");
  EXPECT_TRUE(picture.autoSize);
  EXPECT_EQ(picture.width, (251 + 4) * 15);
  EXPECT_EQ(picture.height, (201 + 4) * 15);
  EXPECT_EQ(picture.width, portrait.clientWidth);
  EXPECT_EQ(picture.tabIndex, 0);
  const ControlDesign& ok = row(portrait, "Command1");
  EXPECT_EQ(ok.caption, "Ok");
  EXPECT_EQ(ok.left + ok.width / 2, 1867.5f);
  EXPECT_LE(ok.top + ok.height, portrait.clientHeight);
}

TEST(Designs, AboutWindowArrangement) {
  const FormDesign& about = forms::kSujetDesign;
  EXPECT_EQ(about.caption, "A propos de Tralden");
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

TEST(AboutTexts, TermsAreFrenchAndExactly158Characters) {
  EXPECT_EQ(characters(forms::kTermsText), 158u);
  EXPECT_NE(forms::kTermsText.find("ô"), std::string::npos);
  EXPECT_NE(forms::kTermsText.find("gratuit"), std::string::npos);
  EXPECT_NE(forms::kTermsText.find("garantie"), std::string::npos);
}

TEST(AboutTexts, AuthorTextEndsInAnAddressOnAnExampleDomain) {
  const std::string_view sentence =
      "Si vous désirez me dire quelque chose au sujet du programme (ex: une amélioration à "
      "faire), n'hésitez pas : ";
  ASSERT_EQ(characters(sentence), 108u);
  ASSERT_TRUE(forms::kAuthorText.starts_with(sentence));
  const std::string_view address = forms::kAuthorText.substr(sentence.size());
  EXPECT_TRUE(address.ends_with("@example.org")) << address;
  EXPECT_EQ(address.find(' '), std::string::npos);
  const std::string both = std::string(forms::kTermsText) + std::string(forms::kAuthorText);
  for (const char* accent : {"é", "ô", "à"}) EXPECT_NE(both.find(accent), std::string::npos);
}

}  // namespace

// The windows in pixels at 100, 150 and 200 %: every figure is its 96-dpi one scaled, so that
// each host puts each control and picture on the same pixel.
struct Density {
  int dpi;
  platform::PixelSize main;
  int edge;
  platform::PixelRect p20, portrait;
  int auteurLeft, auteurTop;
};

void PrintTo(const Density& density, std::ostream* out) { *out << density.dpi << " dpi"; }

class Layout : public ::testing::TestWithParam<Density> {};

platform::PixelSize pictureSize(std::string_view name) {
  if (name == "portrait.bmp") return {251, 201};
  return name.starts_with("about") ? platform::PixelSize{32, 32} : platform::PixelSize{50, 50};
}

TEST_P(Layout, EveryWindowScaledFromItsPixelsAt96Dpi) {
  const Density& at = GetParam();
  const auto main = platform::layOut(forms::kVorekDesign, at.dpi, pictureSize);
  EXPECT_EQ(main.client, at.main);
  const auto& p20 = main.controls[static_cast<std::size_t>(forms::kVorekDesign.indexOf("p20"))];
  EXPECT_EQ(p20.rect, at.p20);
  EXPECT_EQ(p20.edge, at.edge);
  EXPECT_EQ(p20.accessibleName, "Pièce 20");
  const auto portrait = platform::layOut(forms::kPortraitDesign, at.dpi, pictureSize);
  EXPECT_EQ(portrait.controls[static_cast<std::size_t>(forms::kPortraitDesign.indexOf(
                "Picture1"))].rect,
            at.portrait)
      << "sized to its picture and edge";
  // A label inside a frame stands from the frame's corner.
  const auto about = platform::layOut(forms::kSujetDesign, at.dpi, pictureSize);
  const auto& auteur = about.controls[static_cast<std::size_t>(
      forms::kSujetDesign.indexOf("auteur"))].rect;
  EXPECT_EQ(std::pair(auteur.left, auteur.top), std::pair(at.auteurLeft, at.auteurTop));
}

INSTANTIATE_TEST_SUITE_P(
    Densities, Layout,
    ::testing::Values(Density{96, {323, 213}, 2, {213, 160, 54, 54}, {0, 0, 255, 205}, 16, 144},
                      Density{144, {485, 320}, 3, {320, 240, 81, 81}, {0, 0, 383, 308}, 24, 216},
                      Density{192, {646, 426}, 4, {426, 320, 108, 108}, {0, 0, 510, 410}, 32,
                              288}),
    [](const auto& density) { return "At" + std::to_string(density.param.dpi) + "Dpi"; });

TEST(Layout, TabOrderFollowsTheTabIndicesOfTheControlsThatTakeTheFocus) {
  const auto main = platform::layOut(forms::kVorekDesign, 96, {});
  std::vector<std::string_view> order;
  for (int index : main.tabOrder)
    order.push_back(forms::kVorekDesign.controls[static_cast<std::size_t>(index)].name);
  ASSERT_EQ(order.size(), 24u);  // 21 boxes and 3 buttons
  EXPECT_EQ(order.front(), "p1");
  // p16's tab index is 20: it comes after p0, not between p15 and p17.
  EXPECT_EQ(*(std::find(order.begin(), order.end(), "p15") + 1), "p17");
  EXPECT_EQ(*(std::find(order.begin(), order.end(), "p0") + 1), "p16");
  const auto about = platform::layOut(forms::kSujetDesign, 96, {});
  for (int index : about.tabOrder) {
    const ControlKind kind = forms::kSujetDesign.controls[static_cast<std::size_t>(index)].kind;
    EXPECT_TRUE(kind == ControlKind::PictureBox || kind == ControlKind::CommandButton);
  }
}

TEST(Layout, AWindowIsCentredInTheWorkAreaAndAMovedPieceWhereTheProgramPutIt) {
  EXPECT_EQ(platform::centred({329, 241}, {0, 0, 1920, 1080}),
            (platform::PixelRect{795, 419, 329, 241}));
  EXPECT_EQ(platform::centred({330, 240}, {100, 50, 1000, 600}),
            (platform::PixelRect{435, 230, 330, 240}));
  vorek_test::Game game;
  game.click("p20");
  const platform::Form& main = game.runtime.form(forms::kVorek);
  const int p20 = forms::kVorekDesign.indexOf("p20");
  EXPECT_EQ(platform::layOutControl(main, p20, 192, pictureSize).rect,
            (platform::PixelRect{534, 320, 108, 108}))
      << "on the parking cell, 267 pixels in at 96 dpi";
}
