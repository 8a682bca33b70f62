#include "design/DesignFile.h"

#include <cerrno>
#include <cstring>

#include "design/DesignName.h"
#include "design/FileAccess.h"
#include "design/ShapeList.h"
#include "design/ShapeRecord.h"

namespace flinder {
namespace {

// Tells a missing file ("") from one that exists but cannot be read (nothing).
std::optional<std::string> ReadBytes(const std::string& path, std::string& reason) {
  int error = 0;
  std::optional<std::string> bytes = ReadFileBytes(path, &error);
  if (bytes) return bytes;
  if (error == ENOENT || error == ENOTDIR) return std::string();
  reason = std::strerror(error);
  return std::nullopt;
}

// The preview timer is off while a design is read or written, and on
// afterwards whatever happens.
class TimerPause {
 public:
  explicit TimerPause(const ShapeSettings& settings) : observer_(settings.Observer()) {
    if (observer_) observer_->TimerEnabledChanged(false);
  }
  ~TimerPause() {
    if (observer_) observer_->TimerEnabledChanged(true);
  }
  TimerPause(const TimerPause&) = delete;
  TimerPause& operator=(const TimerPause&) = delete;

 private:
  SettingsObserver* observer_;
};

}  // namespace

std::optional<IniDocument> DesignFile::ReadDocument(std::string& reason) const {
  auto bytes = ReadBytes(IniFile, reason);
  if (!bytes) return std::nullopt;
  return IniDocument(*bytes);
}

IniDocument DesignFile::DocumentToRead() const {
  std::string reason;
  if (auto document = ReadDocument(reason)) return std::move(*document);
  if (ReportFileErrors) throw DesignFileError("cannot read " + IniFile + ": " + reason);
  return IniDocument();
}

void DesignFile::WriteDocument(const IniDocument& document) const {
  WriteFileAtomically(IniFile, document.Bytes());  // failures stay unreported
}

std::string DesignFile::ReadIni(std::string_view section, std::string_view key) const {
  return DocumentToRead().Read(section, key);
}

void DesignFile::WriteIni(std::string_view section, std::string_view key,
                          std::string_view value) const {
  std::string reason;
  auto document = ReadDocument(reason);
  // A file that cannot be read is never replaced by one holding only this entry.
  if (document && document->Write(section, key, value)) WriteDocument(*document);
}

std::vector<std::string> DesignFile::ListShapes() const {
  if (!CanOpenFile(IniFile)) return {};
  std::string reason;
  auto bytes = ReadBytes(IniFile, reason);
  if (bytes) return ScanShapeList(*bytes);
  if (ReportFileErrors) throw DesignFileError("cannot read " + IniFile + ": " + reason);
  return {};
}

bool DesignFile::SaveShape(const ShapeSettings& settings, std::string_view name) const {
  if (!IsValidDesignName(name)) return false;
  TimerPause pause(settings);
  std::string reason;
  if (auto document = ReadDocument(reason)) {
    WriteShape(*document, settings, name);
    WriteDocument(*document);
  }
  return true;
}

void DesignFile::LoadShape(ShapeSettings& settings, std::string_view name) const {
  TimerPause pause(settings);
  ReadShape(DocumentToRead(), settings, name);
}

bool DesignFile::RenameShape(ShapeSettings& settings, std::string_view oldName,
                             std::string_view newName) const {
  if (!IsValidDesignName(oldName) || !IsValidDesignName(newName)) return false;
  TimerPause pause(settings);
  std::string reason;
  auto document = ReadDocument(reason);
  settings.CurrentShape = newName;
  // One write for both steps, so the old name is never de-listed without
  // the new one being saved.
  if (document) {
    document->Write("Shapes", oldName, "0");
    WriteShape(*document, settings, newName);
    WriteDocument(*document);
  }
  return true;
}

bool DesignFile::RemoveShape(std::string_view name) const {
  if (!IsValidDesignName(name)) return false;
  WriteIni("Shapes", name, "0");
  return true;
}

}  // namespace flinder
