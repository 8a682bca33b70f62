// Writes the sample design file: make_sample_designs designs/flinder.ini
#include <cstdio>
#include <string>

#include "SampleDesigns.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DESIGN-FILE\n", argv[0]);
    return 2;
  }
  const flinder::Result<> written = flinder::WriteSampleDesigns(argv[1]);
  if (written) return 0;
  std::fprintf(stderr, "%s\n", written.Message().c_str());
  return 1;
}
