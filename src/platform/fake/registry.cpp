// The registry of the fake Windows: a tree of keys in memory, names compared without regard to
// letter case, with roots that can be made read-only and keys that refuse deletion.

#include "platform/registry.h"

#include "common/bounded.h"
#include "platform/fake/internal.h"

#include <cstring>
#include <sstream>

namespace platform {

using fake::Record;
using fake::RegNode;
using fake::TheWorld;

namespace {

constexpr win::RegAccess WritingRights = 0x2 | 0x4 | 0x10000; // set value, create sub-key, delete

std::vector<std::string> SplitSubKey(const char* subKey) {
  std::vector<std::string> parts;
  std::stringstream stream(subKey == nullptr ? "" : subKey);
  std::string part;
  while (std::getline(stream, part, '\\')) {
    if (!part.empty()) {
      parts.push_back(part);
    }
  }
  return parts;
}

// The root and full component list of a key handle joined with a sub-key; false for a handle
// that is neither a root nor open.
bool Resolve(win::RegKey key, const char* subKey, win::RegKey& root,
             std::vector<std::string>& parts) {
  fake::World& w = TheWorld();
  if (w.registry.count(key) != 0) {
    root = key;
    parts.clear();
  } else {
    const auto open = w.openKeys.find(key);
    if (open == w.openKeys.end()) {
      return false;
    }
    root = open->second.first;
    parts = open->second.second;
  }
  for (std::string& part : SplitSubKey(subKey)) {
    parts.push_back(std::move(part));
  }
  return true;
}

std::string PathText(win::RegKey root, const std::vector<std::string>& parts) {
  static const std::map<win::RegKey, std::string> names = {{win::HkeyClassesRoot, "HKCR"},
                                                           {win::HkeyCurrentUser, "HKCU"},
                                                           {win::HkeyLocalMachine, "HKLM"},
                                                           {win::HkeyUsers, "HKUS"}};
  std::string text = names.at(root);
  for (const std::string& part : parts) {
    text += "\\" + part;
  }
  return text;
}

bool ReadOnly(win::RegKey root) {
  return TheWorld().readOnlyRoots.count(root) != 0;
}

win::RegKey OpenHandle(win::RegKey root, std::vector<std::string> parts) {
  fake::World& w = TheWorld();
  const win::RegKey handle = w.nextKeyHandle++;
  w.openKeys[handle] = {root, std::move(parts)};
  return handle;
}

// The key's path for the call record, "HKCU\\Software\\..." or "?" for an unknown handle.
std::string KeyText(win::RegKey key, const char* subKey = nullptr) {
  win::RegKey root = 0;
  std::vector<std::string> parts;
  return Resolve(key, subKey, root, parts) ? PathText(root, parts) : "?";
}

RegNode* NodeOf(win::RegKey key) {
  win::RegKey root = 0;
  std::vector<std::string> parts;
  return Resolve(key, nullptr, root, parts) ? fake::FindNode(root, parts, false) : nullptr;
}

} // namespace

long RegOpenKeyExA(win::RegKey key, const char* subKey, win::RegAccess access,
                   win::RegKey& result) {
  Record("RegOpenKeyExA", KeyText(key, subKey), access);
  win::RegKey root = 0;
  std::vector<std::string> parts;
  if (!Resolve(key, subKey, root, parts)) {
    return win::ErrorInvalidHandle;
  }
  if (fake::FindNode(root, parts, false) == nullptr) {
    return win::ErrorFileNotFound;
  }
  if ((access & WritingRights) != 0 && ReadOnly(root)) {
    return win::ErrorAccessDenied;
  }
  result = OpenHandle(root, parts);
  return win::ErrorSuccess;
}

long RegCreateKeyExA(win::RegKey key, const char* subKey, std::uint32_t options,
                     win::RegAccess access, win::RegKey& result) {
  Record("RegCreateKeyExA", KeyText(key, subKey), options, access);
  win::RegKey root = 0;
  std::vector<std::string> parts;
  if (!Resolve(key, subKey, root, parts)) {
    return win::ErrorInvalidHandle;
  }
  if (ReadOnly(root)) {
    return win::ErrorAccessDenied;
  }
  fake::FindNode(root, parts, true);
  result = OpenHandle(root, parts);
  return win::ErrorSuccess;
}

long RegQueryValueExA(win::RegKey key, const char* valueName, win::RegType* type,
                      std::uint8_t* data, std::uint32_t* size) {
  Record("RegQueryValueExA", KeyText(key), valueName);
  RegNode* node = NodeOf(key);
  if (node == nullptr) {
    return win::ErrorInvalidHandle;
  }
  const auto value = node->values.find(valueName == nullptr ? "" : valueName);
  if (value == node->values.end()) {
    return win::ErrorFileNotFound;
  }
  const auto& bytes = value->second.data;
  if (type != nullptr) {
    *type = value->second.type;
  }
  if (size == nullptr) {
    return data == nullptr ? win::ErrorSuccess : win::ErrorInvalidHandle;
  }
  const std::uint32_t capacity = *size;
  *size = static_cast<std::uint32_t>(bytes.size());
  if (data == nullptr) {
    return win::ErrorSuccess;
  }
  if (bytes.size() > capacity) {
    return win::ErrorMoreData;
  }
  if (!bytes.empty()) {
    std::memcpy(data, bytes.data(), bytes.size());
  }
  return win::ErrorSuccess;
}

long RegSetValueExA(win::RegKey key, const char* valueName, win::RegType type,
                    const std::uint8_t* data, std::uint32_t size) {
  Record("RegSetValueExA", KeyText(key), valueName, type,
         std::string(reinterpret_cast<const char*>(data), data == nullptr ? 0 : size));
  win::RegKey root = 0;
  std::vector<std::string> parts;
  RegNode* node = NodeOf(key);
  if (node == nullptr || !Resolve(key, nullptr, root, parts)) {
    return win::ErrorInvalidHandle;
  }
  if (ReadOnly(root)) {
    return win::ErrorAccessDenied;
  }
  node->values[valueName == nullptr ? "" : valueName] =
      fake::RegValue{type, std::vector<std::uint8_t>(data, data + (data == nullptr ? 0 : size))};
  return win::ErrorSuccess;
}

long RegDeleteValueA(win::RegKey key, const char* valueName) {
  Record("RegDeleteValueA", KeyText(key), valueName);
  win::RegKey root = 0;
  std::vector<std::string> parts;
  RegNode* node = NodeOf(key);
  if (node == nullptr || !Resolve(key, nullptr, root, parts)) {
    return win::ErrorInvalidHandle;
  }
  if (ReadOnly(root)) {
    return win::ErrorAccessDenied;
  }
  return node->values.erase(valueName == nullptr ? "" : valueName) == 1 ? win::ErrorSuccess
                                                                        : win::ErrorFileNotFound;
}

long RegDeleteKeyA(win::RegKey key, const char* subKey) {
  Record("RegDeleteKeyA", KeyText(key, subKey));
  win::RegKey root = 0;
  std::vector<std::string> parts;
  if (!Resolve(key, subKey, root, parts)) {
    return win::ErrorInvalidHandle;
  }
  RegNode* node = fake::FindNode(root, parts, false);
  if (node == nullptr) {
    return win::ErrorFileNotFound;
  }
  if (parts.empty() || ReadOnly(root) || !node->keys.empty() ||
      TheWorld().undeletableKeys.count(PathText(root, parts)) != 0) {
    return win::ErrorAccessDenied;
  }
  const std::string name = parts.back();
  parts.pop_back();
  fake::FindNode(root, parts, false)->keys.erase(name);
  return win::ErrorSuccess;
}

long RegEnumKeyExA(win::RegKey key, std::uint32_t index, char* name, std::uint32_t& nameSize) {
  Record("RegEnumKeyExA", KeyText(key), index);
  RegNode* node = NodeOf(key);
  if (node == nullptr) {
    return win::ErrorInvalidHandle;
  }
  if (index >= node->keys.size()) {
    return win::ErrorNoMoreItems;
  }
  auto child = node->keys.begin();
  std::advance(child, index);
  if (child->first.size() + 1 > nameSize) {
    return win::ErrorMoreData;
  }
  CopyBounded(name, child->first.c_str(), nameSize);
  nameSize = static_cast<std::uint32_t>(child->first.size());
  return win::ErrorSuccess;
}

long RegCloseKey(win::RegKey key) {
  Record("RegCloseKey", key);
  if (TheWorld().registry.count(key) != 0) {
    return win::ErrorSuccess;
  }
  return TheWorld().openKeys.erase(key) == 1 ? win::ErrorSuccess : win::ErrorInvalidHandle;
}

} // namespace platform
