// Balloon, kite and birds, painted last so nothing covers them.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "scene.h"

namespace {
constexpr double kPi = std::numbers::pi;
constexpr Point kBalloon{126, 19};
constexpr Point kKite{229, 15};

// Half width of the balloon envelope at height dy from its widest point.
double envelopeHalfWidth(double dy) {
  if (dy < -16 || dy > 15) return -1;
  if (dy <= 0) return 14 * std::sqrt(1 - (dy / 16) * (dy / 16));
  const double t = dy / 17.5;
  return 14 * (1 - t) * (1 + 0.6 * t);
}

Rgb envelopeColour(double x, double y) {
  const double dy = y - kBalloon.y, hw = envelopeHalfWidth(dy);
  const double u = std::clamp((x - kBalloon.x) / std::max(hw, 0.5), -1.0, 1.0);
  const Rgb stripes[] = {hex(0xe8322c), hex(0xffd12a), hex(0x2a7de1), hex(0xffffff)};
  const int band = int((std::asin(u) / (kPi / 2) + 1) * 3.5);
  const double light = 0.72 + 0.38 * std::sqrt(1 - u * u) - 0.12 * std::max(dy, 0.0) / 15;
  const Rgb base = stripes[band % 4];
  const double sheen = std::exp(-std::hypot(x - kBalloon.x + 5, y - kBalloon.y + 7) / 4);
  return mix(shade(base, light), hex(0xffffff), 0.5 * sheen);
}

void paintBalloon(Canvas& c) {
  const Point a = kBalloon;
  for (double dx : {-3.0, -1.0, 1.0, 3.0})
    strokePath(c, {{a.x + dx * 1.1, a.y + 14}, {a.x + dx, a.y + 23}}, 0.5, solid(hex(0x5a4030)));
  fillRegion(
      c, {a.x - 15, a.y - 17, a.x + 15, a.y + 16},
      [](double x, double y) {
        return std::abs(x - kBalloon.x) <= envelopeHalfWidth(y - kBalloon.y);
      },
      envelopeColour);
  fillRect(c, {a.x - 4, a.y + 23, a.x + 4, a.y + 29},
           linear({0, a.y + 23}, hex(0xb0763a), {0, a.y + 29}, hex(0x6e4318)));
  for (double y = a.y + 24.5; y < a.y + 29; y += 1.6)
    strokePath(c, {{a.x - 4, y}, {a.x + 4, y}}, 0.4, solid(hex(0x4a2a10)), 0.6);
  fillCircle(c, {a.x - 1.5, a.y + 21.8}, 1.3, solid(hex(0xf2c9a0)));  // a waving passenger
  fillCircle(c, {a.x + 1.8, a.y + 22}, 1.2, solid(hex(0x8a5a3a)));
}

void paintKite(Canvas& c) {
  const Point k = kKite;
  std::vector<Point> tail;
  for (int i = 0; i <= 14; ++i)
    tail.push_back({k.x - 0.6 * i + 2.2 * std::sin(i * 0.9), k.y + 14 + i * 1.9});
  strokePath(c, tail, 0.7, solid(hex(0x444466)));
  for (int i = 3; i <= 14; i += 4) {
    const Point p = tail[std::size_t(i)];
    const Rgb bow = i % 8 == 3 ? hex(0xff2d8a) : hex(0x00b7d6);
    fillPolygon(c, {{p.x - 2.6, p.y - 1.3}, p, {p.x - 2.6, p.y + 1.3}}, solid(bow));
    fillPolygon(c, {{p.x + 2.6, p.y - 1.3}, p, {p.x + 2.6, p.y + 1.3}}, solid(bow));
  }
  const Point top{k.x, k.y - 11}, right{k.x + 9, k.y}, bottom{k.x, k.y + 14}, left{k.x - 9, k.y};
  fillPolygon(c, {top, right, k}, solid(hex(0xffd21f)));
  fillPolygon(c, {right, bottom, k}, solid(hex(0xff6a13)));
  fillPolygon(c, {bottom, left, k}, solid(hex(0xd61f69)));
  fillPolygon(c, {left, top, k}, solid(hex(0x7b3fe4)));
  strokePath(c, {top, bottom}, 0.7, solid(hex(0x3b2a20)));
  strokePath(c, {left, right}, 0.7, solid(hex(0x3b2a20)));
}

// The string sags a little on its way down to the child's hand.
void paintKiteString(Canvas& c) {
  std::vector<Point> line;
  const Point from{kKite.x, kKite.y + 2}, to = kKiteHand;
  for (int i = 0; i <= 24; ++i) {
    const double t = i / 24.0;
    line.push_back(
        {from.x + (to.x - from.x) * t + 9 * std::sin(t * kPi), from.y + (to.y - from.y) * t});
  }
  strokePath(c, line, 0.55, solid(hex(0xf8f8f0)), 0.8);
}

void paintBird(Canvas& c, Point at, double s) {
  strokePath(c,
             {{at.x - 4 * s, at.y - 1.5 * s},
              {at.x - 2 * s, at.y - 2 * s},
              at,
              {at.x + 2 * s, at.y - 2 * s},
              {at.x + 4 * s, at.y - 1.5 * s}},
             0.9, solid(hex(0x2b2b3d)));
}
}  // namespace

void paintSkyObjects(Canvas& c) {
  paintBird(c, {62, 39}, 1.0);
  paintBird(c, {72, 43}, 0.8);
  paintBird(c, {84, 38}, 0.9);
  paintBird(c, {160, 34}, 0.7);
  paintKiteString(c);
  paintKite(c);
  paintBalloon(c);
}
