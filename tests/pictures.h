// pictures.h: the designs' pictures as the tests know them, by file name; and how the tests
// print the layout's figures.
#pragma once

#include <cstdio>
#include <ostream>
#include <string>
#include <string_view>

#include "platform/layout.h"

namespace vorek_test {

// Piece k's picture (1 to 20).
inline std::string tileName(int k) {
  char name[16];
  std::snprintf(name, sizeof name, "tile%02d.bmp", k);
  return name;
}

// Every picture's size in pixels: the portrait, the About window's four and the icon; the rest
// are the board's squares.
inline platform::PixelSize pictureSize(std::string_view name) {
  if (name == "portrait.bmp") return {251, 201};
  if (name.starts_with("about") || name == "vorek.ico") return {32, 32};
  return {50, 50};
}

}  // namespace vorek_test

// How a failed comparison shows the layout's figures.
namespace platform {
inline void PrintTo(const PixelRect& r, std::ostream* out) {
  *out << "(" << r.left << ", " << r.top << ", " << r.width << " x " << r.height << ")";
}
inline void PrintTo(const PixelSize& s, std::ostream* out) { *out << s.width << " x " << s.height; }
}  // namespace platform
