#pragma once

#include <string_view>

namespace flinder {

// True when the design file can hold `name` as a list key and a section
// name, so that it saves, lists, loads and removes: not empty; no "=" and no
// control character; not starting with "[" or ";" (a header or a comment);
// no blank at either end (reading drops them); every character in the
// file's code page (Windows-1252), so that two names never meet in one
// section; and not "Shapes", "Window" or "Export" (the file's own
// sections) in any case.
bool IsValidDesignName(std::string_view name);

}  // namespace flinder
