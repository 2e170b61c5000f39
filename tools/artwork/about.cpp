// About-window pictures: a jigsaw piece, a framed landscape, a painter's palette, a star.
#include "about.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "raster.h"

namespace {
constexpr double kPi = std::numbers::pi;
const Rgb kWhite = hex(0xffffff);

Canvas blankCanvas() { return Canvas(kAboutSize, kAboutSize, kWhite); }

// Jigsaw piece; grow > 0 gives the slightly larger outline shape.
bool inPiece(double x, double y, double grow) {
  const bool body = x >= 8 - grow && x <= 24 + grow && y >= 9 - grow && y <= 25 + grow;
  const bool knobs =
      std::hypot(x - 27, y - 17) <= 3.6 + grow || std::hypot(x - 16, y - 6) <= 3.6 + grow;
  const bool sockets =
      std::hypot(x - 8, y - 17) <= 3.4 - grow || std::hypot(x - 16, y - 25) <= 3.4 - grow;
  return (body || knobs) && !sockets;
}

Image8 puzzlePiece() {
  Canvas c = blankCanvas();
  const Box box{0, 0, 32, 32};
  fillRegion(
      c, box, [](double x, double y) { return inPiece(x - 0.8, y - 0.8, 1.2); },
      solid(hex(0xb9b9c9)), 0.6);  // soft drop shadow
  fillRegion(
      c, box, [](double x, double y) { return inPiece(x, y, 1.1); }, solid(hex(0x9a4a0c)));
  fillRegion(
      c, box, [](double x, double y) { return inPiece(x, y, 0); },
      radial({12, 11}, 20, hex(0xffd27a), hex(0xf07a12)));
  fillEllipse(c, {13, 13}, 4, 2, -0.5, solid(kWhite), 0.45);  // glossy highlight
  return quantise(c);
}

Image8 framedLandscape() {
  Canvas c = blankCanvas();
  strokePath(c, {{8, 6}, {16, 1.5}, {24, 6}}, 0.9, solid(hex(0x555555)));  // hanging cord
  fillCircle(c, {16, 1.8}, 1.3, solid(hex(0x888888)));
  fillRect(c, {3, 6, 29, 28}, linear({3, 6}, hex(0xe0b45a), {29, 28}, hex(0x8a5a1c)));
  fillRect(c, {6, 9, 26, 25}, linear({0, 9}, hex(0x5aa8f0), {0, 20}, hex(0xd8f0ff)));
  fillCircle(c, {11, 13}, 2.6, solid(hex(0xffd23a)));
  fillRegion(
      c, {6, 9, 26, 25}, [](double x, double y) { return y > 19 + 2.5 * std::sin(x * 0.35); },
      solid(hex(0x4caf3c)));
  fillRegion(
      c, {6, 9, 26, 25}, [](double x, double y) { return y > 22 - 1.5 * std::cos(x * 0.5); },
      solid(hex(0x2f7f2a)));
  fillRect(c, {20.5, 17, 21.5, 21}, solid(hex(0x6b4020)));
  fillCircle(c, {21, 16}, 2.6, solid(hex(0x2e8b3a)));
  return quantise(c);
}

Image8 palette() {
  Canvas c = blankCanvas();
  const auto board = [](double x, double y) {
    const bool oval = std::pow((x - 15) / 13, 2) + std::pow((y - 17) / 10.5, 2) <= 1;
    return oval && std::hypot(x - 9, y - 21) > 2.6 && std::hypot(x - 3, y - 23) > 4.5;
  };
  fillRegion(
      c, {0, 0, 32, 32}, [&](double x, double y) { return board(x - 1, y - 1); },
      solid(hex(0xbdb3a0)));
  fillRegion(c, {0, 0, 32, 32}, board, linear({4, 8}, hex(0xf4ddb0), {26, 27}, hex(0xc99a5b)));
  const Rgb blobs[] = {hex(0xe53935), hex(0xfdd835), hex(0x43a047), hex(0x1e88e5), hex(0x8e24aa)};
  const Point spots[] = {{8, 13}, {13, 10}, {19, 10}, {23, 14}, {22, 20}};
  for (int i = 0; i < 5; ++i) {
    fillCircle(c, spots[i], 2.3, solid(blobs[i]));
    fillCircle(c, {spots[i].x - 0.7, spots[i].y - 0.8}, 0.7, solid(kWhite), 0.7);
  }
  strokePath(c, {{30, 30}, {19.5, 19.5}}, 2.2, solid(hex(0x8b5a2b)));  // brush handle
  strokePath(c, {{19.5, 19.5}, {17, 17}}, 2.4, solid(hex(0xb0b0b8)));  // ferrule
  fillEllipse(c, {15.2, 15.2}, 2.6, 1.3, kPi / 4, solid(hex(0xe53935)));
  return quantise(c);
}

Image8 star() {
  Canvas c = blankCanvas();
  std::vector<Point> pts;
  for (int i = 0; i < 10; ++i)
    pts.push_back(polar({16, 17}, i % 2 ? 6.2 : 14.5, -kPi / 2 + i * kPi / 5));
  std::vector<Point> shadow = pts;
  for (Point& p : shadow) p = {p.x + 1, p.y + 1};
  fillPolygon(c, shadow, solid(hex(0xc8c0a8)), 0.7);
  fillPolygon(c, pts, radial({13, 12}, 16, hex(0xfff6a8), hex(0xf5a300)));
  for (std::size_t i = 0; i < pts.size(); ++i)
    strokePath(c, {pts[i], pts[(i + 1) % pts.size()]}, 0.8, solid(hex(0xc06a00)));
  for (const Point s : {Point{4, 5}, Point{27, 4}, Point{28, 26}}) {  // little sparkles
    strokePath(c, {{s.x - 2, s.y}, {s.x + 2, s.y}}, 0.8, solid(hex(0x4fa3e0)));
    strokePath(c, {{s.x, s.y - 2}, {s.x, s.y + 2}}, 0.8, solid(hex(0x4fa3e0)));
  }
  return quantise(c);
}
}  // namespace

std::array<Image8, 4> drawAboutPictures() {
  return {puzzlePiece(), framedLandscape(), palette(), star()};
}
