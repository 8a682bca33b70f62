#include "files/FileNameParts.h"

namespace flinder {

namespace {

// Position of the dot that starts the extension, or npos.
std::size_t ExtensionDot(const std::string& path) {
  std::size_t slash = path.rfind('/');
  std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  std::size_t dot = path.rfind('.');
  return dot != std::string::npos && dot >= nameStart ? dot : std::string::npos;
}

}  // namespace

std::string ExtensionOf(const std::string& path) {
  std::size_t dot = ExtensionDot(path);
  return dot == std::string::npos ? std::string() : path.substr(dot + 1);
}

std::string FileTitle(const std::string& path) {
  auto slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string WithExtension(const std::string& path, const std::string& extension) {
  std::size_t dot = ExtensionDot(path);
  return (dot == std::string::npos ? path : path.substr(0, dot)) + "." + extension;
}

}  // namespace flinder
