// Anti-aliased filling of regions, circles, ellipses, polygons and tubes.
#include "raster.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int kGrid = 4;  // 16 sub-samples a pixel: smooth edges at negligible cost here

Box boundsOf(const std::vector<Point>& pts, double margin) {
  Box b{1e9, 1e9, -1e9, -1e9};
  for (const Point& p : pts) {
    b = {std::min(b.x0, p.x), std::min(b.y0, p.y), std::max(b.x1, p.x), std::max(b.y1, p.y)};
  }
  return {b.x0 - margin, b.y0 - margin, b.x1 + margin, b.y1 + margin};
}
}  // namespace

void fillRegion(Canvas& c, Box box, const Region& inside, const Paint& paint, double opacity) {
  const int x0 = std::max(0, int(std::floor(box.x0)));
  const int y0 = std::max(0, int(std::floor(box.y0)));
  const int x1 = std::min(c.width() - 1, int(std::ceil(box.x1)));
  const int y1 = std::min(c.height() - 1, int(std::ceil(box.y1)));
  for (int y = y0; y <= y1; ++y) {
    for (int x = x0; x <= x1; ++x) {
      int hits = 0;
      Rgb sum;
      for (int j = 0; j < kGrid; ++j) {
        for (int i = 0; i < kGrid; ++i) {
          const double sx = x + (i + 0.5) / kGrid, sy = y + (j + 0.5) / kGrid;
          if (!inside(sx, sy)) continue;
          const Rgb p = paint(sx, sy);
          sum = {sum.r + p.r, sum.g + p.g, sum.b + p.b};
          ++hits;
        }
      }
      if (hits == 0) continue;
      c.blend(x, y, shade(sum, 1.0 / hits), opacity * hits / (kGrid * kGrid));
    }
  }
}

Paint solid(Rgb colour) {
  return [colour](double, double) { return colour; };
}

Paint linear(Point from, Rgb c0, Point to, Rgb c1) {
  const double dx = to.x - from.x, dy = to.y - from.y, len2 = dx * dx + dy * dy;
  return [=](double x, double y) {
    const double t = ((x - from.x) * dx + (y - from.y) * dy) / len2;
    return mix(c0, c1, std::clamp(t, 0.0, 1.0));
  };
}

Paint radial(Point centre, double radius, Rgb inner, Rgb outer) {
  return [=](double x, double y) {
    const double t = std::hypot(x - centre.x, y - centre.y) / radius;
    return mix(inner, outer, std::clamp(t, 0.0, 1.0));
  };
}

void fillRect(Canvas& c, Box box, const Paint& paint, double opacity) {
  fillRegion(
      c, box,
      [box](double x, double y) { return x >= box.x0 && x < box.x1 && y >= box.y0 && y < box.y1; },
      paint, opacity);
}

void fillCircle(Canvas& c, Point centre, double r, const Paint& paint, double opacity) {
  fillEllipse(c, centre, r, r, 0, paint, opacity);
}

void fillEllipse(Canvas& c, Point centre, double rx, double ry, double angle, const Paint& paint,
                 double opacity) {
  const double cs = std::cos(angle), sn = std::sin(angle), m = std::max(rx, ry);
  const Region inside = [=](double x, double y) {
    const double dx = x - centre.x, dy = y - centre.y;
    const double u = (dx * cs + dy * sn) / rx, v = (-dx * sn + dy * cs) / ry;
    return u * u + v * v <= 1;
  };
  fillRegion(c, {centre.x - m, centre.y - m, centre.x + m, centre.y + m}, inside, paint, opacity);
}

bool insidePolygon(const std::vector<Point>& pts, double x, double y) {
  bool in = false;
  for (std::size_t i = 0, j = pts.size() - 1; i < pts.size(); j = i++) {
    const Point a = pts[i], b = pts[j];
    if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) in = !in;
  }
  return in;
}

void fillPolygon(Canvas& c, const std::vector<Point>& pts, const Paint& paint, double opacity) {
  fillRegion(
      c, boundsOf(pts, 1), [&pts](double x, double y) { return insidePolygon(pts, x, y); }, paint,
      opacity);
}

bool insideTube(const std::vector<Knot>& knots, double x, double y) {
  for (std::size_t i = 0; i + 1 < knots.size(); ++i) {
    const Knot a = knots[i], b = knots[i + 1];
    const double dx = b.p.x - a.p.x, dy = b.p.y - a.p.y, len2 = dx * dx + dy * dy;
    double t = len2 > 0 ? ((x - a.p.x) * dx + (y - a.p.y) * dy) / len2 : 0;
    t = std::clamp(t, 0.0, 1.0);
    const double r = a.radius + (b.radius - a.radius) * t;
    if (std::hypot(x - (a.p.x + t * dx), y - (a.p.y + t * dy)) <= r) return true;
  }
  return false;
}

void fillTube(Canvas& c, const std::vector<Knot>& knots, const Paint& paint, double opacity) {
  double r = 0;
  std::vector<Point> pts;
  for (const Knot& k : knots) {
    pts.push_back(k.p);
    r = std::max(r, k.radius);
  }
  // One region for the whole tube, so overlapping segments do not double-blend.
  fillRegion(
      c, boundsOf(pts, r + 1), [&knots](double x, double y) { return insideTube(knots, x, y); },
      paint, opacity);
}

void strokePath(Canvas& c, const std::vector<Point>& pts, double width, const Paint& paint,
                double opacity) {
  std::vector<Knot> knots;
  for (const Point& p : pts) knots.push_back({p, width / 2});
  fillTube(c, knots, paint, opacity);
}

Point polar(Point centre, double radius, double angle) {
  return {centre.x + radius * std::cos(angle), centre.y + radius * std::sin(angle)};
}
