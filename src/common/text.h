#pragma once
// Comparing names as Windows does: computer names, registry roots and command-line keywords
// match whatever the letter case.

#include <string_view>

// True when both texts are the same but for the case of the letters A to Z; other bytes must
// match exactly, whatever the C library's locale.
bool SameTextIgnoringCase(std::string_view a, std::string_view b);
