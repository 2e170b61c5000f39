// The portrait: a summer valley, painted back to front in layers kept in separate files.
#pragma once

#include <vector>

#include "image.h"
#include "raster.h"

inline constexpr int kPortraitWidth = 251;
inline constexpr int kPortraitHeight = 201;

// The finished portrait, its last column and row white as the game's frame expects.
Image8 drawPortrait();

void paintSky(Canvas& c);         // gradient, sun, rainbow, clouds
void paintDistance(Canvas& c);    // mountains, fields, windmill, church, woods, lake
void paintVillage(Canvas& c);     // meadow, river, bridge, houses, orchard, barn
void paintForeground(Canvas& c);  // fence, flowers, ducks, sheep, cow, child
void paintSkyObjects(Canvas& c);  // balloon, kite and its string, birds: over everything

// Figures of the foreground layer, kept in their own file.
void paintSheep(Canvas& c, Point at, double s, bool facingLeft);
void paintCow(Canvas& c, Point at);
void paintChild(Canvas& c);  // with mushrooms and a butterfly around

// Geometry several layers share.
double meadowTop(double x);                  // upper edge of the valley floor
const std::vector<Knot>& riverKnots();       // river centre line, widening towards the viewer
inline constexpr Point kKiteHand{229, 165};  // where the child holds the kite string
