// bmp_reader.h: little-endian files read back for the tests (the pictures, the icon, the compiled
// resources), written apart from the artwork's encoder so that a fault there shows here.
#pragma once

#include <array>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace vorek_test {

using Pixel = std::array<std::uint8_t, 3>;  // R, G, B

// Every read is checked against the end: a short file throws std::out_of_range, never garbage.
struct Bytes {
  std::vector<std::uint8_t> data;

  std::uint32_t u8(std::size_t at) const { return data.at(at); }
  std::uint32_t u16(std::size_t at) const { return u8(at) | u8(at + 1) << 8; }
  std::uint32_t u32(std::size_t at) const { return u16(at) | u16(at + 2) << 16; }
  std::int32_t i32(std::size_t at) const { return std::int32_t(u32(at)); }
  void need(std::size_t at, std::size_t size) const {
    if (at > data.size() || size > data.size() - at) throw std::out_of_range("truncated");
  }
  Bytes slice(std::size_t at, std::size_t size) const {
    need(at, size);
    return {{data.begin() + std::ptrdiff_t(at), data.begin() + std::ptrdiff_t(at + size)}};
  }
  bool operator==(const Bytes&) const = default;
};

inline Bytes readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot open " + path);
  return {std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {})};
}

// A decoded 24-bit image, top row first.
struct Picture {
  int width = 0, height = 0;
  std::vector<Pixel> pixels;

  const Pixel& at(int x, int y) const { return pixels.at(std::size_t(y) * width + x); }
};

inline std::size_t rowStride(int width) { return (std::size_t(width) * 3 + 3) / 4 * 4; }

// Trusts the header fields; the format tests check them separately.
inline Picture readPicture(const std::string& path) {
  const Bytes file = readFile(path);
  Picture p{file.i32(18), file.i32(22), {}};
  const std::size_t offset = file.u32(10), stride = rowStride(p.width);
  for (int y = 0; y < p.height; ++y) {
    const std::size_t row = offset + std::size_t(p.height - 1 - y) * stride;  // stored bottom-up
    for (int x = 0; x < p.width; ++x) {
      const std::size_t i = row + std::size_t(x) * 3;
      p.pixels.push_back(
          {std::uint8_t(file.u8(i + 2)), std::uint8_t(file.u8(i + 1)), std::uint8_t(file.u8(i))});
    }
  }
  return p;
}

}  // namespace vorek_test
