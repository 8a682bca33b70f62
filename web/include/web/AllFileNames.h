#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace flinder {

// The longest file name, before its extension, that --all gives a design:
// room is left for an extension and the suffixes below within the 255 bytes
// a file name may have.
constexpr std::size_t MaxFileStemBytes = 200;

// A design name as a file name: characters that are not letters, digits,
// blanks, dots, dashes or underscores become "_", and a leading dot too.
std::string SafeFileName(const std::string& name);

// The file names (without extension) that --all gives the designs `names`,
// in the same order. A name that is a safe file name as it stands keeps it.
// Any other is made safe and cut to MaxFileStemBytes at a character's start;
// it keeps that form unless another design would have it too, and then ends
// in "-" and eight hexadecimal digits worked out from its own name. The
// rare changed names whose files are still alike get "-2", "-3" ... in the
// order of the design names. So a design's file depends on the set of names, never on their order.
std::vector<std::string> AllFileStems(const std::vector<std::string>& names);

}  // namespace flinder
