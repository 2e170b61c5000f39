// A tiny anti-aliased rasteriser: regions tested at 4x4 sub-samples, painted by colour functions.
#pragma once

#include <functional>
#include <vector>

#include "image.h"

struct Point {
  double x = 0, y = 0;
};

// A point inside a tube path, with the tube's radius there.
struct Knot {
  Point p;
  double radius = 1;
};

struct Box {
  double x0, y0, x1, y1;
};

using Region = std::function<bool(double x, double y)>;
using Paint = std::function<Rgb(double x, double y)>;

// Core primitive: colour is averaged over the covered sub-samples, so textures anti-alias too.
void fillRegion(Canvas& c, Box box, const Region& inside, const Paint& paint, double opacity = 1);

Paint solid(Rgb colour);
Paint linear(Point from, Rgb c0, Point to, Rgb c1);
Paint radial(Point centre, double radius, Rgb inner, Rgb outer);

void fillRect(Canvas& c, Box box, const Paint& paint, double opacity = 1);
void fillCircle(Canvas& c, Point centre, double r, const Paint& paint, double opacity = 1);
void fillEllipse(Canvas& c, Point centre, double rx, double ry, double angle, const Paint& paint,
                 double opacity = 1);
void fillPolygon(Canvas& c, const std::vector<Point>& pts, const Paint& paint, double opacity = 1);
void fillTube(Canvas& c, const std::vector<Knot>& knots, const Paint& paint, double opacity = 1);
void strokePath(Canvas& c, const std::vector<Point>& pts, double width, const Paint& paint,
                double opacity = 1);

// Geometry helpers shared by the painters.
bool insidePolygon(const std::vector<Point>& pts, double x, double y);
bool insideTube(const std::vector<Knot>& knots, double x, double y);
Point polar(Point centre, double radius, double angle);
