#include "design/SaveTarget.h"

#include "files/FileNameParts.h"

namespace flinder {

SaveTarget SaveTargetOf(const std::string& chosenName, ExportFormat filterFormat) {
  if (ExtensionOf(chosenName).empty())
    return {WithExtension(chosenName, std::string(FormatExtension(filterFormat))), filterFormat};
  return {chosenName, FormatOfFileName(chosenName).value_or(filterFormat)};
}

}  // namespace flinder
