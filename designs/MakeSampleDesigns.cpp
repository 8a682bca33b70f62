// Writes the sample design file: make_sample_designs designs/flinder.ini
#include <cstdio>
#include <exception>

#include "SampleDesigns.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DESIGN-FILE\n", argv[0]);
    return 2;
  }
  try {
    if (flinder::WriteSampleDesigns(argv[1])) return 0;
    std::fprintf(stderr, "cannot write %s\n", argv[1]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", e.what());
  }
  return 1;
}
