#pragma once

#include <string>

#include "files/PosixFile.h"
#include "files/FileAccess.h"

namespace flinder {

// Opens the file at `path` for a read, change and replace, holding an
// exclusive lock (flock) on it, so that two programs changing one file take
// turns and neither loses the other's change. A replacement puts a new file
// under the name; a waiter that gets the lock of the file that was replaced
// opens the name again. A missing file is made empty first, so that there is
// something to lock. A file that is not regular is opened without a lock
// (the read refuses it); `made` tells whether this call made the file. When
// nothing can be opened, `failure` says why, with Missing set when that
// stops a write rather than a read: the file could not be made, or another
// program keeps it locked.
PosixFile OpenLocked(const std::string& path, ReadFailure& failure, bool& made);

// Removes the file open as `locked` when `path` still names it and it is
// empty: one OpenLocked made that nothing was written to.
void RemoveIfStillEmpty(const PosixFile& locked, const std::string& path);

}  // namespace flinder
