#include "platform/win32/text.h"

namespace platform::win32 {

bool AnsiToWide(std::string_view text, std::wstring& wide) {
  wide.clear();
  if (text.empty()) {
    return true;
  }
  const int length = static_cast<int>(text.size());
  const int size = ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
  if (size <= 0) {
    return false;
  }
  wide.resize(static_cast<std::size_t>(size));
  return ::MultiByteToWideChar(CP_ACP, 0, text.data(), length, wide.data(), size) == size;
}

bool WideToAnsi(const wchar_t* text, std::size_t length, std::string& ansi) {
  ansi.clear();
  if (length == 0) {
    return true;
  }
  const int wideLength = static_cast<int>(length);
  const int size = ::WideCharToMultiByte(CP_ACP, 0, text, wideLength, nullptr, 0, nullptr, nullptr);
  if (size <= 0) {
    return false;
  }
  ansi.resize(static_cast<std::size_t>(size));
  return ::WideCharToMultiByte(CP_ACP, 0, text, wideLength, ansi.data(), size, nullptr, nullptr) ==
         size;
}

bool WideToAnsi(const wchar_t* text, std::size_t length, SecretText& ansi) {
  ansi.Clear();
  if (length == 0) {
    return true;
  }
  const int wideLength = static_cast<int>(length);
  const int size = ::WideCharToMultiByte(CP_ACP, 0, text, wideLength, nullptr, 0, nullptr, nullptr);
  if (size <= 0) {
    return false;
  }
  char* buffer = ansi.Prepare(static_cast<std::size_t>(size));
  if (::WideCharToMultiByte(CP_ACP, 0, text, wideLength, buffer, size, nullptr, nullptr) != size) {
    ansi.Clear();
    return false;
  }
  return true;
}

} // namespace platform::win32
