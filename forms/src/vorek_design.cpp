// vorek_design.cpp: the main window's design, which is also the board's initial layout.
#include "forms/forms.h"

namespace forms {
namespace {

using platform::ControlDesign;
using enum platform::ControlKind;

// The boxes are 817 twips square on an 800-twip pitch, so neighbours overlap by 17 twips.
// p16's tab index of 20 is the design's own.
constexpr ControlDesign kControls[] = {
    {"Voir", CommandButton, "", 4080, 120, 735, 495, 21, "Voir", "", "Voir_Click"},
    {"Command1", CommandButton, "", 4080, 840, 735, 495, 23, "Brasser", "", "Command1_Click"},
    {"Quitter", CommandButton, "", 4080, 1560, 735, 495, 22, "Quitter", "", "Quitter_Click"},
    {"p1", PictureBox, "", 0, 0, 817, 817, 0, "", "tile01.bmp", "p1_Click"},
    {"p2", PictureBox, "", 800, 0, 817, 817, 1, "", "tile02.bmp", "p2_Click"},
    {"p3", PictureBox, "", 1600, 0, 817, 817, 2, "", "tile03.bmp", "p3_Click"},
    {"p4", PictureBox, "", 2400, 0, 817, 817, 3, "", "tile04.bmp", "p4_Click"},
    {"p5", PictureBox, "", 3200, 0, 817, 817, 4, "", "tile05.bmp", "p5_Click"},
    {"p6", PictureBox, "", 0, 800, 817, 817, 5, "", "tile06.bmp", "p6_Click"},
    {"p7", PictureBox, "", 800, 800, 817, 817, 6, "", "tile07.bmp", "p7_Click"},
    {"p8", PictureBox, "", 1600, 800, 817, 817, 7, "", "tile08.bmp", "p8_Click"},
    {"p9", PictureBox, "", 2400, 800, 817, 817, 8, "", "tile09.bmp", "p9_Click"},
    {"p10", PictureBox, "", 3200, 800, 817, 817, 9, "", "tile10.bmp", "p10_Click"},
    {"p11", PictureBox, "", 0, 1600, 817, 817, 10, "", "tile11.bmp", "p11_Click"},
    {"p12", PictureBox, "", 800, 1600, 817, 817, 11, "", "tile12.bmp", "p12_Click"},
    {"p13", PictureBox, "", 1600, 1600, 817, 817, 12, "", "tile13.bmp", "p13_Click"},
    {"p14", PictureBox, "", 2400, 1600, 817, 817, 13, "", "tile14.bmp", "p14_Click"},
    {"p15", PictureBox, "", 3200, 1600, 817, 817, 14, "", "tile15.bmp", "p15_Click"},
    {"p16", PictureBox, "", 0, 2400, 817, 817, 20, "", "tile16.bmp", "p16_Click"},
    {"p17", PictureBox, "", 800, 2400, 817, 817, 15, "", "tile17.bmp", "p17_Click"},
    {"p18", PictureBox, "", 1600, 2400, 817, 817, 16, "", "tile18.bmp", "p18_Click"},
    {"p19", PictureBox, "", 2400, 2400, 817, 817, 17, "", "tile19.bmp", "p19_Click"},
    {"p20", PictureBox, "", 3200, 2400, 817, 817, 18, "", "tile20.bmp", "p20_Click"},
    {"p0", PictureBox, "", 4000, 2400, 817, 817, 19, "", "blank.bmp", ""},
};

// Pieces by their number; the hole marker by what it is.
constexpr platform::AccessibleName kNames[] = {
    {"p1", "Pièce 1"},    {"p2", "Pièce 2"},   {"p3", "Pièce 3"},   {"p4", "Pièce 4"},
    {"p5", "Pièce 5"},    {"p6", "Pièce 6"},   {"p7", "Pièce 7"},   {"p8", "Pièce 8"},
    {"p9", "Pièce 9"},    {"p10", "Pièce 10"}, {"p11", "Pièce 11"}, {"p12", "Pièce 12"},
    {"p13", "Pièce 13"},  {"p14", "Pièce 14"}, {"p15", "Pièce 15"}, {"p16", "Pièce 16"},
    {"p17", "Pièce 17"},  {"p18", "Pièce 18"}, {"p19", "Pièce 19"}, {"p20", "Pièce 20"},
    {"p0", "Case libre"},
};

}  // namespace

const platform::FormDesign kVorekDesign{
    .name = "Vorek",
    .caption = "Vorek",
    .clientWidth = 4845,
    .clientHeight = 3195,
    .icon = "vorek.ico",
    .load = "",
    .controls = kControls,
    .accessibleNames = kNames,
};

}  // namespace forms
