#pragma once

#include <string>

namespace flinder {

// A name as one line of text: control characters as \xNN, the rest (UTF-8
// included) as it is.
std::string Printable(const std::string& name);

}  // namespace flinder
