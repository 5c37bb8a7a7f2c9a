#pragma once
// Comparing names as Windows does: computer names, registry roots and command-line keywords
// match whatever the letter case. And the system's texts on one line.

#include <string>
#include <string_view>

// True when both texts are the same but for the case of the letters A to Z; other bytes must
// match exactly, whatever the C library's locale.
bool SameTextIgnoringCase(std::string_view a, std::string_view b);
// The text with the letters A to Z in lower case: the same key for every text that
// SameTextIgnoringCase finds the same, for sets and maps of names.
std::string LowerAsciiLetters(std::string_view text);
// The text without the line end and spaces the system's message texts close with.
std::string WithoutLineEnd(std::string text);
