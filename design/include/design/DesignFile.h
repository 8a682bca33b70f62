#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "design/IniDocument.h"
#include "design/ShapeSettings.h"
#include "files/ProgramFiles.h"
#include "files/Result.h"

namespace flinder {

// The design file: the list of designs in section "Shapes", one section per
// design, the window's placement in section "Window" and the export
// preferences in section "Export". Every operation
// reads the file once; every change replaces it in one careful write
// (ReplaceFile), so an interrupted write leaves the old file whole.
class DesignFile {
 public:
  explicit DesignFile(std::string iniFile = {}) : IniFile(std::move(iniFile)) {}

  std::string IniFile;

  // Every read takes a missing file for an empty one; one that exists but
  // cannot be read fails with a message naming the file.

  // One entry; "" when the section or key is missing.
  Result<std::string> ReadIni(std::string_view section, std::string_view key) const;
  Result<> WriteIni(std::string_view section, std::string_view key, std::string_view value) const;
  // WriteIni for a preference (the window's place, an export choice): one
  // that cannot be kept holds for this session all the same, unreported.
  void WritePreference(std::string_view section, std::string_view key,
                       std::string_view value) const;

  // The listed design names in file order.
  Result<std::vector<std::string>> ListShapes() const;

  // The file side of the list commands. A name that IsValidDesignName
  // refuses, a file that exists but cannot be read and a failed write all
  // leave the file as it was and give the reason. SaveShape and LoadShape
  // switch the preview timer off and on again through the record's observer.
  Result<> SaveShape(const ShapeSettings& settings, std::string_view name) const;
  Result<> LoadShape(ShapeSettings& settings, std::string_view name) const;
  // Lists `oldName` with "0" and saves the record as `newName`, which
  // becomes current once the file holds it.
  Result<> RenameShape(ShapeSettings& settings, std::string_view oldName,
                       std::string_view newName) const;
  // The list entry becomes "0"; the design's section stays.
  Result<> RemoveShape(std::string_view name) const;

  // The whole file, read once for many reads (ReadShape).
  Result<IniDocument> DocumentToRead() const;

  // Refuses `output` as an export's output when it is this file, under its
  // own name or through a link: the export would lose every design.
  Result<> CheckOutput(const std::string& output) const;
  // From now on every change is refused with `reason` and the file is left
  // alone: a session that could not read the file must not write over it.
  void RefuseWrites(std::string reason) { refusedWrites_ = std::move(reason); }

 private:
  // Reads the file, applies `change` and writes it back when `change` says
  // it changed something.
  Result<> Change(const std::function<bool(IniDocument&)>& change) const;
  // The file's text; a missing file is an empty one.
  Result<std::string> ReadText() const;
  Failure CannotRead(const Failure& why) const;

  std::string refusedWrites_;
};

}  // namespace flinder
