#include "cli_commands.h"

#include <iostream>

int main(int argc, char** argv) {
  return zr7::RunCli(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
