// wide.h: the runtime's UTF-8 texts as the wide strings of the Windows API.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace platform {

inline std::wstring wide(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int size = static_cast<int>(utf8.size());
  const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  std::wstring text(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, text.data(), length);
  return text;
}

}  // namespace platform
