// pictures.h: the designs' pictures, read from the executable's resources by file name.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <string_view>

namespace platform {

// A 24-bit bitmap as stored: its header and its pixel rows, both inside the mapped resource.
struct Picture {
  const BITMAPINFO* info = nullptr;
  const void* bits = nullptr;
  int width = 0;
  int height = 0;
};

// The pictures named by the designs. Every picture file is an RCDATA resource named by its file
// name; the resources stay mapped for the life of the program, so nothing is copied.
class Pictures {
 public:
  explicit Pictures(HINSTANCE instance) : instance_(instance) {}
  ~Pictures();
  Pictures(const Pictures&) = delete;
  Pictures& operator=(const Pictures&) = delete;

  // Runtime error 481 (invalid picture) when the resource is missing or not a 24-bit bitmap.
  const Picture& bitmap(std::string_view name);
  // A window icon from an .ico resource; runtime error 481 as above.
  HICON icon(std::string_view name);

 private:
  std::string_view resource(std::string_view name) const;

  HINSTANCE instance_;
  std::map<std::string, Picture, std::less<>> bitmaps_;
  std::map<std::string, HICON, std::less<>> icons_;
};

}  // namespace platform
