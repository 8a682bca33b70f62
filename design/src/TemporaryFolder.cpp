#include "design/TemporaryFolder.h"

#include <stdlib.h>

#include <filesystem>

#include "PosixFile.h"
#include "design/PendingFiles.h"

namespace flinder {

TemporaryFolder::TemporaryFolder() {
  const char* variable = std::getenv("TMPDIR");
  const std::string parent = variable && *variable ? variable : "/tmp";
  std::string pattern = parent + "/flinder-XXXXXX";
  // mkdtemp fills in the X's before the registry records the name.
  bool made =
      PendingFiles::AddFolder(pattern, [&pattern] { return ::mkdtemp(pattern.data()) != nullptr; });
  if (made)
    path_ = pattern;
  else
    problem_ = "Cannot make a temporary folder in " + parent + ": " + ErrorText();
}

TemporaryFolder::~TemporaryFolder() {
  if (path_.empty()) return;
  PendingFiles::Forget(path_, [this] {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
    return true;
  });
}

}  // namespace flinder
