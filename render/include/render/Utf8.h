#pragma once

#include <string>
#include <string_view>

namespace flinder {

// The code points of UTF-8 text; a malformed or truncated sequence becomes
// one U+FFFD per offending byte, so a bad caption still shows where it broke.
std::u32string DecodeUtf8(std::string_view text);

}  // namespace flinder
