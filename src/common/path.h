#pragma once
// Full paths of files in a folder that Windows named, such as its system folder.

#include <string>
#include <string_view>

// The folder, one backslash and the name. Empty when the folder is empty: the bare name would have
// Windows search for the file, which is what a full path is there to prevent.
std::string PathInFolder(std::string_view folder, std::string_view name);
