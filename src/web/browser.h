#pragma once
// Opening a web address in the user's browser, and a formatted message box.

#include <cstddef>

inline constexpr std::size_t BrowserCommandCapacity = 260;

// Opens the address with the browser registered for http. True when Windows started it.
bool OpenUrl(const char* url);
// The registered browser's program, without its arguments; false when there is none.
bool GetBrowserCommand(char* buffer);
bool LaunchBrowser(const char* command, const char* url);
bool ShellOpen(const char* file);

// printf-style text in a message box of the application; a text longer than the box's buffer
// is cut. Returns the button pressed.
int ShowFormattedMessage(unsigned flags, const char* caption, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
