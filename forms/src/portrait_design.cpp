// portrait_design.cpp: the portrait window, the model the player keeps beside the board.
#include "forms/forms.h"

namespace forms {
namespace {

using platform::ControlDesign;
using enum platform::ControlKind;

// The picture box sizes itself to the 251 x 201 portrait plus its border: 3825 x 3075.
constexpr ControlDesign kControls[] = {
    {"Command1", CommandButton, "", 1320, 3240, 1095, 375, 1, "Ok", "", "Command1_Click"},
    {"Picture1", PictureBox, "", 0, 0, 3825, 3075, 0, "", "portrait.bmp", "", true},
};

constexpr platform::AccessibleName kNames[] = {{"Picture1", "Image entière du puzzle"}};

}  // namespace

const platform::FormDesign kPortraitDesign{
    .name = "V_portrait",
    .caption = "Vorek",
    .clientWidth = 3825,
    .clientHeight = 3660,
    .icon = "",
    .load = "",
    .controls = kControls,
    .accessibleNames = kNames,
};

}  // namespace forms
