// Distant landscape: snowy mountains, patchwork hills, windmill, chapel, woods and a lake.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "noise.h"
#include "props.h"
#include "scene.h"

namespace {
constexpr double kPi = std::numbers::pi;

struct Peak {
  double x, y, half;
  Rgb colour;
};

void paintPeak(Canvas& c, const Peak& p) {
  const double base = 96, h = base - p.y;
  const Point top{p.x, p.y}, left{p.x - p.half, base}, right{p.x + p.half, base},
      foot{p.x + p.half * 0.15, base};
  fillPolygon(c, {top, left, right},
              linear({0, p.y}, p.colour, {0, base}, mix(p.colour, hex(0xc9dcf0), 0.6)));
  fillPolygon(c, {top, foot, right}, solid(shade(p.colour, 0.8)), 0.55);  // shaded east face
  const double f = 0.3, sy = p.y + h * f, sl = p.x - p.half * f, sr = p.x + p.half * f;
  std::vector<Point> snow{top, {sl, sy}};
  for (int i = 1; i < 6; ++i)
    snow.push_back({sl + (sr - sl) * i / 6, sy + (i % 2 ? -h * 0.08 : h * 0.03)});
  snow.push_back({sr, sy});
  fillPolygon(c, snow, linear({sl, 0}, hex(0xffffff), {sr, 0}, hex(0xc8d4ea)));
}

void paintMountains(Canvas& c) {
  const Rgb far = hex(0x8d8fd0), near = hex(0x6f86c0);
  for (const Peak& p : {Peak{20, 55, 40, far}, Peak{112, 52, 42, far}, Peak{196, 43, 46, far},
                        Peak{250, 58, 35, far}})
    paintPeak(c, p);
  for (const Peak& p : {Peak{70, 42, 44, near}, Peak{150, 60, 34, near}, Peak{228, 61, 30, near}})
    paintPeak(c, p);
}

double fieldsTop(double x) { return 76 + 4 * std::sin(x * 0.043 + 0.8) + 2.5 * std::sin(x * 0.12); }

// Patchwork of wheat, meadow and lavender, skewed to suggest fields on a slope.
Rgb fieldColour(double x, double y) {
  const Rgb crops[] = {hex(0x9ccf4a), hex(0xe6c84e), hex(0x6db33f),
                       hex(0xa58fd8), hex(0xc6dd6a), hex(0x4f9a3a)};
  const double u = (x + y * 1.7) / 17, v = (y * 2.4 - x * 0.35) / 11;
  const double fu = u - std::floor(u), fv = v - std::floor(v);
  if (fu < 0.07 || fv < 0.1) return hex(0x3f7a2c);  // hedges
  const Rgb crop = crops[int(hash01(int(std::floor(u)), int(std::floor(v)), 5) * 6)];
  return shade(crop, 0.9 + 0.15 * std::sin(x * 1.7 + y));  // furrows
}

void paintFields(Canvas& c) {
  fillRegion(
      c, {0, 60, 251, 100}, [](double x, double y) { return y >= fieldsTop(x); }, fieldColour);
}

void paintWindmill(Canvas& c) {
  const Point hub{25, 64};
  fillPolygon(c, {{20, 80}, {22.5, 64}, {27.5, 64}, {30, 80}},
              linear({20, 0}, hex(0xfff6e6), {30, 0}, hex(0xcab9a0)));
  fillPolygon(c, {{21.5, 65}, {25, 59.5}, {28.5, 65}}, solid(hex(0x9c3b2a)));
  fillRect(c, {24, 75, 26.4, 80}, solid(hex(0x6b4020)));
  for (int i = 0; i < 4; ++i) {
    const double a = i * kPi / 2 + 0.45;
    const Point tip = polar(hub, 12, a), side = polar(hub, 12, a + 0.28),
                near = polar(hub, 3, a + 0.35);
    strokePath(c, {hub, tip}, 0.8, solid(hex(0x5a3a22)));
    fillPolygon(c, {polar(hub, 3, a), tip, side, near}, solid(hex(0xf4ecd8)), 0.9);
  }
  fillCircle(c, hub, 1.3, solid(hex(0x3a2a1a)));
}

void paintChapel(Canvas& c) {
  fillRect(c, {116, 70, 134, 80}, linear({116, 0}, hex(0xfdf1d8), {134, 0}, hex(0xd4c2a0)));
  fillPolygon(c, {{114.5, 70.5}, {125, 63}, {135.5, 70.5}}, solid(hex(0xc04a2a)));
  fillRect(c, {117, 60, 122, 80}, linear({117, 0}, hex(0xfff4dc), {122, 0}, hex(0xcdb894)));
  fillPolygon(c, {{116.3, 60.5}, {119.5, 51.5}, {122.7, 60.5}}, solid(hex(0x4a6fa8)));
  fillRect(c, {118.7, 62.5, 120.3, 65.5}, solid(hex(0x3a2a2a)));
  fillRect(c, {127, 76, 129, 80}, solid(hex(0x7a4a26)));
  strokePath(c, {{119.5, 49.5}, {119.5, 52}}, 0.5, solid(hex(0x5a4a3a)));
}

double woodsTop(double x) { return 88 + 3 * std::sin(x * 0.07 + 2); }

void paintWoods(Canvas& c) {
  fillRegion(
      c, {0, 80, 251, 100}, [](double x, double y) { return y >= woodsTop(x); },
      [](double x, double y) {
        return shade(hex(0x5aa53a), 0.9 + 0.2 * valueNoise(x * 0.3, y * 0.3, 9));
      });
  Rng rng(42);
  for (double x = 50; x < 104; x += 4.5)
    drawPine(c, {x + rng.range(-1, 1), woodsTop(x) + 6}, rng.range(11, 17), hex(0x2f6b34));
  for (double x = 206; x < 250; x += 11) {
    drawCypress(c, {x, woodsTop(x) + 4}, 15 + 4 * std::sin(x));
    drawRoundTree(c, {x + 5.5, woodsTop(x) + 5}, 4, hex(0x6aa83a), std::uint32_t(x), false);
  }
}

void paintLake(Canvas& c) {
  const Point centre{178, 93};
  fillEllipse(c, centre, 18, 4.6, 0, solid(hex(0x3f7f3a)));
  fillEllipse(c, centre, 16.5, 3.6, 0, [](double x, double y) {
    const double ripple = std::sin(x * 0.9 + y * 3) > 0.8 ? 0.35 : 0;
    return mix(mix(hex(0x7fc3f0), hex(0x3b86c8), (y - 89) / 8), hex(0xffffff), ripple);
  });
  fillEllipse(c, {170, 92}, 3, 0.8, 0, solid(hex(0xfff6c0)), 0.6);  // the sun's glint
}
}  // namespace

void paintDistance(Canvas& c) {
  paintMountains(c);
  paintFields(c);
  paintWindmill(c);
  paintChapel(c);
  paintWoods(c);
  paintLake(c);
}
