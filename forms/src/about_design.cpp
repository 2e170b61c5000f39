// about_design.cpp: the About window and its two texts.
#include "forms/forms.h"

namespace forms {
namespace {

using platform::Alignment;
using platform::ControlDesign;
using enum platform::ControlKind;

// The labels' positions are inside their frames; everything else is in the client area.
constexpr ControlDesign kControls[] = {
    {"Picture4", PictureBox, "", 4050, 2640, 540, 540, 7, "", "about4.bmp", "", true},
    {"Picture3", PictureBox, "", 4050, 1920, 540, 540, 6, "", "about3.bmp", "", true},
    {"Picture2", PictureBox, "", 120, 840, 540, 540, 5, "", "about2.bmp", "", true},
    {"Frame2", Frame, "", 120, 1800, 3735, 1380, 4, "L'auteur", "", ""},
    {"auteur", Label, "Frame2", 120, 360, 3495, 855, 8, "", "", "", false, Alignment::Center},
    {"ok", CommandButton, "", 1800, 3360, 1095, 375, 3, "Ok", "", "ok_Click"},
    {"Frame1", Frame, "", 840, 0, 3735, 1380, 1, "Le programme", "", ""},
    {"prog", Label, "Frame1", 120, 240, 3495, 975, 2, "", "", "", false, Alignment::Center},
    {"Picture1", PictureBox, "", 120, 120, 540, 540, 0, "", "about1.bmp", "", true},
};

constexpr platform::AccessibleName kNames[] = {
    {"Picture1", "Pièce de puzzle"},
    {"Picture2", "Tableau"},
    {"Picture3", "Palette de peintre"},
    {"Picture4", "Étoile"},
};

}  // namespace

const platform::FormDesign kSujetDesign{
    .name = "Sujet",
    .caption = "A propos de Tralden",
    .clientWidth = 4695,
    .clientHeight = 3750,
    .icon = "",
    .load = "Form_Load",
    .controls = kControls,
    .accessibleNames = kNames,
};

const std::string_view kTermsText =
    "Ce jeu est gratuit : jouez-y et partagez-le librement, tel quel, sans rien y changer ni le "
    "vendre. Il est fourni sans garantie, mais bien plutôt avec plaisir.";

const std::string_view kAuthorText =
    "Si vous désirez me dire quelque chose au sujet du programme (ex: une amélioration à "
    "faire), n'hésitez pas : auteur@example.org";

}  // namespace forms
