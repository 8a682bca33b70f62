#pragma once

#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

#include "files/Result.h"

namespace flinder {

// An open file descriptor, closed on every way out.
class PosixFile {
 public:
  explicit PosixFile(int fd = -1) : fd_(fd) {}
  ~PosixFile() {
    if (fd_ >= 0) ::close(fd_);
  }
  PosixFile(PosixFile&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  PosixFile& operator=(PosixFile&& other) noexcept {
    std::swap(fd_, other.fd_);
    return *this;
  }

  bool IsOpen() const { return fd_ >= 0; }
  // The descriptor, no longer closed by this object.
  int Release() { return std::exchange(fd_, -1); }
  int Fd() const { return fd_; }
  // False with errno set when closing reports a late write error.
  bool Close() {
    int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

// The system's text for an error number; unlike strerror, safe on the
// export's worker threads.
inline std::string ErrorText(int error = errno) {
  return std::generic_category().message(error);
}

// The failure an error number tells: its text, and the number.
inline Failure SystemFailure(int error = errno) {
  return {ErrorText(error), error};
}

// Reads what is left of `fd`, but at most `maxBytes` bytes, onto `bytes`;
// false with errno set on a failure.
bool ReadAll(int fd, std::string& bytes,
             std::uint64_t maxBytes = std::numeric_limits<std::uint64_t>::max());
// Writes all of `bytes`; false with errno set on a failure.
bool WriteAll(int fd, std::string_view bytes);

// Calls `visit` with the path of every entry of `folder` whose name
// `wanted` accepts; nothing when the folder cannot be listed.
void ForEachEntry(const std::string& folder,
                  const std::function<bool(std::string_view name)>& wanted,
                  const std::function<void(const std::string& path)>& visit);

// Flushes the folder's list of names to the disk, so that the renames in it
// outlive a crash; nothing when the folder cannot be opened.
void FlushFolder(const std::string& folder);

// Opens `path` for reading, without waiting for a FIFO's writer
// (IsMissing tells a failure for no such file).
Result<PosixFile> OpenToRead(const std::string& path);
// The size of the file open as `fd` when it is a regular file of at most
// `maxBytes` bytes; a FIFO or a device (which could block or never end), a
// folder and a larger file are refused with the reason.
Result<std::uint64_t> RegularFileSize(int fd, std::uint64_t maxBytes);
// ReadRegularFile for a file already open.
Result<std::string> ReadRegularFile(int fd, std::uint64_t maxBytes);

}  // namespace flinder
