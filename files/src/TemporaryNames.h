#pragma once

#include <string>
#include <string_view>

namespace flinder {

// Names of the files and folders a replacement makes beside the files it
// replaces, ".flinder-XXXXXX.tmp": hidden, and short, so that any name the
// file system takes for a file itself works beside it.
bool IsTemporaryName(std::string_view name);
std::string RandomTemporaryName();

}  // namespace flinder
