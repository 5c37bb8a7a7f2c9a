// Program entry.

#include "app/program.h"

#include <string>
#include <vector>

int main(int argc, char** argv) {
  return RunProgram(std::vector<std::string>(argv, argv + argc));
}
