// Farm animals and the child flying the kite.
#include <algorithm>
#include <cmath>

#include "noise.h"
#include "props.h"
#include "scene.h"

namespace {
void paintMushroom(Canvas& c, Point at, double s) {
  fillRect(c, {at.x - 1.6 * s, at.y - 4 * s, at.x + 1.6 * s, at.y}, solid(hex(0xf6efe0)));
  fillRegion(
      c, {at.x - 6 * s, at.y - 9 * s, at.x + 6 * s, at.y - 3.5 * s},
      [=](double x, double y) {
        return y < at.y - 3.8 * s && std::hypot((x - at.x) / 5.5, (y - at.y + 3.8 * s) / 5) <= s;
      },
      radial({at.x - 2 * s, at.y - 7 * s}, 7 * s, hex(0xff5a4a), hex(0xb81a1a)));
  for (const Point d : {Point{-2.5, -6}, Point{1.5, -7.5}, Point{3.2, -5}, Point{-0.5, -4.8}})
    fillCircle(c, {at.x + d.x * s, at.y + d.y * s}, 0.8 * s, solid(hex(0xffffff)));
}

void paintButterfly(Canvas& c, Point at) {
  fillEllipse(c, {at.x - 2.2, at.y - 1.4}, 2.4, 1.8, -0.4, solid(hex(0x3a7bff)));
  fillEllipse(c, {at.x + 2.2, at.y - 1.4}, 2.4, 1.8, 0.4, solid(hex(0x3a7bff)));
  fillEllipse(c, {at.x - 1.7, at.y + 1.2}, 1.6, 1.2, 0.4, solid(hex(0x9b5cff)));
  fillEllipse(c, {at.x + 1.7, at.y + 1.2}, 1.6, 1.2, -0.4, solid(hex(0x9b5cff)));
  strokePath(c, {{at.x, at.y - 2}, {at.x, at.y + 2.2}}, 0.7, solid(hex(0x222222)));
}
}  // namespace

void paintSheep(Canvas& c, Point at, double s, bool facingLeft) {
  const double dir = facingLeft ? -1 : 1;
  fillEllipse(c, {at.x, at.y + 5 * s}, 7 * s, 1.5 * s, 0, solid(hex(0x2b5a1e)), 0.35);
  for (double dx : {-3.5, -1.5, 2.0, 4.0})
    fillRect(c, {at.x + dx * s - 0.6 * s, at.y, at.x + dx * s + 0.6 * s, at.y + 5 * s},
             solid(hex(0x2a2a2a)));
  Rng rng(std::uint64_t(at.x));
  for (int i = 0; i < 9; ++i) {
    const Point p{at.x + rng.range(-4.5, 4.5) * s, at.y + rng.range(-3.2, 0.8) * s};
    fillCircle(c, p, rng.range(2.2, 3) * s,
               radial({p.x - s, p.y - s}, 3.5 * s, hex(0xffffff), hex(0xd8d4cc)));
  }
  const Point head{at.x + dir * 6.5 * s, at.y - 2 * s};
  fillEllipse(c, head, 2.1 * s, 2.6 * s, dir * 0.4, solid(hex(0x2e2a28)));
  fillEllipse(c, {head.x - dir * 1.8 * s, head.y - 1.6 * s}, 1.4 * s, 0.6 * s, dir * -0.5,
              solid(hex(0x2e2a28)));
  fillCircle(c, {head.x + dir * 0.6 * s, head.y - 0.8 * s}, 0.4 * s, solid(hex(0xffffff)));
}

void paintCow(Canvas& c, Point at) {
  const Rgb black = hex(0x26221f), pink = hex(0xf3a7a0);
  fillEllipse(c, {at.x + 1, at.y + 9}, 13, 2, 0, solid(hex(0x2b5a1e)), 0.35);
  for (double dx : {-7.0, -4.0, 5.0, 8.0}) {
    fillRect(c, {at.x + dx - 1.1, at.y + 2, at.x + dx + 1.1, at.y + 9}, solid(hex(0xe0d8cc)));
    fillRect(c, {at.x + dx - 1.1, at.y + 8, at.x + dx + 1.1, at.y + 9.5},
             solid(hex(0x3a2a22)));  // hooves
  }
  fillEllipse(c, at, 11, 6, 0, [at](double x, double y) {
    const double spot = valueNoise((x - at.x) * 0.28 + 3, (y - at.y) * 0.35 + 1, 61);
    return spot > 0.58 ? hex(0x26221f) : hex(0xfbf8f2);
  });
  fillEllipse(c, {at.x + 1, at.y + 5}, 2.4, 1.5, 0, solid(pink));                      // udder
  strokePath(c, {{at.x - 10.5, at.y - 2}, {at.x - 13, at.y + 4}}, 0.8, solid(black));  // tail
  const Point head{at.x + 12.5, at.y - 4};
  fillEllipse(c, head, 4, 3.6, 0.3, solid(hex(0xfbf8f2)));
  fillEllipse(c, {head.x + 2, head.y + 2.4}, 2.8, 2, 0.2, solid(pink));
  fillEllipse(c, {head.x - 4, head.y - 2.5}, 2, 0.9, -0.4, solid(black));  // ears
  fillEllipse(c, {head.x + 3.8, head.y - 3.6}, 2, 0.9, 0.5, solid(black));
  strokePath(c, {{head.x - 1.5, head.y - 3}, {head.x - 2.2, head.y - 5.8}}, 0.9,
             solid(hex(0xe8dcc0)));
  strokePath(c, {{head.x + 1.8, head.y - 3.2}, {head.x + 2.6, head.y - 5.8}}, 0.9,
             solid(hex(0xe8dcc0)));
  fillCircle(c, {head.x, head.y - 0.6}, 0.6, solid(black));
  fillCircle(c, {head.x + 2.4, head.y - 1}, 0.6, solid(black));
}

void paintChild(Canvas& c) {
  const Point hand = kKiteHand, feet{222, 188};
  fillEllipse(c, {feet.x + 2, feet.y + 1}, 7, 1.4, 0, solid(hex(0x2b5a1e)), 0.35);
  strokePath(c, {{feet.x - 2, feet.y - 8}, {feet.x - 2.5, feet.y}}, 1.6, solid(hex(0xf2c29a)));
  strokePath(c, {{feet.x + 2, feet.y - 8}, {feet.x + 2.5, feet.y}}, 1.6, solid(hex(0xf2c29a)));
  fillPolygon(c,
              {{feet.x - 1.8, feet.y - 21},
               {feet.x + 1.8, feet.y - 21},
               {feet.x + 6, feet.y - 7},
               {feet.x - 6, feet.y - 7}},
              linear({0, feet.y - 21}, hex(0xff4f7a), {0, feet.y - 7}, hex(0xd81b50)));
  strokePath(c, {{feet.x + 1.5, feet.y - 19}, {hand.x, hand.y}}, 1.3, solid(hex(0xf2c29a)));
  strokePath(c, {{feet.x - 1.5, feet.y - 19}, {feet.x - 5, feet.y - 13}}, 1.3,
             solid(hex(0xf2c29a)));
  const Point head{feet.x, feet.y - 24.5};
  fillCircle(c, {head.x - 0.5, head.y - 0.8}, 3.9, solid(hex(0x8a4a1c)));  // hair
  fillCircle(c, head, 3.3, solid(hex(0xf7d0aa)));
  fillEllipse(c, {head.x - 3.6, head.y + 1.5}, 1, 2.2, 0.3, solid(hex(0x8a4a1c)));
  fillCircle(c, {head.x + 1.2, head.y - 0.3}, 0.45, solid(hex(0x222222)));
  paintMushroom(c, {240, 196}, 1.1);
  paintMushroom(c, {208, 194}, 0.7);
  paintButterfly(c, {238, 172});
}
