#pragma once
// UTF-16 texts of the Windows calls that take no ANSI form, from and to the ANSI code page. Only
// the Win32 backend includes this.

#include "common/secret_text.h"

#include <windows.h>

#include <string>
#include <string_view>

namespace platform::win32 {

// False when the text isn't valid in the ANSI code page.
// A wide text of a secret is sized once, before it is written, so that no growth leaves a part
// of it behind; Wipe then clears it.
bool AnsiToWide(std::string_view text, std::wstring& wide);
bool WideToAnsi(const wchar_t* text, std::size_t length, std::string& ansi);
bool WideToAnsi(const wchar_t* text, std::size_t length, SecretText& ansi);

// Overwrites the whole buffer that held a secret, up to its capacity, before its memory goes back.
template <typename Text> void Wipe(Text& text) {
  text.resize(text.capacity());
  ::SecureZeroMemory(text.data(), text.size() * sizeof(text[0]));
  text.clear();
}

} // namespace platform::win32
