#include "files/TemporaryFolder.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <filesystem>

#include "files/PendingFiles.h"
#include "files/PosixFile.h"

namespace flinder {
namespace {

constexpr std::string_view FolderPrefix = "flinder-";
constexpr std::size_t FolderRandomLength = 6;  // mkdtemp's XXXXXX
// Held locked by the export that owns the folder, for as long as it runs.
constexpr const char* InUseFile = "/.in-use";

bool IsFolderName(std::string_view name) {
  return name.size() == FolderPrefix.size() + FolderRandomLength && name.starts_with(FolderPrefix);
}

// A folder whose in-use file nobody holds was left by an export that was
// killed. One without that file is not an export's (or not yet), and stays.
void RemoveIfAbandoned(const std::string& folder) {
  struct stat info;
  if (::lstat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != ::geteuid())
    return;
  PosixFile inUse(::open((folder + InUseFile).c_str(),
                         O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (!inUse.IsOpen() || ::flock(inUse.Fd(), LOCK_EX | LOCK_NB) != 0) return;
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}

}  // namespace

TemporaryFolder::TemporaryFolder() {
  const char* variable = std::getenv("TMPDIR");
  const std::string parent = variable && *variable ? variable : "/tmp";
  ForEachEntry(parent, IsFolderName, RemoveIfAbandoned);
  for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
    std::string pattern = parent + "/" + std::string(FolderPrefix) + "XXXXXX";
    // mkdtemp fills in the X's before the registry records the name.
    if (!PendingFiles::AddFolder(pattern,
                                 [&pattern] { return ::mkdtemp(pattern.data()) != nullptr; })) {
      problem_ = "Cannot make a temporary folder in " + parent + ": " + ErrorText();
      return;
    }
    PosixFile inUse(
        ::open((pattern + InUseFile).c_str(), O_RDONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    struct stat info;
    // Another export's sweep may have taken it before it was locked.
    if (inUse.IsOpen() && ::flock(inUse.Fd(), LOCK_EX) == 0 && ::fstat(inUse.Fd(), &info) == 0 &&
        info.st_nlink > 0) {
      path_ = pattern;
      inUse_ = inUse.Release();
      return;
    }
    PendingFiles::RemoveFolder(pattern);
  }
  problem_ = "Cannot make a temporary folder in " + parent + ": " + ErrorText();
}

TemporaryFolder::~TemporaryFolder() {
  if (path_.empty()) return;
  PendingFiles::RemoveFolder(path_);
  ::close(inUse_);
}

}  // namespace flinder
