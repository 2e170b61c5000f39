// Trees, houses and flowers, drawn at any size so near and far ones share code.
#include "props.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "noise.h"

namespace {
constexpr double kPi = std::numbers::pi;

// Leaves: lit from the upper left like the sun, mottled so canopies never look flat.
Paint foliage(Point centre, double size, Rgb leaves, std::uint32_t seed) {
  return [=](double x, double y) {
    const double light =
        1.25 - 0.5 * std::clamp((x - centre.x + y - centre.y) / (2.2 * size) + 0.5, 0.0, 1.0);
    const double n = valueNoise(x * 0.9, y * 0.9, seed);
    return shade(leaves, light * (0.82 + 0.3 * n));
  };
}
}  // namespace

void drawRoundTree(Canvas& c, Point base, double size, Rgb leaves, std::uint32_t seed, bool fruit) {
  fillEllipse(c, {base.x + size * 0.3, base.y}, size * 0.8, size * 0.18, 0, solid(hex(0x2d5a1e)),
              0.35);
  fillRect(c, {base.x - size * 0.12, base.y - size * 1.1, base.x + size * 0.12, base.y},
           solid(hex(0x6b4423)));
  const Point crown{base.x, base.y - size * 1.45};
  Rng rng(seed);
  const Paint paint = foliage(crown, size, leaves, seed);
  for (int i = 0; i < 6; ++i) {
    const double a = i * kPi / 3 + rng.range(0, 0.6), d = size * rng.range(0.25, 0.45);
    fillCircle(c, polar(crown, d, a), size * rng.range(0.45, 0.6), paint);
  }
  fillCircle(c, crown, size * 0.6, paint);
  for (int i = 0; fruit && i < 7; ++i) {
    const Point p = polar(crown, size * rng.range(0.2, 0.75), rng.range(0, 2 * kPi));
    fillCircle(c, p, std::max(0.8, size * 0.1), solid(i % 3 ? hex(0xe8262a) : hex(0xff9a1f)));
  }
}

void drawPine(Canvas& c, Point base, double height, Rgb colour) {
  fillRect(c, {base.x - 0.7, base.y - height * 0.25, base.x + 0.7, base.y}, solid(hex(0x4a3020)));
  for (int i = 0; i < 3; ++i) {
    const double top = base.y - height * (1 - i * 0.22),
                 bottom = base.y - height * (0.15 + (2 - i) * 0.16);
    const double half = height * (0.2 + i * 0.07);
    fillPolygon(c, {{base.x, top}, {base.x - half, bottom}, {base.x, bottom}},
                solid(shade(colour, 1.2)));
    fillPolygon(c, {{base.x, top}, {base.x, bottom}, {base.x + half, bottom}},
                solid(shade(colour, 0.8)));
  }
}

void drawCypress(Canvas& c, Point base, double height) {
  const Point mid{base.x, base.y - height / 2};
  fillEllipse(
      c, mid, height * 0.14, height / 2, 0,
      linear({mid.x - height * 0.14, 0}, hex(0x3f7a34), {mid.x + height * 0.14, 0}, hex(0x173d1c)));
}

void drawFlower(Canvas& c, Point centre, double size, Rgb petals) {
  for (int i = 0; i < 5; ++i)
    fillCircle(c, polar(centre, size * 0.55, i * 2 * kPi / 5 - kPi / 2), size * 0.5, solid(petals));
  fillCircle(c, centre, size * 0.38, solid(hex(0xffd21a)));
}

namespace {
void drawWindows(Canvas& c, const House& h, double wallTop) {
  const double w = std::min(h.width * 0.13, h.width / (h.windows + 1) * 0.3),
               ht = h.wallHeight * 0.32;
  for (int i = 0; i < h.windows; ++i) {
    const double cx = h.left + h.width * (i + 1) / (h.windows + 1);
    const double top = wallTop + h.wallHeight * 0.18;
    fillRect(c, {cx - w * 1.35, top, cx - w * 0.55, top + ht}, solid(h.shutters));
    fillRect(c, {cx + w * 0.55, top, cx + w * 1.35, top + ht}, solid(h.shutters));
    fillRect(c, {cx - w * 0.5, top, cx + w * 0.5, top + ht},
             linear({0, top}, hex(0xbfe4ff), {0, top + ht}, hex(0x3d6a9a)));
  }
}

Paint roofTiles(Rgb roof) {
  return [roof](double x, double y) {
    const int row = int(std::floor(y / 1.8));
    const double n = hash01(int(std::floor(x / 2.5 + row * 0.5)), row, 77);
    return shade(roof, (row % 2 ? 0.92 : 1.05) * (0.92 + 0.16 * n));
  };
}
}  // namespace

void drawHouse(Canvas& c, const House& h) {
  const double top = h.base - h.wallHeight, right = h.left + h.width, mid = h.left + h.width / 2;
  fillEllipse(c, {mid + h.width * 0.15, h.base}, h.width * 0.65, h.wallHeight * 0.14, 0,
              solid(hex(0x2f5a1e)), 0.3);
  fillRect(c, {h.left, top, right, h.base},
           linear({h.left, 0}, h.wall, {right, 0}, shade(h.wall, 0.82)));
  if (h.chimney)
    fillRect(c,
             {right - h.width * 0.28, top - h.roofHeight * 0.95, right - h.width * 0.16,
              top - h.roofHeight * 0.3},
             solid(hex(0x8a4b3a)));
  fillPolygon(c, {{h.left - 1.5, top + 0.5}, {mid, top - h.roofHeight}, {right + 1.5, top + 0.5}},
              roofTiles(h.roof));
  drawWindows(c, h, top);
  const double dw = h.width * 0.09, dh = h.wallHeight * 0.42;
  const double dx = h.windows % 2 ? h.left + h.width * 0.15 : mid;
  fillRect(c, {dx - dw, h.base - dh, dx + dw, h.base}, solid(hex(0x7a4a26)));
}
