#pragma once

#include <string_view>

namespace flinder {

// True when `name` can be a design's list key and section name without
// corrupting the design file: not empty; no "=", "[", "]" or control
// character; neither starting with ";" or a blank nor ending with a blank;
// every character in the file's code page (Windows-1252), so that two names
// never meet in one section; and not "Shapes" or "Window" in any case.
bool IsValidDesignName(std::string_view name);

}  // namespace flinder
