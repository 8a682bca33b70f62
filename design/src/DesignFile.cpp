#include "design/DesignFile.h"

#include "design/DesignName.h"
#include "design/ShapeList.h"
#include "design/ShapeRecord.h"
#include "files/FileAccess.h"
#include "files/FileLock.h"

namespace flinder {
namespace {

// A file holding NUL bytes is no profile (a picture saved over it, say):
// read as one it would list nothing, and a write would destroy it.
Result<std::string> OnlyText(Result<std::string> bytes) {
  if (bytes && bytes->find('\0') != std::string::npos) return Failure{"it is not a text file"};
  return bytes;
}

// The file's text; a missing file is an empty one.
Result<std::string> ReadText(const std::string& path) {
  Result<std::string> bytes = ReadRegularFile(path, MaxDesignFileSize);
  if (!bytes && IsMissing(bytes.Error())) return std::string();
  return OnlyText(std::move(bytes));
}

DesignFileResult Refused(std::string_view name) {
  return {false, "The name \"" + std::string(name) + "\" cannot be stored in the design file."};
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

std::string DesignFile::CannotRead(const std::string& reason) const {
  return "Cannot read the design file " + IniFile + ": " + reason;
}

std::optional<IniDocument> DesignFile::ReadDocument(std::string& reason) const {
  Result<std::string> bytes = ReadText(IniFile);
  if (!bytes) {
    reason = bytes.Message();
    return std::nullopt;
  }
  return IniDocument(std::move(*bytes));
}

IniDocument DesignFile::DocumentToRead() const {
  std::string reason;
  if (auto document = ReadDocument(reason)) return std::move(*document);
  if (ReportFileErrors) throw DesignFileError(CannotRead(reason));
  return IniDocument();
}

std::string DesignFile::WhyUnreadable() const {
  Result<std::string> bytes = ReadText(IniFile);
  return bytes ? std::string() : CannotRead(bytes.Message());
}

std::string DesignFile::WhyNotAnOutput(const std::string& output) const {
  if (!IsSameFile(output, IniFile)) return {};
  return "Cannot write " + output + ": it is the design file in use, which holds the designs.";
}

DesignFileResult DesignFile::Change(const std::function<bool(IniDocument&)>& change) const {
  if (!refusedWrites_.empty()) return {false, refusedWrites_};
  auto cannotWrite = [this](const std::string& reason) -> DesignFileResult {
    return {false, "Cannot write the design file " + IniFile + ": " + reason};
  };
  // Read, change and replace under one lock, so that another program's
  // change in between is never lost.
  Result<LockedFile> locked = OpenLocked(IniFile);
  if (!locked) return cannotWrite(locked.Message());
  const Result<PosixFile>& file = locked->File;
  Result<std::string> bytes =
      file ? OnlyText(ReadRegularFile(file->Fd(), MaxDesignFileSize)) : file.Error();
  // A file that cannot be read is never replaced by one holding only the change.
  if (!bytes) return {false, CannotRead(bytes.Message())};
  IniDocument document(std::move(*bytes));
  Result<> written;
  if (change(document)) {
    std::string changed = document.Bytes();
    // Larger, it could not be read again.
    if (changed.size() > MaxDesignFileSize)
      written = Failure{"it would grow past " + std::to_string(MaxDesignFileSize >> 20) + " MiB"};
    else
      written = ReplaceFile(IniFile, changed);
    if (written) return {};
  }
  // An empty file made only to be locked does not stay.
  if (locked->Made) RemoveIfStillEmpty(*file, IniFile);
  return written ? DesignFileResult{} : cannotWrite(written.Message());
}

std::string DesignFile::ReadIni(std::string_view section, std::string_view key) const {
  return DocumentToRead().Read(section, key);
}

DesignFileResult DesignFile::WriteIni(std::string_view section, std::string_view key,
                                      std::string_view value) const {
  bool held = true;
  DesignFileResult result =
      Change([&](IniDocument& document) { return held = document.Write(section, key, value); });
  if (!held)
    return {false, "The entry " + std::string(key) + " cannot be stored in the design file."};
  return result;
}

std::vector<std::string> DesignFile::ListShapes() const {
  if (!CanOpenFile(IniFile)) return {};
  Result<std::string> bytes = ReadText(IniFile);
  if (bytes) return ScanShapeList(*bytes);
  if (ReportFileErrors) throw DesignFileError(CannotRead(bytes.Message()));
  return {};
}

DesignFileResult DesignFile::SaveShape(const ShapeSettings& settings, std::string_view name) const {
  if (!IsValidDesignName(name)) return Refused(name);
  TimerPause pause(settings);
  return Change([&](IniDocument& document) {
    WriteShape(document, settings, name);
    return true;
  });
}

void DesignFile::LoadShape(ShapeSettings& settings, std::string_view name) const {
  TimerPause pause(settings);
  ReadShape(DocumentToRead(), settings, name);
}

DesignFileResult DesignFile::RenameShape(ShapeSettings& settings, std::string_view oldName,
                                         std::string_view newName) const {
  if (!IsValidDesignName(oldName)) return Refused(oldName);
  if (!IsValidDesignName(newName)) return Refused(newName);
  TimerPause pause(settings);
  // One write for both steps, so the old name is never de-listed without
  // the new one being saved.
  DesignFileResult result = Change([&](IniDocument& document) {
    document.Write("Shapes", oldName, "0");
    WriteShape(document, settings, newName);
    return true;
  });
  if (result) settings.CurrentShape = newName;
  return result;
}

DesignFileResult DesignFile::RemoveShape(std::string_view name) const {
  if (!IsValidDesignName(name)) return Refused(name);
  return WriteIni("Shapes", name, "0");
}

}  // namespace flinder
