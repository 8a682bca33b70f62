#pragma once

#include <string>
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

// What the user is told when IsValidDesignName refuses a name.
extern const char* const DesignNameRules;

// Names are compared and capitalised with the design file's own letter case
// (Windows-1252, Cp1252.h), so that the list, the file and the name check
// agree on which names are the same. All take and give UTF-8.

// The first letter in upper case, the rest in lower case: "ßeta" stays
// "ßeta", "éCLAIR" becomes "Éclair".
std::string CapitalisedName(std::string_view name);
// True when the names differ at most in letter case.
bool SameDesignName(std::string_view a, std::string_view b);
// The list's order: alphabetical by code page byte, letter case ignored;
// negative, zero or positive.
int CompareDesignNames(std::string_view a, std::string_view b);

}  // namespace flinder
