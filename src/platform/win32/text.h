#pragma once
// UTF-16 texts of the Windows calls that take no ANSI form, from and to the ANSI code page. Only
// the Win32 backend includes this.

#include <windows.h>

#include <string>

namespace platform::win32 {

// False when the text isn't valid in the ANSI code page.
bool AnsiToWide(const std::string& text, std::wstring& wide);
bool WideToAnsi(const wchar_t* text, std::size_t length, std::string& ansi);

// Overwrites a buffer that held a secret before its memory goes back.
template <typename Text> void Wipe(Text& text) {
  ::SecureZeroMemory(text.data(), text.size() * sizeof(text[0]));
  text.clear();
}

} // namespace platform::win32
