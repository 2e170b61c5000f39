// wide.h: UTF-8 to the UTF-16 of the Windows API, for the Windows tests.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

inline std::wstring wide(std::string_view utf8) {
  std::wstring text(utf8.size(), L'\0');
  text.resize(static_cast<std::size_t>(
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(),
                          static_cast<int>(text.size()))));
  return text;
}
