// flinder-export: exports the designs of a design file as animated GIFs.
#include <unistd.h>

#include <filesystem>
#include <iostream>

#include "tools/Exporter.h"

int main(int argc, char** argv) {
  std::error_code error;
  auto programFolder = std::filesystem::read_symlink("/proc/self/exe", error).parent_path();
  std::string defaultDesigns = (programFolder / "flinder.ini").string();
  std::vector<std::string> arguments(argv + 1, argv + argc);
  return flinder::RunExporter(arguments, defaultDesigns, std::cout, std::cerr,
                              ::isatty(STDERR_FILENO) != 0);
}
