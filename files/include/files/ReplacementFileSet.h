#pragma once

#include <string>
#include <vector>

#include "files/Result.h"

namespace flinder {

// New content for several files of one folder, put in place together. The
// files are made whole in a private staging folder inside the folder (so
// every move is a rename within one file system) and Commit moves them all
// in: when a move fails, the files already moved get their old content back,
// or go when they are new, so the folder is as it was. A file that replaces
// one keeps the old one's mode. A name in the folder that is not a regular
// file (a folder, a link, a FIFO) is refused before anything is moved. The
// staging folder, and all in it, goes with this object, or when an
// interrupt ends the process (PendingFiles).
class ReplacementFileSet {
 public:
  // With `flush`, the new files and the folder's names are flushed to the
  // disk, as ReplaceFile does; a web export's files can be made again.
  explicit ReplacementFileSet(std::string folder, bool flush = false);
  ~ReplacementFileSet();
  ReplacementFileSet(const ReplacementFileSet&) = delete;
  ReplacementFileSet& operator=(const ReplacementFileSet&) = delete;

  // Makes the folder when it is missing, and the staging folder in it.
  Result<> Open();
  // Where the file `name` (a file name, no folder) is to be made before
  // Commit; the caller makes it there (ReplaceFile or ReplacementFile).
  std::string StagedPath(const std::string& name) const;
  // Moves every file named into the folder, all or none. The message of a
  // failure names the file that could not be put in place. Once it has
  // run, the staging folder is gone either way; only when an old file
  // could not be put back is it kept, and the message says where.
  Result<> Commit(const std::vector<std::string>& names);

 private:
  Failure Discard(Failure why);

  std::string folder_;
  bool flush_;
  std::string staging_;
};

}  // namespace flinder
