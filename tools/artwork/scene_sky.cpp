// Sky layer: gradient, sun and its glow, rainbow and clouds.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "scene.h"

namespace {
constexpr double kPi = std::numbers::pi;
constexpr Point kSun{29, 26};

void paintGradient(Canvas& c) {
  const Rgb zenith = hex(0x2f6fd0), horizon = hex(0xc6ecff), glow = hex(0xfff0b8);
  for (int y = 0; y < c.height(); ++y) {
    for (int x = 0; x < c.width(); ++x) {
      const double t = std::pow(std::min(y / 92.0, 1.0), 0.85);
      Rgb col = mix(zenith, horizon, t);
      col = mix(col, hex(0x5a63c8), 0.25 * (x / 250.0) * (1 - t));  // deeper to the east
      const double d = std::hypot(x - kSun.x, y - kSun.y);
      c.set(x, y, mix(col, glow, 0.75 * std::exp(-d / 38)));
    }
  }
}

void paintSun(Canvas& c) {
  for (int i = 0; i < 16; ++i) {
    const double a = i * kPi / 8 + 0.1, len = i % 2 ? 19 : 24;
    fillPolygon(c, {polar(kSun, 14, a - 0.09), polar(kSun, len, a), polar(kSun, 14, a + 0.09)},
                solid(hex(0xffb627)), 0.85);
  }
  fillCircle(c, kSun, 14, solid(hex(0xffb000)));
  fillCircle(c, kSun, 12.5, radial({kSun.x - 3, kSun.y - 3}, 14, hex(0xfffbe0), hex(0xffc21a)));
}

void paintRainbow(Canvas& c) {
  const Point centre{214, 108};
  const Rgb bands[] = {hex(0xff3b30), hex(0xff9500), hex(0xffe620),
                       hex(0x34c759), hex(0x2f7bff), hex(0x8e44ff)};
  for (int i = 0; i < 6; ++i) {
    const double outer = 78 - i * 2.6, inner = outer - 2.6;
    fillRegion(
        c, {centre.x - outer, centre.y - outer, centre.x + outer, 100},
        [=](double x, double y) {
          const double d = std::hypot(x - centre.x, y - centre.y);
          return d <= outer && d > inner;
        },
        solid(bands[i]), 0.55);
  }
}

void paintCloud(Canvas& c, Point at, double s) {
  struct Puff {
    double dx, dy, r;
  };
  const Puff puffs[] = {{-15, 3, 7}, {-7, -3, 9}, {3, -6, 10}, {12, -1, 8},
                        {19, 4, 6},  {2, 4, 8},   {-8, 5, 7}};
  for (const Puff& p : puffs)
    fillCircle(c, {at.x + p.dx * s, at.y + (p.dy + 2.2) * s}, p.r * s, solid(hex(0xa9c1e0)));
  for (const Puff& p : puffs) {
    const Point o{at.x + p.dx * s, at.y + p.dy * s};
    fillCircle(c, o, p.r * s,
               radial({o.x - 2 * s, o.y - 4 * s}, p.r * s * 1.6, hex(0xffffff), hex(0xdde8f5)));
  }
}
}  // namespace

void paintSky(Canvas& c) {
  paintGradient(c);
  paintRainbow(c);
  paintSun(c);
  paintCloud(c, {75, 20}, 1.0);
  paintCloud(c, {174, 13}, 0.62);
  paintCloud(c, {232, 66}, 0.5);
  paintCloud(c, {20, 60}, 0.45);
}
