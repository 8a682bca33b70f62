#pragma once

#include <string>

namespace flinder {

// The text after the last dot of the file name (the part after the last '/'),
// so that a dot in a folder name never counts; empty when there is none.
std::string ExtensionOf(const std::string& path);

// The file name without its folder: the text after the last "/" or backslash.
std::string FileTitle(const std::string& path);

// `path` with its extension replaced by `extension`, or with "." and
// `extension` appended when the file name has no dot.
std::string WithExtension(const std::string& path, const std::string& extension);

}  // namespace flinder
