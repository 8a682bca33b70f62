#include "files/FileAccess.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>

#include "files/PosixFile.h"

namespace flinder {
namespace {

std::string TooLarge(std::uint64_t size, std::uint64_t maxBytes) {
  return "too large: " + std::to_string(size) + " bytes, where at most " +
         std::to_string(maxBytes >> 20) + " MiB are read";
}

// A file that reads more than it claims (a /proc file claims 0 bytes, one
// that grows claims what it had) says only that it passed the limit.
std::string TooLargeToRead(std::uint64_t maxBytes) {
  return "too large: more than " + std::to_string(maxBytes >> 20) + " MiB";
}

}  // namespace

bool ReadAll(int fd, std::string& bytes, std::uint64_t maxBytes) {
  char buffer[1 << 16];
  std::uint64_t left = maxBytes;
  // Whole buffers are asked for, as some files (/proc/self/pagemap) are read
  // in units, and only what fits is kept.
  while (left > 0) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    const auto kept = std::min(static_cast<std::uint64_t>(n), left);
    bytes.append(buffer, static_cast<size_t>(kept));
    left -= kept;
  }
  return true;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

void FlushFolder(const std::string& folder) {
  PosixFile listing(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (listing.IsOpen()) ::fsync(listing.Fd());
}

void ForEachEntry(const std::string& folder,
                  const std::function<bool(std::string_view name)>& wanted,
                  const std::function<void(const std::string& path)>& visit) {
  DIR* listing = ::opendir(folder.c_str());
  if (!listing) return;
  while (const dirent* entry = ::readdir(listing))
    if (wanted(entry->d_name)) visit(folder + "/" + entry->d_name);
  ::closedir(listing);
}

Result<> CanOpenFile(const std::string& path) {
  // Without O_NONBLOCK opening a FIFO waits for a writer.
  PosixFile file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (!file.IsOpen()) return SystemFailure();
  return {};
}

bool IsSameFile(const std::string& a, const std::string& b) {
  struct stat first, second;
  return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
         first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

Result<std::string> ReadFileBytes(const std::string& path) {
  PosixFile file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  std::string bytes;
  struct stat info;
  if (file.IsOpen() && ::fstat(file.Fd(), &info) == 0 && info.st_size > 0)
    bytes.reserve(static_cast<size_t>(info.st_size));
  if (!file.IsOpen() || !ReadAll(file.Fd(), bytes)) return SystemFailure();
  return bytes;
}

bool IsMissing(const Failure& failure) {
  return failure.Errno == ENOENT || failure.Errno == ENOTDIR;
}

Result<PosixFile> OpenToRead(const std::string& path) {
  PosixFile file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (!file.IsOpen()) return SystemFailure();
  return file;
}

Result<std::uint64_t> RegularFileSize(int fd, std::uint64_t maxBytes) {
  struct stat info;
  if (::fstat(fd, &info) != 0) return SystemFailure();
  if (S_ISDIR(info.st_mode)) return SystemFailure(EISDIR);
  if (!S_ISREG(info.st_mode)) return Failure{"not a regular file"};
  const auto size = static_cast<std::uint64_t>(info.st_size);
  if (size > maxBytes) return Failure{TooLarge(size, maxBytes)};
  return size;
}

Result<std::string> ReadRegularFile(int fd, std::uint64_t maxBytes) {
  const Result<std::uint64_t> size = RegularFileSize(fd, maxBytes);
  if (!size) return size.Error();
  std::string bytes;
  bytes.reserve(static_cast<size_t>(*size));
  // The size a file claims is no promise: the bytes read are counted, and
  // one past the limit ends the read (read on its own, so that the bytes
  // kept never pass the limit).
  std::string beyond;
  if (!ReadAll(fd, bytes, maxBytes) || (bytes.size() == maxBytes && !ReadAll(fd, beyond, 1)))
    return SystemFailure();
  if (!beyond.empty()) return Failure{TooLargeToRead(maxBytes)};
  return bytes;
}

Result<std::string> ReadRegularFile(const std::string& path, std::uint64_t maxBytes) {
  Result<PosixFile> file = OpenToRead(path);
  if (!file) return file.Error();
  return ReadRegularFile(file->Fd(), maxBytes);
}

Result<> WriteFileBytes(const std::string& path, std::string_view bytes) {
  PosixFile file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  if (!file.IsOpen() || !WriteAll(file.Fd(), bytes) || !file.Close()) return SystemFailure();
  return {};
}

}  // namespace flinder
