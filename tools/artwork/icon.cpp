// Program icon: a framed 3x3 sliding puzzle of a tiny landscape with its last square empty.
#include "icon.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {
constexpr int kSize = 32;
constexpr int kTransparent = -1;

// The standard 16-colour palette, as RGB; written out as BGRA quads.
constexpr std::array<std::array<std::uint8_t, 3>, 16> kPalette = {{
    {0, 0, 0},
    {128, 0, 0},
    {0, 128, 0},
    {128, 128, 0},
    {0, 0, 128},
    {128, 0, 128},
    {0, 128, 128},
    {192, 192, 192},
    {128, 128, 128},
    {255, 0, 0},
    {0, 255, 0},
    {255, 255, 0},
    {0, 0, 255},
    {255, 0, 255},
    {0, 255, 255},
    {255, 255, 255},
}};
enum Colour {
  Black = 0,
  DarkGreen = 2,
  Olive = 3,
  DarkBlue = 4,
  Gray = 8,
  Red = 9,
  Green = 10,
  Yellow = 11,
  Blue = 12,
  Cyan = 14,
  White = 15
};

// The landscape seen through the puzzle, in coordinates of the 22x22 play area; each
// square gets one readable thing (sun, cloud, tree, house) so the split shows at 32 pixels.
int landscape(int u, int v) {
  if (std::hypot(u - 3.0, v - 3.0) <= 2.2) return Yellow;
  if (v >= 2 && v <= 4 && u >= 17 && u <= 21 && !(v == 2 && (u == 17 || u == 21))) return White;
  if (u >= 9 && u <= 13 && v == (u % 2 ? 4 : 3)) return Black;  // a gull
  if (std::hypot(u - 18.5, v - 9.0) <= 1.9) return DarkGreen;
  if ((u == 18 || u == 19) && v >= 11 && v <= 12) return Olive;  // trunk
  if (u >= 8 && u <= 13 && v >= 16) {
    const int half = v - 16;  // roof widens one pixel a side per row
    if (v <= 18) return std::abs(2 * u - 21) <= 2 * half + 1 ? Red : Green;
    if (u >= 9 && u <= 12) return (u == 10 || u == 11) && v >= 20 ? Black : White;
  }
  if (v > 19 + std::sin(u * 0.9)) return DarkGreen;
  if (v > 11 + 1.5 * std::sin(u * 0.4)) return Green;
  return Cyan;
}

// Squares of 6 pixels with 2-pixel grooves; the bottom-right square is the hole.
int playArea(int u, int v) {
  const int cu = u / 8, cv = v / 8;
  if (u % 8 >= 6 || v % 8 >= 6) return Black;
  if (cu == 2 && cv == 2) return Gray;
  return landscape(u, v);
}

int emblem(int x, int y) {
  // Rounded frame spanning 1..30; everything outside it shows the desktop.
  const double cx = std::clamp(double(x), 4.0, 27.0), cy = std::clamp(double(y), 4.0, 27.0);
  const double d = std::hypot(x - cx, y - cy);
  if (x < 1 || y < 1 || x > 30 || y > 30 || d > 3.3) return kTransparent;
  if (x == 1 || y == 1 || x == 30 || y == 30 || d > 2.4) return Black;
  if (x >= 5 && y >= 5 && x <= 26 && y <= 26) return playArea(x - 5, y - 5);
  if (x == 4 || y == 4 || x == 27 || y == 27) return Black;  // inner edge of the frame
  return (x == 2 || y == 2) ? Blue : DarkBlue;               // lit top-left bevel
}

void putImageData(Bytes& out) {
  for (int y = kSize - 1; y >= 0; --y) {
    for (int x = 0; x < kSize; x += 2) {
      const int a = std::max(emblem(x, y), 0), b = std::max(emblem(x + 1, y), 0);
      out.push_back(std::uint8_t(a << 4 | b));  // transparent pixels stay black
    }
  }
  for (int y = kSize - 1; y >= 0; --y) {
    for (int x = 0; x < kSize; x += 8) {
      std::uint8_t bits = 0;
      for (int i = 0; i < 8; ++i)
        if (emblem(x + i, y) == kTransparent) bits |= std::uint8_t(0x80 >> i);
      out.push_back(bits);
    }
  }
}
}  // namespace

Bytes buildIcon() {
  constexpr std::uint32_t kXorSize = kSize * kSize / 2, kAndSize = kSize * kSize / 8;
  constexpr std::uint32_t kResSize = 40 + 16 * 4 + kXorSize + kAndSize;
  Bytes out;
  put16(out, 0);  // ICONDIR: reserved, type icon, one image
  put16(out, 1);
  put16(out, 1);
  out.insert(out.end(), {kSize, kSize, 16, 0});  // entry: size, colour count, reserved
  put16(out, 1);                                 // planes
  put16(out, 4);                                 // bits per pixel
  put32(out, kResSize);
  put32(out, 6 + 16);  // image follows directory and its one entry
  put32(out, 40);
  put32(out, kSize);
  put32(out, kSize * 2);  // icon bitmaps count the XOR and AND halves
  put16(out, 1);
  put16(out, 4);
  put32(out, 0);
  put32(out, kXorSize + kAndSize);
  for (int i = 0; i < 4; ++i) put32(out, 0);
  for (const auto& c : kPalette) out.insert(out.end(), {c[2], c[1], c[0], 0});
  putImageData(out);
  return out;
}
