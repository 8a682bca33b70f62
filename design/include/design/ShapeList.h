#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace flinder {

// The listed design names of a design file's bytes, in file order. The scan
// starts after a line that is exactly "[Shapes]" and stops at the first
// empty line; a line is listed when its last character reads as a number
// above 0, and its name is the line without its last two characters
// ("Stars=1" lists "Stars"). Names that IsValidDesignName refuses are left
// out, since they could never be saved back; `leftOut`, when given, gets them.
std::vector<std::string> ScanShapeList(std::string_view bytes,
                                       std::vector<std::string>* leftOut = nullptr);

}  // namespace flinder
