#include "cli_commands.h"

#include <iostream>

#ifdef _WIN32
#include <windows.h>

// Windows hands the arguments over as wide text; the commands take UTF-8,
// and the console is told that UTF-8 comes back.
int wmain(int argc, wchar_t** argv) {
  SetConsoleOutputCP(CP_UTF8);
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, nullptr, 0, nullptr, nullptr);
    std::string argument(size > 0 ? size - 1 : 0, '\0');
    WideCharToMultiByte(CP_UTF8, 0, argv[i], -1, argument.data(), size, nullptr, nullptr);
    arguments.push_back(std::move(argument));
  }
  return zr7::RunCli(arguments, std::cout, std::cerr);
}
#else
int main(int argc, char** argv) {
  return zr7::RunCli(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
#endif
