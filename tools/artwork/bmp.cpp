// 24-bit BMP encoder.
#include "bmp.h"

#include <fstream>
#include <stdexcept>

void put16(Bytes& out, std::uint32_t v) {
  out.push_back(std::uint8_t(v));
  out.push_back(std::uint8_t(v >> 8));
}

void put32(Bytes& out, std::uint32_t v) {
  put16(out, v & 0xffff);
  put16(out, v >> 16);
}

namespace {
constexpr std::uint32_t kHeadersSize = 14 + 40;

void putHeaders(Bytes& out, const Image8& image, std::uint32_t imageSize) {
  out.push_back('B');
  out.push_back('M');
  put32(out, kHeadersSize + imageSize);
  put32(out, 0);  // two reserved 16-bit fields
  put32(out, kHeadersSize);
  put32(out, 40);
  put32(out, std::uint32_t(image.width));
  put32(out, std::uint32_t(image.height));  // positive: rows stored bottom-up
  put16(out, 1);                            // planes
  put16(out, 24);                           // bits per pixel
  put32(out, 0);                            // BI_RGB
  put32(out, imageSize);
  for (int i = 0; i < 4; ++i) put32(out, 0);  // resolution, colours used, important
}
}  // namespace

Bytes encodeBmp(const Image8& image) {
  const std::uint32_t rowBytes = std::uint32_t(image.width) * 3;
  const std::uint32_t stride = (rowBytes + 3) & ~3u;
  const std::uint32_t imageSize = stride * std::uint32_t(image.height);
  Bytes out;
  out.reserve(kHeadersSize + imageSize);
  putHeaders(out, image, imageSize);
  for (int y = image.height - 1; y >= 0; --y) {
    for (int x = 0; x < image.width; ++x) {
      const auto p = image.pixel(x, y);
      out.insert(out.end(), {p[2], p[1], p[0]});
    }
    out.insert(out.end(), stride - rowBytes, 0);
  }
  return out;
}

void writeFile(const std::string& path, const Bytes& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  if (!file) throw std::runtime_error("cannot write " + path);
}
