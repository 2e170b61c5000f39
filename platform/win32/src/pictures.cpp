// pictures.cpp: the bitmaps and icons of the designs, checked as they are read from resources.
#include "pictures.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/errors.h"
#include "wide.h"

namespace platform {
namespace {

template <typename T>
T field(std::string_view bytes, std::size_t at) {
  T value{};
  std::memcpy(&value, bytes.data() + at, sizeof value);
  return value;
}

}  // namespace

Pictures::~Pictures() {
  for (auto& [name, icon] : icons_) DestroyIcon(icon);
}

std::string_view Pictures::resource(std::string_view name) const {
  const std::wstring key = wide(name);
  HRSRC found = FindResourceW(instance_, key.c_str(), MAKEINTRESOURCEW(10));  // RT_RCDATA
  HGLOBAL loaded = found ? LoadResource(instance_, found) : nullptr;
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (data == nullptr) throw RuntimeError(ErrorNumber::InvalidPicture, name);
  return {static_cast<const char*>(data), SizeofResource(instance_, found)};
}

const Picture& Pictures::bitmap(std::string_view name) {
  if (auto known = bitmaps_.find(name); known != bitmaps_.end()) return known->second;
  const std::string_view file = resource(name);
  constexpr std::size_t kHeaders = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  if (file.size() < kHeaders || file.substr(0, 2) != "BM")
    throw RuntimeError(ErrorNumber::InvalidPicture, name);
  const auto header = field<BITMAPINFOHEADER>(file, sizeof(BITMAPFILEHEADER));
  const auto offset = field<std::uint32_t>(file, offsetof(BITMAPFILEHEADER, bfOffBits));
  const long width = header.biWidth, height = header.biHeight;
  // Bottom-up rows of whole 32-bit words, as the designs' pictures are stored.
  const std::size_t row = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
  if (header.biBitCount != 24 || header.biCompression != BI_RGB || width <= 0 || height <= 0 ||
      offset < kHeaders || offset > file.size() ||
      file.size() - offset < row * static_cast<std::size_t>(height)) {
    throw RuntimeError(ErrorNumber::InvalidPicture, name);
  }
  Picture picture{reinterpret_cast<const BITMAPINFO*>(file.data() + sizeof(BITMAPFILEHEADER)),
                  file.data() + offset, static_cast<int>(width), static_cast<int>(height)};
  return bitmaps_.emplace(std::string(name), picture).first->second;
}

HICON Pictures::icon(std::string_view name) {
  if (auto known = icons_.find(name); known != icons_.end()) return known->second;
  const std::string_view file = resource(name);
  // An .ico file: a 6-byte header, 16-byte entries, then the images; the first image serves.
  constexpr std::size_t kEntry = 6;
  if (file.size() < kEntry + 16 || field<std::uint16_t>(file, 2) != 1 ||
      field<std::uint16_t>(file, 4) < 1) {
    throw RuntimeError(ErrorNumber::InvalidPicture, name);
  }
  const auto size = field<std::uint32_t>(file, kEntry + 8);
  const auto offset = field<std::uint32_t>(file, kEntry + 12);
  if (offset > file.size() || file.size() - offset < size)
    throw RuntimeError(ErrorNumber::InvalidPicture, name);
  auto* image = reinterpret_cast<BYTE*>(const_cast<char*>(file.data() + offset));
  HICON icon = CreateIconFromResourceEx(image, size, TRUE, 0x00030000, 0, 0, LR_DEFAULTCOLOR);
  if (icon == nullptr) throw RuntimeError(ErrorNumber::InvalidPicture, name);
  return icons_.emplace(std::string(name), icon).first->second;
}

}  // namespace platform
