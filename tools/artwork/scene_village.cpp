// Valley floor: meadow, river and bridge, the village, the orchard and the barn.
#include <algorithm>
#include <cmath>

#include "noise.h"
#include "props.h"
#include "scene.h"

double meadowTop(double x) { return 97 + 2.5 * std::sin(x * 0.05); }

const std::vector<Knot>& riverKnots() {
  // Flows west from the lake, then turns towards the viewer under the bridge.
  static const std::vector<Knot> knots{
      {{170, 96}, 1.4}, {{150, 103}, 2.2}, {{120, 109}, 3}, {{92, 115}, 3.8},  {{77, 125}, 4.8},
      {{75, 140}, 6.2}, {{77, 153}, 8},    {{70, 169}, 10}, {{80, 186}, 12.5}, {{88, 204}, 15}};
  return knots;
}

namespace {
void paintMeadow(Canvas& c) {
  fillRegion(
      c, {0, 90, 251, 201}, [](double x, double y) { return y >= meadowTop(x); },
      [](double x, double y) {
        const Rgb base = mix(hex(0x9ad455), hex(0x3f9a2e), std::clamp((y - 95) / 105, 0.0, 1.0));
        const double n =
            valueNoise(x * 0.15, y * 0.25, 3) * 0.6 + valueNoise(x * 0.6, y * 0.9, 4) * 0.4;
        return shade(base, 0.86 + 0.26 * n);
      });
}

Rgb water(double x, double y) {
  const double depth = std::clamp((y - 95) / 110, 0.0, 1.0);
  const Rgb base = mix(hex(0x6ab8ee), hex(0x2c74c0), depth);
  const double wave = std::sin(x * 0.8 + 2.5 * std::sin(y * 0.45)) * std::sin(y * 1.3);
  return mix(base, hex(0xeaf8ff), wave > 0.72 ? 0.55 : 0);
}

void paintRiver(Canvas& c) {
  std::vector<Knot> bank = riverKnots();
  for (Knot& k : bank) k.radius += 1.3;
  fillTube(c, bank, solid(hex(0xb9a36a)));
  fillTube(c, riverKnots(), water);
}

void paintPath(Canvas& c) {
  const std::vector<Knot> path{{{205, 204}, 7.5}, {{188, 182}, 5.5}, {{162, 162}, 4},
                               {{130, 149}, 3},   {{100, 141}, 2.4}, {{86, 137}, 2.2}};
  fillTube(c, path, [](double x, double y) {
    return shade(hex(0xe3c58c), 0.88 + 0.2 * valueNoise(x * 0.7, y * 0.7, 11));
  });
}

Rgb stone(double x, double y) {
  const int row = int(std::floor(y / 2.2));
  const int col = int(std::floor(x / 3.4 + (row % 2) * 0.5));
  const bool joint = y - row * 2.2 < 0.4 || (x / 3.4 + (row % 2) * 0.5) - col < 0.12;
  return joint ? hex(0x8c7d68) : shade(hex(0xcbb89a), 0.88 + 0.22 * hash01(col, row, 21));
}

void paintBridge(Canvas& c) {
  const auto span = [](double x, double y) {
    const bool deck = x >= 60 && x <= 91 && y >= 132 && y <= 143;
    const double ax = (x - 75.5) / 9, ay = (y - 143.5) / 8;
    return deck && ax * ax + ay * ay > 1;
  };
  fillRegion(c, {59, 131, 92, 144}, span, stone);
  fillRect(c, {58.5, 130.2, 92.5, 132.2}, solid(hex(0xe6d7bc)));      // parapet coping
  fillEllipse(c, {75.5, 144}, 8, 1.2, 0, solid(hex(0x1d4f86)), 0.5);  // shadow under the arch
}

void paintVillageHouses(Canvas& c) {
  drawHouse(c, {6, 141, 30, 19, 12, hex(0xf7e3b5), hex(0xd2502b), hex(0x3f8fd1), 2, true});
  for (int i = 0; i < 3; ++i)  // chimney smoke drifting east
    fillCircle(c, {30 + i * 2.2, 108 - i * 4.2}, 1.6 + i * 0.6, solid(hex(0xeef2f7)),
               0.75 - i * 0.15);
  drawHouse(c, {104, 133, 15, 11, 7, hex(0xf4b7b0), hex(0xb8452a), hex(0x2f9e6a), 1, false});
  drawHouse(c, {123, 136, 19, 13, 9, hex(0xfff2c4), hex(0xe0733a), hex(0x7a4fc9), 2, true});
  drawHouse(c, {52, 122, 13, 9, 6, hex(0xcfe6ff), hex(0xc44a2c), hex(0xd63a3a), 1, false});
  drawRoundTree(c, {43, 140}, 6, hex(0x4f9f35), 7, false);
  drawRoundTree(c, {146, 128}, 4.5, hex(0x5aa83a), 8, false);
}

void paintOrchard(Canvas& c) {
  const Point trees[] = {{160, 121}, {176, 119}, {193, 122}, {167, 144}, {185, 142}};
  for (std::size_t i = 0; i < 5; ++i)
    drawRoundTree(c, trees[i], 6.2, hex(0x4a9a30), std::uint32_t(30 + i), true);
}

void paintBarn(Canvas& c) {
  const Rgb red = hex(0xb8322a);
  fillEllipse(c, {228, 141}, 20, 2.5, 0, solid(hex(0x2f5a1e)), 0.3);
  fillRect(c, {208, 118, 241, 141}, linear({208, 0}, red, {241, 0}, shade(red, 0.78)));
  fillPolygon(c, {{206, 119}, {211, 108}, {224.5, 103}, {238, 108}, {243, 119}},
              solid(hex(0x5a4a48)));
  fillRect(c, {219, 127, 230, 141}, solid(hex(0xf4efe6)));
  fillRect(c, {220, 128, 229, 141}, solid(shade(red, 0.9)));
  strokePath(c, {{220, 128}, {229, 141}}, 1, solid(hex(0xf4efe6)));
  strokePath(c, {{229, 128}, {220, 141}}, 1, solid(hex(0xf4efe6)));
  fillRect(c, {221.5, 111, 227.5, 117}, solid(hex(0xf4efe6)));
  fillRect(c, {222.5, 112, 226.5, 116}, solid(hex(0x3a2a22)));
  fillEllipse(c, {246, 137}, 5, 4.5, 0, solid(hex(0xe9c45a)));  // haystack
  fillEllipse(c, {246, 138.5}, 5, 3, 0, solid(hex(0xcfa23e)));
  fillEllipse(c, {203.5, 134}, 3.5, 7, 0, solid(hex(0xd9d9e0)));  // silo
  fillEllipse(c, {203.5, 127}, 3.5, 1.6, 0, solid(hex(0x9aa0b0)));
}
}  // namespace

void paintVillage(Canvas& c) {
  paintMeadow(c);
  paintRiver(c);
  paintPath(c);
  paintBridge(c);
  paintVillageHouses(c);
  paintOrchard(c);
  paintBarn(c);
}
