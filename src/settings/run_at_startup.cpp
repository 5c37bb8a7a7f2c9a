#include "settings/run_at_startup.h"

#include "common/texts.h"
#include "platform/kernel.h"
#include "settings/registry_access.h"

#include <string>

const char* RunKeyPath(OsVersionClass osClass) {
  return osClass > OsWinXP ? UserRunKey : MachineRunKey;
}

bool ApplyRunAtStartup(bool enabled, const char* valueName) {
  char subKey[RegPathCapacity];
  const win::RegKey root = ParseRegPath(RunKeyPath(DetectOsVersion()), subKey, sizeof subKey);
  if (!enabled) {
    return DeleteRegValue(root, subKey, valueName);
  }
  std::string programPath;
  if (!platform::GetProgramPath(programPath)) {
    return false;
  }
  // Stored without quotes; the size is the path's length (Windows keeps the terminator that
  // follows it as part of the text).
  return WriteRegValue(root, subKey, valueName, programPath.c_str(),
                       static_cast<std::uint32_t>(programPath.size()), win::RegSz);
}

void ClearSelectSound() {
  if (DetectOsVersion() > OsWinXP && RegKeyExists(SelectSoundKey)) {
    DeleteRegKeyTree(SelectSoundKey);
  }
}
