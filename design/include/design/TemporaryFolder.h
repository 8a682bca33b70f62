#pragma once

#include <string>

namespace flinder {

// A private folder (mode 0700) for an export's frame files, made in $TMPDIR,
// or /tmp when it is not set. It goes, with everything in it, when the
// object does, or when an interrupt ends the process (PendingFiles).
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
};

}  // namespace flinder
