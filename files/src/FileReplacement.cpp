#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <cerrno>
#include <utility>

#include "TemporaryNames.h"
#include "files/FileAccess.h"
#include "files/PendingFiles.h"
#include "files/PosixFile.h"
#include "files/ReplacementFile.h"

namespace flinder {
namespace {

constexpr int MaxLinkHops = 40;

std::string FolderOf(const std::string& path) {
  auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The file a chain of symbolic links ends at (which may not exist yet), so
// that the link itself stays a link.
Result<std::string> FollowLinks(std::string path) {
  for (int hop = 0; hop <= MaxLinkHops; ++hop) {
    struct stat info;
    if (::lstat(path.c_str(), &info) != 0) {
      if (errno != ENOENT) break;
      return path;
    }
    if (!S_ISLNK(info.st_mode)) return path;
    std::string link(static_cast<std::size_t>(info.st_size) + 256, '\0');
    ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
    if (n < 0) break;
    link.resize(static_cast<std::size_t>(n));
    path = link.starts_with('/') ? link : FolderOf(path) + "/" + link;
    errno = ELOOP;
  }
  return SystemFailure();
}

// A temporary file is locked for as long as its writer has it open, so an
// unlocked one was left by a write that never finished.
void RemoveIfAbandoned(const std::string& path) {
  PosixFile file(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  struct stat opened, named;
  if (!file.IsOpen() || ::fstat(file.Fd(), &opened) != 0 || !S_ISREG(opened.st_mode) ||
      opened.st_uid != ::geteuid() || ::flock(file.Fd(), LOCK_EX | LOCK_NB) != 0)
    return;
  // Still the same file under that name: not renamed into place meanwhile.
  if (::lstat(path.c_str(), &named) == 0 && named.st_dev == opened.st_dev &&
      named.st_ino == opened.st_ino)
    ::unlink(path.c_str());
}

// Creates a new locked temporary file in `folder`; errno says why not.
bool CreateTemporaryFile(const std::string& folder, mode_t mode, PosixFile& file,
                         std::string& path) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    path = folder + "/" + RandomTemporaryName();
    int fd = -1;
    bool tried = false;
    bool made = PendingFiles::Add(path, [&] {
      tried = true;
      fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
      return fd >= 0;
    });
    if (!made) {
      if (!tried) errno = EINTR;  // the process is being interrupted
      if (errno == EEXIST) continue;
      return false;
    }
    file = PosixFile(fd);
    struct stat info;
    // Another program's clean-up may have taken it before it was locked.
    if (::flock(fd, LOCK_EX) == 0 && ::fstat(fd, &info) == 0 && info.st_nlink > 0) return true;
    PendingFiles::Forget(path, [] { return true; });
    file = PosixFile();
  }
  errno = EEXIST;
  return false;
}

// Closes the file; a late write error that closing reports fails the write.
Result<> Close(PosixFile& file) {
  if (!file.Close()) return SystemFailure();
  return {};
}

// In a sticky folder (such as /tmp) only the file's owner, the folder's
// owner and root may rename over a file, so another user's file, though
// writable, can only be written in place.
bool StickyFolderKeepsTheName(const std::string& folder, const struct stat& file) {
  struct stat info;
  const uid_t user = ::geteuid();
  return ::stat(folder.c_str(), &info) == 0 && (info.st_mode & S_ISVTX) && user != 0 &&
         file.st_uid != user && info.st_uid != user;
}

}  // namespace

ReplacementFile::ReplacementFile(std::string path, bool flush)
    : path_(std::move(path)), flush_(flush) {}

ReplacementFile::~ReplacementFile() {
  if (fd_ >= 0) Discard({});
}

Result<> ReplacementFile::OpenInPlace(const std::string& path, Way way) {
  way_ = way;
  // A FIFO or a device is no copy of anything: nothing to flush.
  if (way == Way::Stream) flush_ = false;
  fd_ = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
  if (fd_ < 0) return SystemFailure();
  return {};
}

Result<> ReplacementFile::Open() {
  struct stat existing;
  bool exists = ::stat(path_.c_str(), &existing) == 0;
  if (!exists && errno != ENOENT) return SystemFailure();
  // Only a regular file is replaced; a FIFO or a device takes the bytes as
  // they come, and a folder refuses them.
  if (exists && !S_ISREG(existing.st_mode)) return OpenInPlace(path_, Way::Stream);

  Result<std::string> target = FollowLinks(path_);
  if (!target) return target.Error();
  target_ = std::move(*target);
  if (exists) {
    PosixFile writable(::open(target_.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY));
    if (!writable.IsOpen()) return SystemFailure();
  }

  folder_ = FolderOf(target_);
  if (exists && StickyFolderKeepsTheName(folder_, existing))
    return OpenInPlace(target_, Way::InPlace);
  ForEachEntry(folder_, IsTemporaryName, RemoveIfAbandoned);
  PosixFile file;
  // A new file's mode is left to the umask; a replacement is private until
  // it has the old file's owner and mode.
  if (!CreateTemporaryFile(folder_, exists ? 0600 : 0666, file, temporary_)) {
    if (exists && (errno == EACCES || errno == EPERM)) return OpenInPlace(target_, Way::InPlace);
    return SystemFailure();
  }
  fd_ = file.Release();
  if (exists) {
    // Only an owner may give the file away; a plain user keeps it as theirs.
    [[maybe_unused]] int given = ::fchown(fd_, existing.st_uid, existing.st_gid);
    if (::fchmod(fd_, existing.st_mode & 07777) != 0) return Discard(SystemFailure());
  }
  return {};
}

bool ReplacementFile::Write(std::string_view bytes) {
  if (!written_) return false;
  if (way_ == Way::InPlace)
    pending_.append(bytes);
  else if (!WriteAll(fd_, bytes))
    written_ = SystemFailure();
  return written_.Ok();
}

// The new size is reserved before a byte of the old content is written
// over, and the file cut to it only once every byte is there.
Result<> ReplacementFile::CommitInPlace() {
  PosixFile file(std::exchange(fd_, -1));
  const auto size = static_cast<off_t>(pending_.size());
  if (size > 0) {
    if (int error = ::posix_fallocate(file.Fd(), 0, size); error != 0) return SystemFailure(error);
  }
  for (std::size_t at = 0; at < pending_.size();) {
    ssize_t n =
        ::pwrite(file.Fd(), pending_.data() + at, pending_.size() - at, static_cast<off_t>(at));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return SystemFailure();
    at += static_cast<std::size_t>(n);
  }
  if (::ftruncate(file.Fd(), size) != 0 || (flush_ && ::fsync(file.Fd()) != 0))
    return SystemFailure();
  return Close(file);
}

Result<> ReplacementFile::Commit() {
  if (!written_) return Discard(written_.Error());
  if (way_ == Way::InPlace) return CommitInPlace();
  PosixFile file(std::exchange(fd_, -1));
  if (way_ == Way::Stream) return Close(file);
  fd_ = file.Release();
  if (flush_ && ::fsync(fd_) != 0) return Discard(SystemFailure());
  // Renamed while still open and locked, so no clean-up takes it first.
  if (!PendingFiles::Forget(temporary_,
                            [&] { return ::rename(temporary_.c_str(), target_.c_str()) == 0; }))
    return Discard(SystemFailure());
  file = PosixFile(std::exchange(fd_, -1));
  if (Result<> closed = Close(file); !closed) return closed;
  if (flush_) FlushFolder(folder_);
  return {};
}

Failure ReplacementFile::Discard(Failure why) {
  PosixFile file(std::exchange(fd_, -1));
  if (way_ == Way::Replace)
    PendingFiles::Forget(temporary_, [this] { return ::unlink(temporary_.c_str()) == 0; });
  return why;
}

Result<> ReplaceFile(const std::string& path, std::string_view bytes, bool flush) {
  ReplacementFile file(path, flush);
  if (Result<> opened = file.Open(); !opened) return opened;
  file.Write(bytes);
  return file.Commit();
}

}  // namespace flinder
