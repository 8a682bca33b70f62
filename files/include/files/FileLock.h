#pragma once

#include <string>

#include "files/PosixFile.h"
#include "files/FileAccess.h"

namespace flinder {

// What OpenLocked opened: the file, locked, and whether this call made it.
// An existing file that cannot be opened is passed on as the failure its
// read gives, for the read to report.
struct LockedFile {
  Result<PosixFile> File;
  bool Made = false;
};

// Opens the file at `path` for a read, change and replace, holding an
// exclusive lock (flock) on it, so that two programs changing one file take
// turns and neither loses the other's change. A replacement puts a new file
// under the name; a waiter that gets the lock of the file that was replaced
// opens the name again. A missing file is made empty first, so that there is
// something to lock. A file that is not regular is opened without a lock
// (the read refuses it). The failure says why no write can follow: the file
// could not be made, or another program keeps it locked.
Result<LockedFile> OpenLocked(const std::string& path);

// Removes the file open as `locked` when `path` still names it and it is
// empty: one OpenLocked made that nothing was written to.
void RemoveIfStillEmpty(const PosixFile& locked, const std::string& path);

}  // namespace flinder
