#include "web/browser.h"

#include "common/bounded.h"
#include "common/texts.h"
#include "platform/kernel.h"
#include "platform/shell.h"
#include "settings/registry_access.h"
#include "ui/application.h"

#include <algorithm>
#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr std::uint32_t RegisteredCommandCapacity = 258;
constexpr std::size_t CommandLineCapacity = 3000;
// WinExec takes command lines of up to this length; longer ones go to the shell.
constexpr std::size_t WinExecLimit = 254;
constexpr std::uint32_t WinExecSuccess = 32;
constexpr std::uintptr_t ShellExecuteSuccessAbove = 32;
constexpr std::size_t MessageCapacity = 4000;

} // namespace

bool GetBrowserCommand(char* buffer) {
  // Only a text value comes back terminated; a value of any other type is no command.
  win::RegType type = win::RegNone;
  if (!ReadRegValue(win::HkeyClassesRoot, BrowserCommandKey, nullptr, buffer,
                    RegisteredCommandCapacity, &type, nullptr) ||
      (type != win::RegSz && type != win::RegExpandSz)) {
    buffer[0] = '\0';
    return false;
  }
  // The address placeholder and every switch come after the program's path.
  const std::size_t cut = std::strcspn(buffer, "%-");
  buffer[cut] = '\0';
  std::size_t length = cut;
  const auto trim = [&] {
    while (length > 0 && std::isspace(static_cast<unsigned char>(buffer[length - 1]))) {
      buffer[--length] = '\0';
    }
  };
  trim();
  // A command registered as "program" "%1" leaves the opening quote of the address behind; it
  // would swallow the address into a quoted argument with a leading blank.
  const auto quotes = std::count(buffer, buffer + length, '"');
  if (quotes % 2 == 1 && length > 0 && buffer[length - 1] == '"') {
    buffer[--length] = '\0';
    trim();
  }
  return length > 0;
}

bool ShellOpen(const char* file) {
  return platform::ShellExecuteA(win::NoHandle, ShellOpenVerb, file, nullptr, "",
                                 win::SwShowNormal) > ShellExecuteSuccessAbove;
}

bool LaunchBrowser(const char* command, const char* url) {
  std::vector<char> line(CommandLineCapacity);
  CopyBounded(line.data(), command, line.size());
  AppendBounded(line.data(), " ", line.size());
  const std::size_t length = AppendBounded(line.data(), url, line.size());
  if (length <= WinExecLimit) {
    return platform::WinExec(line.data(), win::SwShowNormal) >= WinExecSuccess;
  }
  return ShellOpen(url);
}

bool OpenUrl(const char* url) {
  char command[BrowserCommandCapacity];
  return GetBrowserCommand(command) && LaunchBrowser(command, url);
}

int ShowFormattedMessage(unsigned flags, const char* caption, const char* format, ...) {
  std::vector<char> text(MessageCapacity);
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(text.data(), text.size(), format, arguments);
  va_end(arguments);
  return ui::ShowMessageBox(nullptr, text.data(), caption, flags);
}
