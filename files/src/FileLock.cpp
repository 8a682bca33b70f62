#include "files/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <chrono>
#include <thread>

namespace flinder {
namespace {

// A writer holds the lock for one write; one that holds it far longer has
// stopped, and waiting for it would hang this program too.
constexpr auto LongestWait = std::chrono::seconds(10);

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

bool LockWithin(int fd, std::chrono::steady_clock::time_point deadline) {
  for (;;) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno != EWOULDBLOCK && errno != EINTR) return false;
    if (std::chrono::steady_clock::now() >= deadline) {
      errno = EWOULDBLOCK;
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

}  // namespace

Result<LockedFile> OpenLocked(const std::string& path) {
  const auto deadline = std::chrono::steady_clock::now() + LongestWait;
  for (;;) {
    PosixFile file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    const bool made = !file.IsOpen() && errno == ENOENT;
    if (!file.IsOpen() && !made) return LockedFile{SystemFailure()};
    if (made) {
      file = PosixFile(::open(path.c_str(), O_RDONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666));
      if (!file.IsOpen()) return SystemFailure();
    }
    struct stat opened, named;
    if (::fstat(file.Fd(), &opened) != 0 || !S_ISREG(opened.st_mode))
      return LockedFile{std::move(file), made};
    if (!LockWithin(file.Fd(), deadline)) {
      if (errno == EWOULDBLOCK) return Failure{"another program keeps it locked", EWOULDBLOCK};
      return SystemFailure();
    }
    // Still the file under that name, not one replaced while this waited.
    if (::stat(path.c_str(), &named) == 0 && SameFile(opened, named))
      return LockedFile{std::move(file), made};
  }
}

void RemoveIfStillEmpty(const PosixFile& locked, const std::string& path) {
  struct stat opened, named;
  if (::fstat(locked.Fd(), &opened) == 0 && ::stat(path.c_str(), &named) == 0 &&
      SameFile(opened, named) && named.st_size == 0)
    ::unlink(path.c_str());
}

}  // namespace flinder
