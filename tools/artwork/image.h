// Colour type, the floating-point canvas the artwork is painted on, and its 8-bit form.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

struct Rgb {
  double r = 0, g = 0, b = 0;
};

// Colour from 0xRRGGBB, the way artists pick swatches.
constexpr Rgb hex(std::uint32_t v) {
  return {double((v >> 16) & 0xff), double((v >> 8) & 0xff), double(v & 0xff)};
}
Rgb mix(Rgb a, Rgb b, double t);
Rgb shade(Rgb c, double factor);  // >1 lightens, <1 darkens (clamped later)

class Canvas {
 public:
  Canvas(int width, int height, Rgb background);
  int width() const { return width_; }
  int height() const { return height_; }
  Rgb at(int x, int y) const { return pixels_[index(x, y)]; }
  void set(int x, int y, Rgb c) { pixels_[index(x, y)] = c; }
  // Alpha-composites over what is there; silently ignores pixels off the canvas.
  void blend(int x, int y, Rgb c, double alpha);

 private:
  std::size_t index(int x, int y) const { return std::size_t(y) * width_ + x; }
  int width_, height_;
  std::vector<Rgb> pixels_;
};

// Top-down, RGB byte triples: the form every output file is cut from.
struct Image8 {
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgb;

  std::array<std::uint8_t, 3> pixel(int x, int y) const;
  void setPixel(int x, int y, std::array<std::uint8_t, 3> c);
};

Image8 quantise(const Canvas& canvas);
Image8 crop(const Image8& src, int x, int y, int width, int height);
