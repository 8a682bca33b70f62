#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "design/IniDocument.h"
#include "design/ShapeSettings.h"
#include "files/ProgramFiles.h"

namespace flinder {

// A design file that exists but cannot be read, once ReportFileErrors is set.
class DesignFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The outcome of a change to the design file: done, or the reason it was not.
struct DesignFileResult {
  bool Ok = true;
  std::string Reason;

  explicit operator bool() const { return Ok; }
};

// The design file: the list of designs in section "Shapes", one section per
// design, the window's placement in section "Window" and the export
// preferences in section "Export". Every operation
// reads the file once; every change replaces it in one careful write
// (ReplaceFile), so an interrupted write leaves the old file whole.
class DesignFile {
 public:
  explicit DesignFile(std::string iniFile = {}) : IniFile(std::move(iniFile)) {}

  std::string IniFile;
  // While false a read error reads as a missing file; once set it throws
  // DesignFileError.
  bool ReportFileErrors = false;

  // One entry; "" when the file, section or key is missing.
  std::string ReadIni(std::string_view section, std::string_view key) const;
  DesignFileResult WriteIni(std::string_view section, std::string_view key,
                            std::string_view value) const;

  // The listed design names in file order; none when the file cannot be opened.
  std::vector<std::string> ListShapes() const;

  // The file side of the list commands. A name that IsValidDesignName
  // refuses, a file that exists but cannot be read and a failed write all
  // leave the file as it was and give the reason. SaveShape and LoadShape
  // switch the preview timer off and on again through the record's observer.
  DesignFileResult SaveShape(const ShapeSettings& settings, std::string_view name) const;
  void LoadShape(ShapeSettings& settings, std::string_view name) const;
  // Lists `oldName` with "0" and saves the record as `newName`, which
  // becomes current once the file holds it.
  DesignFileResult RenameShape(ShapeSettings& settings, std::string_view oldName,
                               std::string_view newName) const;
  // The list entry becomes "0"; the design's section stays.
  DesignFileResult RemoveShape(std::string_view name) const;

  // The whole file, read once for many reads (ReadShape): unreadable reads
  // as empty, or throws once ReportFileErrors is set.
  IniDocument DocumentToRead() const;

  // Why a file that exists cannot be read, as a message naming the file;
  // empty when it can be read or does not exist.
  std::string WhyUnreadable() const;
  // Why `output` may not be written by an export: it is this file, under
  // its own name or through a link, and would lose every design. Empty
  // for any other file.
  std::string WhyNotAnOutput(const std::string& output) const;
  // From now on every change is refused with `reason` and the file is left
  // alone: a session that could not read the file must not write over it.
  void RefuseWrites(std::string reason) { refusedWrites_ = std::move(reason); }

 private:
  // The file as it is (empty when missing), or nothing when it exists but
  // cannot be read; `reason` then says why.
  std::optional<IniDocument> ReadDocument(std::string& reason) const;
  // Reads the file, applies `change` and writes it back when `change` says
  // it changed something.
  DesignFileResult Change(const std::function<bool(IniDocument&)>& change) const;
  std::string CannotRead(const std::string& reason) const;

  std::string refusedWrites_;
};

}  // namespace flinder
