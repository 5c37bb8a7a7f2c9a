#include "common/path.h"

std::string PathInFolder(std::string_view folder, std::string_view name) {
  if (folder.empty()) {
    return {};
  }
  std::string path(folder);
  // A drive's root ("C:\") ends in the separator already.
  if (path.back() != '\\') {
    path += '\\';
  }
  path += name;
  return path;
}
