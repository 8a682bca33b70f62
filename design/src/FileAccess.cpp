#include "design/FileAccess.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

namespace flinder {

bool CanOpenFile(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  std::fclose(file);
  return true;
}

std::optional<std::string> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return bytes;
}

namespace {

std::string Reason(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

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

std::string WriteFileAtomically(const std::string& path, std::string_view bytes) {
  std::string temporary = path + ".XXXXXX";
  int fd = ::mkstemp(temporary.data());
  if (fd < 0) return Reason("cannot create a temporary file");

  // Keep the permissions of the file being replaced.
  struct stat existing;
  mode_t mode = ::stat(path.c_str(), &existing) == 0 ? existing.st_mode & 07777 : 0644;
  ::fchmod(fd, mode);

  std::string error;
  if (!WriteAll(fd, bytes)) error = Reason("cannot write");
  else if (::fsync(fd) != 0) error = Reason("cannot flush");
  if (::close(fd) != 0 && error.empty()) error = Reason("cannot close");
  if (error.empty() && std::rename(temporary.c_str(), path.c_str()) != 0)
    error = Reason("cannot replace the file");
  if (!error.empty()) ::unlink(temporary.c_str());
  return error;
}

}  // namespace flinder
