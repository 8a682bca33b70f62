#include "export/PictureMimeType.h"

#include <algorithm>
#include <cctype>

#include "files/FileNameParts.h"

namespace flinder {

std::string PictureMimeType(const std::string& fileName) {
  std::string extension = ExtensionOf(fileName);
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (extension == "gif") return "image/gif";
  if (extension == "webp") return "image/webp";
  // An animated PNG is a PNG to every program that reads only its first frame.
  if (extension == "png" || extension == "apng") return "image/png";
  if (extension == "svg") return "image/svg+xml";
  return "application/octet-stream";
}

}  // namespace flinder
