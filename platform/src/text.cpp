// text.cpp: text comparison and the whole part.
#include "platform/text.h"

#include <cmath>

#include "platform/errors.h"

namespace platform {

int StrComp(std::string_view a, std::string_view b) {
  const int order = a.compare(b);
  return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

double Int(double x) {
  if (!std::isfinite(x)) throw RuntimeError(ErrorNumber::Overflow);
  return std::floor(x);
}

}  // namespace platform
