// text.h: the runtime's text comparison and whole-part function.
#pragma once

#include <string_view>

namespace platform {

// Exact, case-sensitive comparison of two texts: 0 when equal, -1 or 1 by byte order otherwise.
int StrComp(std::string_view a, std::string_view b);

// Largest whole number not above x. A NaN or infinite argument is an overflow (runtime error 6).
double Int(double x);

}  // namespace platform
