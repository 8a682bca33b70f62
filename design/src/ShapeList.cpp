#include "design/ShapeList.h"

#include "design/Cp1252.h"
#include "design/DesignName.h"
#include "design/IniDocument.h"
#include "design/ValueText.h"

namespace flinder {

std::vector<std::string> ScanShapeList(std::string_view bytes, std::vector<std::string>* leftOut) {
  std::vector<std::string> names;
  bool inList = false;
  bytes.remove_prefix(TextStart(bytes));
  while (!bytes.empty()) {
    auto newline = bytes.find('\n');
    std::string_view line = bytes.substr(0, newline);
    bytes.remove_prefix(newline == std::string_view::npos ? bytes.size() : newline + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

    if (inList && !line.empty() && ParseNumber(line.substr(line.size() - 1)) > 0 &&
        line.size() > 2) {
      std::string name = FromCp1252(line.substr(0, line.size() - 2));
      if (IsValidDesignName(name))
        names.push_back(std::move(name));
      else if (leftOut)
        leftOut->push_back(std::move(name));
    }
    if (line == "[Shapes]") inList = true;
    if (line.empty()) inList = false;
  }
  return names;
}

}  // namespace flinder
