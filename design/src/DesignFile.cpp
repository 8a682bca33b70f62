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

Failure Refused(std::string_view name) {
  return {"The name \"" + std::string(name) + "\" cannot be stored in the design file."};
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

Failure DesignFile::CannotRead(const Failure& why) const {
  return {"Cannot read the design file " + IniFile + ": " + why.Message, why.Errno};
}

Result<std::string> DesignFile::ReadText() const {
  Result<std::string> bytes = ReadRegularFile(IniFile, MaxDesignFileSize);
  if (!bytes && IsMissing(bytes.Error())) return std::string();
  bytes = OnlyText(std::move(bytes));
  if (!bytes) return CannotRead(bytes.Error());
  return bytes;
}

Result<IniDocument> DesignFile::DocumentToRead() const {
  Result<std::string> text = ReadText();
  if (!text) return text.Error();
  return IniDocument(std::move(*text));
}

Result<> DesignFile::CheckOutput(const std::string& output) const {
  if (!IsSameFile(output, IniFile)) return {};
  return Failure{"Cannot write " + output +
                 ": it is the design file in use, which holds the designs."};
}

Result<> DesignFile::Change(const std::function<bool(IniDocument&)>& change) const {
  if (!refusedWrites_.empty()) return Failure{refusedWrites_};
  auto cannotWrite = [this](const Failure& why) {
    return Failure{"Cannot write the design file " + IniFile + ": " + why.Message, why.Errno};
  };
  // Read, change and replace under one lock, so that another program's
  // change in between is never lost.
  Result<LockedFile> locked = OpenLocked(IniFile);
  if (!locked) return cannotWrite(locked.Error());
  const Result<PosixFile>& file = locked->File;
  Result<std::string> bytes =
      file ? OnlyText(ReadRegularFile(file->Fd(), MaxDesignFileSize)) : file.Error();
  // A file that cannot be read is never replaced by one holding only the change.
  if (!bytes) return CannotRead(bytes.Error());
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
  if (!written) return cannotWrite(written.Error());
  return {};
}

Result<std::string> DesignFile::ReadIni(std::string_view section, std::string_view key) const {
  Result<IniDocument> document = DocumentToRead();
  if (!document) return document.Error();
  return document->Read(section, key);
}

Result<> DesignFile::WriteIni(std::string_view section, std::string_view key,
                              std::string_view value) const {
  bool held = true;
  Result<> result =
      Change([&](IniDocument& document) { return held = document.Write(section, key, value); });
  if (!held)
    return Failure{"The entry " + std::string(key) + " cannot be stored in the design file."};
  return result;
}

void DesignFile::WritePreference(std::string_view section, std::string_view key,
                                 std::string_view value) const {
  static_cast<void>(WriteIni(section, key, value));
}

Result<std::vector<std::string>> DesignFile::ListShapes() const {
  Result<std::string> text = ReadText();
  if (!text) return text.Error();
  return ScanShapeList(*text);
}

Result<> DesignFile::SaveShape(const ShapeSettings& settings, std::string_view name) const {
  if (!IsValidDesignName(name)) return Refused(name);
  TimerPause pause(settings);
  return Change([&](IniDocument& document) {
    WriteShape(document, settings, name);
    return true;
  });
}

Result<> DesignFile::LoadShape(ShapeSettings& settings, std::string_view name) const {
  TimerPause pause(settings);
  Result<IniDocument> document = DocumentToRead();
  if (!document) return document.Error();
  ReadShape(*document, settings, name);
  return {};
}

Result<> DesignFile::RenameShape(ShapeSettings& settings, std::string_view oldName,
                                 std::string_view newName) const {
  if (!IsValidDesignName(oldName)) return Refused(oldName);
  if (!IsValidDesignName(newName)) return Refused(newName);
  TimerPause pause(settings);
  // One write for both steps, so the old name is never de-listed without
  // the new one being saved.
  Result<> result = Change([&](IniDocument& document) {
    document.Write("Shapes", oldName, "0");
    WriteShape(document, settings, newName);
    return true;
  });
  if (result) settings.CurrentShape = newName;
  return result;
}

Result<> DesignFile::RemoveShape(std::string_view name) const {
  if (!IsValidDesignName(name)) return Refused(name);
  return WriteIni("Shapes", name, "0");
}

}  // namespace flinder
