#pragma once

#include <string>

namespace flinder {

// A private folder (mode 0700) for an export's frame files, made in $TMPDIR,
// or /tmp when it is not set. It goes, with everything in it, when the
// object does, or when an interrupt ends the process (PendingFiles). A lock
// held for the object's life marks it in use; making one first removes the
// folders of exports that were killed, never one in use.
class TemporaryFolder {
 public:
  TemporaryFolder();
  ~TemporaryFolder();
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  // Empty when the folder could not be made; Problem() then says why.
  const std::string& Path() const { return path_; }
  const std::string& Problem() const { return problem_; }

 private:
  std::string path_;
  std::string problem_;
  int inUse_ = -1;  // the locked in-use file
};

}  // namespace flinder
