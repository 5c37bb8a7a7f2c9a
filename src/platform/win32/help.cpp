#include "platform/help.h"

#include "platform/win32/handles.h"
#include "platform/win32/late_bound.h"

namespace platform {

namespace {

// The HTML Help control is not part of every installation; it is looked up once, and a missing
// one leaves help unavailable instead of stopping the program from starting.
constexpr char HelpControlName[] = "hhctrl.ocx";
constexpr WORD HtmlHelpAOrdinal = 14;

using HtmlHelpFunction = HWND WINAPI(HWND, LPCSTR, UINT, DWORD_PTR);

} // namespace

std::uintptr_t HtmlHelpA(win::Handle window, const char* file, std::uint32_t command,
                         std::uintptr_t data) {
  static const auto htmlHelp =
      win32::LateBound<HtmlHelpFunction>(HelpControlName, MAKEINTRESOURCEA(HtmlHelpAOrdinal));
  if (htmlHelp == nullptr) {
    return 0;
  }
  return win32::FromWindows(htmlHelp(win32::ToWindows<HWND>(window), file, command, data));
}

} // namespace platform
