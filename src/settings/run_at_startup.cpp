#include "settings/run_at_startup.h"

#include "common/texts.h"
#include "platform/kernel.h"
#include "settings/registry_access.h"

#include <cstring>

namespace {
constexpr std::uint32_t ModulePathCapacity = 262;
}

const char* RunKeyPath(OsVersionClass osClass) {
  return osClass > OsWinXP ? UserRunKey : MachineRunKey;
}

bool ApplyRunAtStartup(bool enabled, const char* valueName) {
  char subKey[RegPathCapacity];
  const win::RegKey root = ParseRegPath(RunKeyPath(DetectOsVersion()), subKey, sizeof subKey);
  if (!enabled) {
    return DeleteRegValue(root, subKey, valueName);
  }
  char programPath[ModulePathCapacity] = {};
  const std::uint32_t length = platform::GetModuleFileNameA(programPath, ModulePathCapacity - 1);
  programPath[length < ModulePathCapacity ? length : ModulePathCapacity - 1] = '\0';
  // Stored without quotes; the size is the path's length (Windows keeps the terminator that
  // follows it as part of the text).
  return WriteRegValue(root, subKey, valueName, programPath,
                       static_cast<std::uint32_t>(std::strlen(programPath)), win::RegSz);
}

void ClearSelectSound() {
  if (DetectOsVersion() > OsWinXP && RegKeyExists(SelectSoundKey)) {
    DeleteRegKeyTree(SelectSoundKey);
  }
}
