#include "design/FileAccess.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace flinder {

bool CanOpenFile(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  std::fclose(file);
  return true;
}

std::optional<std::string> ReadFileBytes(const std::string& path, int* error) {
  auto failed = [error] {
    if (error) *error = errno;
    return std::nullopt;
  };
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return failed();
  struct stat info;
  std::string bytes;
  if (::fstat(fd, &info) == 0 && info.st_size > 0) bytes.reserve(static_cast<size_t>(info.st_size));
  char buffer[1 << 16];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      auto result = failed();
      ::close(fd);
      return result;
    }
    if (n == 0) break;
    bytes.append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  return bytes;
}

namespace {

std::string Reason(const char* what) {
  return std::string(what) + ": " + std::strerror(errno);
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

}  // namespace

std::string WriteFileBytes(const std::string& path, std::string_view bytes) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return Reason("cannot create the file");
  std::string error;
  if (!WriteAll(fd, bytes)) error = Reason("cannot write");
  if (::close(fd) != 0 && error.empty()) error = Reason("cannot close");
  return error;
}

std::string WriteFileAtomically(const std::string& path, std::string_view bytes, bool flush) {
  std::string temporary = path + ".XXXXXX";
  int fd = ::mkstemp(temporary.data());
  if (fd < 0) return Reason("cannot create a temporary file");

  // Keep the permissions of the file being replaced.
  struct stat existing;
  mode_t mode = ::stat(path.c_str(), &existing) == 0 ? existing.st_mode & 07777 : 0644;
  ::fchmod(fd, mode);

  std::string error;
  if (!WriteAll(fd, bytes))
    error = Reason("cannot write");
  else if (flush && ::fsync(fd) != 0)
    error = Reason("cannot flush");
  if (::close(fd) != 0 && error.empty()) error = Reason("cannot close");
  if (error.empty() && std::rename(temporary.c_str(), path.c_str()) != 0)
    error = Reason("cannot replace the file");
  if (!error.empty()) ::unlink(temporary.c_str());
  return error;
}

}  // namespace flinder
