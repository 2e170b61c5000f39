// Reusable scenery pieces: trees, houses and flowers.
#pragma once

#include <cstdint>

#include "raster.h"

void drawRoundTree(Canvas& c, Point base, double size, Rgb leaves, std::uint32_t seed, bool fruit);
void drawPine(Canvas& c, Point base, double height, Rgb colour);
void drawCypress(Canvas& c, Point base, double height);
void drawFlower(Canvas& c, Point centre, double size, Rgb petals);

struct House {
  double left, base, width, wallHeight, roofHeight;
  Rgb wall, roof, shutters;
  int windows;
  bool chimney;
};
void drawHouse(Canvas& c, const House& h);
