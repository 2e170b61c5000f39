// The four small pictures of the About window.
#pragma once

#include <array>

#include "image.h"

inline constexpr int kAboutSize = 32;

std::array<Image8, 4> drawAboutPictures();
