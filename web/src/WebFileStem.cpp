#include "web/WebFileStem.h"

#include <algorithm>

#include "web/AllFileNames.h"

namespace flinder {

std::string WebFileStem(std::vector<std::string> listed, const std::string& name) {
  if (name.empty()) return SafeFileName("Flinder");
  auto at = std::find(listed.begin(), listed.end(), name);
  if (at == listed.end()) at = listed.insert(listed.end(), name);
  return AllFileStems(listed)[static_cast<std::size_t>(at - listed.begin())];
}

}  // namespace flinder
