#include "actions/os_version.h"

#include "common/texts.h"
#include "platform/kernel.h"
#include "platform/user.h"

namespace {

OsVersionClass Classify9x(const platform::OsVersionInfo& info) {
  if (info.majorVersion != 4) {
    return OsUnknown;
  }
  switch (info.minorVersion) {
  case 0:
    return OsWin95;
  case 10: {
    // The second character of the service-pack text carries the edition letter.
    const char edition = info.csdVersion[1];
    return edition == 'A' || edition == 'B' ? OsWin98SE : OsWin98;
  }
  case 90:
    return OsWinMe;
  default:
    return OsUnknown;
  }
}

std::uint16_t NativeArchitecture() {
  const win::Handle kernel = platform::GetModuleHandleA(Kernel32LibraryName);
  const win::Handle entry = kernel == win::NoHandle
                                ? win::NoHandle
                                : platform::GetProcAddress(kernel, NativeSystemInfoEntry);
  return entry == win::NoHandle ? 0 : platform::CallGetNativeSystemInfo(entry);
}

OsVersionClass ClassifyServer2003Family(const platform::OsVersionInfo& info) {
  const std::uint16_t architecture = NativeArchitecture();
  if (platform::GetSystemMetrics(win::SmServerR2) != 0) {
    return OsServer2003R2;
  }
  if (info.productType == win::VerNtWorkstation &&
      architecture == win::ProcessorArchitectureAmd64) {
    return OsWinXPx64;
  }
  return OsServer2003;
}

OsVersionClass ClassifyNt(const platform::OsVersionInfo& info) {
  const std::uint32_t major = info.majorVersion;
  const std::uint32_t minor = info.minorVersion;
  if (major == 6) {
    switch (minor) {
    case 0:
      return info.productType == win::VerNtWorkstation ? OsVista : OsServer2008;
    case 1:
      return OsWin7;
    case 2:
      return OsWin8;
    case 3:
      return OsWin81;
    default:
      return OsWin10;
    }
  }
  if (major == 5) {
    switch (minor) {
    case 0:
      return OsWin2000;
    case 1:
      return OsWinXP;
    case 2:
      return ClassifyServer2003Family(info);
    default:
      return OsUnknown;
    }
  }
  if (major <= 4) {
    return OsWinNT4;
  }
  return OsWin10;
}

} // namespace

std::uint32_t PlatformFamily() {
  platform::OsVersionInfo info;
  info.size = win::OsVersionInfoSize;
  return platform::GetVersionExA(info) ? info.platformId : 0;
}

OsVersionClass DetectOsVersion() {
  platform::OsVersionInfo info;
  info.size = win::OsVersionInfoExSize;
  if (!platform::GetVersionExA(info)) {
    info.size = win::OsVersionInfoSize;
    if (!platform::GetVersionExA(info)) {
      return OsUnknown;
    }
  }
  switch (info.platformId) {
  case win::VerPlatformWin32Windows:
    return Classify9x(info);
  case win::VerPlatformWin32Nt:
    return ClassifyNt(info);
  default:
    return OsUnknown;
  }
}
