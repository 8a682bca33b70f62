#pragma once

#include <string>

namespace flinder {

// The MIME type of an exported picture, told by its file name's extension
// (letter case ignored); application/octet-stream for one no export writes.
std::string PictureMimeType(const std::string& fileName);

}  // namespace flinder
