// Assembles the portrait from its layers.
#include "scene.h"

Image8 drawPortrait() {
  Canvas canvas(kPortraitWidth, kPortraitHeight, hex(0xffffff));
  paintSky(canvas);
  paintDistance(canvas);
  paintVillage(canvas);
  paintForeground(canvas);
  paintSkyObjects(canvas);
  Image8 image = quantise(canvas);
  // The board frame needs a white last column and row; the scene is framed by them.
  for (int y = 0; y < image.height; ++y) image.setPixel(image.width - 1, y, {255, 255, 255});
  for (int x = 0; x < image.width; ++x) image.setPixel(x, image.height - 1, {255, 255, 255});
  return image;
}
