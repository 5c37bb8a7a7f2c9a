#include "settings/registry_access.h"

#include "common/bounded.h"
#include "common/text.h"
#include "platform/registry.h"

#include <cstring>
#include <string>

namespace {

// A root name longer than this is not looked for: the whole path is then a sub-key.
constexpr std::size_t RootNameLimit = 100;
constexpr std::uint32_t SubKeyNameCapacity = 261;

struct RootName {
  const char* name;
  win::RegKey root;
};

constexpr RootName RootNames[] = {
    {"HKEY_CLASSES_ROOT", win::HkeyClassesRoot},
    {"HKCR", win::HkeyClassesRoot},
    {"HKEY_CURRENT_USER", win::HkeyCurrentUser},
    {"HKCU", win::HkeyCurrentUser},
    {"HKEY_LOCAL_MACHINE", win::HkeyLocalMachine},
    {"HKLM", win::HkeyLocalMachine},
    {"HKEY_USERS", win::HkeyUsers},
    {"HKUS", win::HkeyUsers},
};

bool IsText(win::RegType type) {
  return type == win::RegSz || type == win::RegExpandSz;
}

} // namespace

win::RegKey ParseRegPath(const char* path, char* subKey, std::size_t capacity) {
  if (path == nullptr) {
    CopyBounded(subKey, "", capacity);
    return win::HkeyLocalMachine;
  }
  const char* backslash = std::strchr(path, '\\');
  if (backslash == nullptr || static_cast<std::size_t>(backslash - path) >= RootNameLimit) {
    CopyBounded(subKey, path, capacity);
    return win::HkeyLocalMachine;
  }
  CopyBounded(subKey, backslash + 1, capacity);
  const std::size_t rootLength = static_cast<std::size_t>(backslash - path);
  for (const RootName& candidate : RootNames) {
    if (SameTextIgnoringCase({path, rootLength}, candidate.name)) {
      return candidate.root;
    }
  }
  return win::HkeyLocalMachine;
}

bool JoinRegPath(const char* path, const char* name, char* result, std::size_t capacity) {
  std::string joined = path != nullptr ? path : "";
  if (!joined.empty() && joined.back() == '\\') {
    joined.pop_back();
  }
  if (name == nullptr || name[0] != '\\') {
    joined += '\\';
  }
  joined += name != nullptr ? name : "";
  if (capacity < 2 || joined.size() > capacity - 2) {
    CopyBounded(result, "", capacity);
    return false;
  }
  CopyBounded(result, joined.c_str(), capacity);
  return true;
}

bool RegKeyExists(const char* path) {
  char subKey[RegPathCapacity];
  const win::RegKey root = ParseRegPath(path, subKey, sizeof subKey);
  win::RegKey key = 0;
  if (platform::RegOpenKeyExA(root, subKey, win::KeyRead, key) != win::ErrorSuccess) {
    return false;
  }
  platform::RegCloseKey(key);
  return true;
}

bool ReadRegValue(win::RegKey root, const char* subKey, const char* valueName, char* dest,
                  std::uint32_t capacity, win::RegType* type, std::uint32_t* size) {
  if (dest != nullptr && capacity > 0) {
    dest[0] = '\0';
  }
  win::RegKey key = 0;
  if (platform::RegOpenKeyExA(root, subKey, win::KeyRead, key) != win::ErrorSuccess) {
    return false;
  }
  win::RegType storedType = win::RegNone;
  std::uint32_t storedSize = dest != nullptr ? capacity : 0;
  bool ok =
      platform::RegQueryValueExA(key, valueName, &storedType, reinterpret_cast<std::uint8_t*>(dest),
                                 &storedSize) == win::ErrorSuccess;
  platform::RegCloseKey(key);
  if (ok && dest != nullptr && IsText(storedType)) {
    // Values the program writes carry no terminator; one must still fit in the capacity.
    if (storedSize < capacity) {
      dest[storedSize] = '\0';
    } else {
      ok = storedSize > 0 && dest[storedSize - 1] == '\0';
    }
  }
  if (!ok) {
    if (dest != nullptr && capacity > 0) {
      dest[0] = '\0';
    }
    return false;
  }
  if (type != nullptr) {
    *type = storedType;
  }
  if (size != nullptr) {
    *size = storedSize;
  }
  return true;
}

bool WriteRegValue(win::RegKey root, const char* subKey, const char* valueName, const void* data,
                   std::uint32_t size, win::RegType type) {
  win::RegKey key = 0;
  if (platform::RegOpenKeyExA(root, subKey, win::KeyReadWrite, key) != win::ErrorSuccess &&
      platform::RegCreateKeyExA(root, subKey, win::RegOptionNonVolatile, win::KeyAllAccess, key) !=
          win::ErrorSuccess) {
    return false;
  }
  const bool ok =
      platform::RegSetValueExA(key, valueName, type, static_cast<const std::uint8_t*>(data),
                               size) == win::ErrorSuccess;
  platform::RegCloseKey(key);
  return ok;
}

bool DeleteRegValue(win::RegKey root, const char* subKey, const char* valueName) {
  win::RegKey key = 0;
  if (platform::RegOpenKeyExA(root, subKey, win::KeyWrite, key) != win::ErrorSuccess) {
    return false;
  }
  const bool ok = platform::RegDeleteValueA(key, valueName) == win::ErrorSuccess;
  platform::RegCloseKey(key);
  return ok;
}

bool DeleteRegKey(win::RegKey root, const char* subKey) {
  win::RegKey key = 0;
  if (platform::RegOpenKeyExA(root, subKey, win::KeyWrite, key) != win::ErrorSuccess) {
    return false;
  }
  const bool ok = platform::RegDeleteKeyA(key, "") == win::ErrorSuccess;
  platform::RegCloseKey(key);
  return ok;
}

bool DeleteRegKeyTree(const char* path) {
  char subKey[RegPathCapacity];
  const win::RegKey root = ParseRegPath(path, subKey, sizeof subKey);
  bool everySubKeyDeleted = true;
  win::RegKey key = 0;
  if (platform::RegOpenKeyExA(root, subKey, win::KeyAllAccess, key) == win::ErrorSuccess) {
    // After a deletion the next sub-key moves up to the same index; one that stays is stepped
    // over, so that a protected sub-key can't hold the loop.
    std::uint32_t index = 0;
    for (;;) {
      char name[SubKeyNameCapacity];
      std::uint32_t nameSize = sizeof name;
      if (platform::RegEnumKeyExA(key, index, name, nameSize) != win::ErrorSuccess) {
        break;
      }
      char childPath[RegPathCapacity];
      if (!JoinRegPath(path, name, childPath, sizeof childPath) || !DeleteRegKeyTree(childPath)) {
        everySubKeyDeleted = false;
        ++index;
      }
    }
    platform::RegCloseKey(key);
  }
  return DeleteRegKey(root, subKey) && everySubKeyDeleted;
}
