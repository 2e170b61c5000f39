// Canvas compositing and conversion to 8-bit images.
#include "image.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

Rgb mix(Rgb a, Rgb b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb shade(Rgb c, double factor) { return {c.r * factor, c.g * factor, c.b * factor}; }

Canvas::Canvas(int width, int height, Rgb background)
    : width_(width), height_(height), pixels_(std::size_t(width) * height, background) {}

void Canvas::blend(int x, int y, Rgb c, double alpha) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_ || alpha <= 0) return;
  Rgb& p = pixels_[index(x, y)];
  p = mix(p, c, std::min(alpha, 1.0));
}

std::array<std::uint8_t, 3> Image8::pixel(int x, int y) const {
  const std::size_t i = (std::size_t(y) * width + x) * 3;
  return {rgb[i], rgb[i + 1], rgb[i + 2]};
}

void Image8::setPixel(int x, int y, std::array<std::uint8_t, 3> c) {
  const std::size_t i = (std::size_t(y) * width + x) * 3;
  std::copy(c.begin(), c.end(), rgb.begin() + std::ptrdiff_t(i));
}

namespace {
std::uint8_t toByte(double v) { return std::uint8_t(std::lround(std::clamp(v, 0.0, 255.0))); }
}  // namespace

Image8 quantise(const Canvas& canvas) {
  Image8 out{canvas.width(), canvas.height(), {}};
  out.rgb.reserve(std::size_t(out.width) * out.height * 3);
  for (int y = 0; y < out.height; ++y) {
    for (int x = 0; x < out.width; ++x) {
      const Rgb c = canvas.at(x, y);
      out.rgb.insert(out.rgb.end(), {toByte(c.r), toByte(c.g), toByte(c.b)});
    }
  }
  return out;
}

Image8 crop(const Image8& src, int x, int y, int width, int height) {
  if (x < 0 || y < 0 || x + width > src.width || y + height > src.height)
    throw std::out_of_range("crop outside the image");
  Image8 out{width, height, std::vector<std::uint8_t>(std::size_t(width) * height * 3)};
  for (int j = 0; j < height; ++j)
    for (int i = 0; i < width; ++i) out.setPixel(i, j, src.pixel(x + i, y + j));
  return out;
}
