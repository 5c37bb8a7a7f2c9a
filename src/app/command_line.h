#pragma once
// The keywords a command line may name, each running one action.

#include <cstdint>
#include <string>
#include <vector>

// The action of the first argument after the program path, or 0 when there is none or it is no
// keyword. Letter case does not matter; further arguments are not looked at.
std::uint32_t CommandLineAction(const std::vector<std::string>& arguments);
