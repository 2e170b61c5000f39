// Foreground: fence and sunflowers, ducks on the river, sheep, a cow, a child with a kite.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "noise.h"
#include "props.h"
#include "scene.h"

namespace {
constexpr double kPi = std::numbers::pi;

bool nearRiver(double x, double y, double margin) {
  std::vector<Knot> wide = riverKnots();
  for (Knot& k : wide) k.radius += margin;
  return insideTube(wide, x, y);
}

void paintGrassBlades(Canvas& c) {
  Rng rng(7);
  for (int i = 0; i < 900; ++i) {
    const double x = rng.range(0, 251), y = rng.range(150, 201), h = 1.5 + (y - 150) / 14;
    if (nearRiver(x, y, 1)) continue;
    const Rgb g = rng.next() < 0.5 ? hex(0x2f7d24) : hex(0x9be05a);
    strokePath(c, {{x, y}, {x + rng.range(-1.2, 1.2), y - h}}, 0.6, solid(g), 0.7);
  }
}

void paintWildflowers(Canvas& c) {
  const Rgb colours[] = {hex(0xff3b3b), hex(0xffffff), hex(0xffd21a),
                         hex(0xb05ce6), hex(0xff7ac0), hex(0x4aa0ff)};
  Rng rng(19);
  for (int i = 0; i < 150; ++i) {
    const double x = rng.range(0, 251), y = rng.range(146, 200);
    if (nearRiver(x, y, 2.5)) continue;
    drawFlower(c, {x, y}, 0.9 + (y - 146) / 30, colours[rng.below(6)]);
  }
}

void paintFence(Canvas& c) {
  const Rgb light = hex(0xc08a52), dark = hex(0x6e4422);
  const auto railY = [](double x) { return 168 - x * 0.1; };
  for (double x = 3; x < 54; x += 10) {
    const double top = railY(x) - 4;
    fillRect(c, {x - 1.5, top, x + 1.5, top + 20}, linear({x - 1.5, 0}, light, {x + 1.5, 0}, dark));
    fillPolygon(c, {{x - 1.5, top}, {x, top - 2}, {x + 1.5, top}}, solid(light));
  }
  for (double dy : {0.0, 8.0})  // rails in front of the posts
    fillPolygon(c,
                {{0, railY(0) + dy},
                 {55, railY(55) + dy},
                 {55, railY(55) + dy + 2.6},
                 {0, railY(0) + dy + 2.6}},
                linear({0, railY(0) + dy}, light, {0, railY(0) + dy + 2.6}, dark));
}

void paintSunflower(Canvas& c, Point head, double s) {
  strokePath(c, {{head.x, head.y}, {head.x + 1, 201}}, 1.3 * s, solid(hex(0x3c8a2a)));
  fillEllipse(c, {head.x + 3 * s, head.y + 9 * s}, 3 * s, 1.4 * s, 0.5, solid(hex(0x4aa23a)));
  for (int i = 0; i < 12; ++i) {
    const double a = i * kPi / 6;
    fillEllipse(c, polar(head, 3.8 * s, a), 2.6 * s, 1.1 * s, a,
                solid(i % 2 ? hex(0xffc21a) : hex(0xffd84a)));
  }
  fillCircle(c, head, 2.6 * s,
             radial({head.x - 0.8, head.y - 0.8}, 3 * s, hex(0x9a5a22), hex(0x4a2a10)));
}

void paintDuck(Canvas& c, Point at, double s, bool mother) {
  const Rgb body = mother ? hex(0xa8744a) : hex(0xffe04a);
  fillEllipse(c, {at.x, at.y + 2 * s}, 5 * s, 1 * s, 0, solid(hex(0x2a6ab0)), 0.5);  // reflection
  fillPolygon(
      c,
      {{at.x + 2 * s, at.y - 1.5 * s}, {at.x + 6 * s, at.y - 3 * s}, {at.x + 4 * s, at.y + 1 * s}},
      solid(body));
  fillEllipse(c, at, 4.5 * s, 2.6 * s, 0, solid(body));
  if (mother)
    fillEllipse(c, {at.x + 0.8 * s, at.y - 0.6 * s}, 2.8 * s, 1.3 * s, -0.15, solid(hex(0x6e4526)));
  fillCircle(c, {at.x - 3.2 * s, at.y - 2.8 * s}, 1.9 * s, solid(mother ? hex(0x1f8a5a) : body));
  if (mother)
    strokePath(c, {{at.x - 4.4 * s, at.y - 1.2 * s}, {at.x - 2 * s, at.y - 1.2 * s}}, 0.6 * s,
               solid(hex(0xffffff)));
  fillPolygon(c,
              {{at.x - 4.8 * s, at.y - 3.2 * s},
               {at.x - 7.2 * s, at.y - 2.4 * s},
               {at.x - 4.8 * s, at.y - 2 * s}},
              solid(hex(0xff9c1a)));
  fillCircle(c, {at.x - 3.5 * s, at.y - 3.2 * s}, 0.45 * s, solid(hex(0x111111)));
}

void paintRiverLife(Canvas& c) {
  for (const Point p : {Point{63, 165}, Point{86, 190}, Point{70, 191}})
    fillEllipse(c, p, 3.2, 1.6, 0.2, solid(hex(0x3f9a3a)));
  paintDuck(c, {72, 172}, 1.2, true);
  paintDuck(c, {81, 177}, 0.6, false);
  paintDuck(c, {87, 181}, 0.6, false);
  for (double x : {57.0, 59.5, 62.0, 96.5, 99.0}) {  // reeds with cattails
    const double base = x < 80 ? 186 : 198;
    strokePath(c, {{x, base}, {x + 0.8, base - 13}}, 0.7, solid(hex(0x3a7a2a)));
    fillEllipse(c, {x + 0.8, base - 12}, 0.9, 2.2, 0, solid(hex(0x7a4a22)));
  }
}
}  // namespace

void paintForeground(Canvas& c) {
  paintGrassBlades(c);
  paintWildflowers(c);
  paintFence(c);
  paintRiverLife(c);
  paintSunflower(c, {14, 158}, 1.3);
  paintSunflower(c, {34, 168}, 1.5);
  paintSunflower(c, {24, 185}, 1.0);
  paintSheep(c, {117, 170}, 1.1, true);
  paintSheep(c, {136, 186}, 1.3, false);
  paintCow(c, {176, 180});
  paintChild(c);
}
