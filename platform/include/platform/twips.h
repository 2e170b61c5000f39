// twips.h: the unit of every position and size of the form runtime.
#pragma once

#include <cmath>
#include <limits>

namespace platform {

// Twips are 1/1440 inch, held in single precision as the runtime's Left and Top are. Every
// position the game produces is a whole multiple of 800 between 0 and 4000, which a float holds
// exactly, so positions are compared with == and no second (integer) representation is kept.
static_assert(std::numeric_limits<float>::is_iec559, "positions rely on exact IEEE floats");
using Twips = float;

// At 96 dots per inch a pixel is 15 twips; a host places its controls at twips / 15 in pixels of
// 96 dots per inch and scales those for a screen of another density.
inline constexpr Twips kTwipsPerPixel = 15;

inline int toPixels(Twips twips) { return static_cast<int>(std::lround(twips / kTwipsPerPixel)); }

}  // namespace platform
