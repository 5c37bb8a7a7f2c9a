#include "platform/console.h"

#include "platform/win32/handles.h"

namespace platform {

bool AttachConsole(std::uint32_t processId) {
  return ::AttachConsole(processId) != 0;
}

win::Handle GetStdHandle(std::uint32_t which) {
  return win32::FromFileHandle(::GetStdHandle(which));
}

} // namespace platform
