#pragma once

#include <string>

#include "design/ExportChoices.h"

namespace flinder {

// What an export writes for a name chosen in the save dialog under the
// filter of one format.
struct SaveTarget {
  std::string FileName;
  ExportFormat Format;
};

// A name without an extension gets the filter's; the name's own extension
// decides the format when it names one, the filter otherwise (so "spin.txt"
// under the WebP filter is a WebP file of that name).
SaveTarget SaveTargetOf(const std::string& chosenName, ExportFormat filterFormat);

}  // namespace flinder
