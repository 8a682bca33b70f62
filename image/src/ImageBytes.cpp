#include "image/ImageBytes.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "files/FileAccess.h"

namespace flinder {

namespace {

// A file is read a piece of this size at a time: large enough that the
// calls cost nothing beside the decoding, small enough to stay in the cache.
constexpr std::size_t PieceSize = std::size_t{1} << 18;

}  // namespace

std::optional<ImageBytes> ImageBytes::Open(const std::string& path, std::uint64_t maxBytes,
                                           std::string& reason) {
  ReadFailure failure;
  PosixFile file = OpenToRead(path, failure);
  std::optional<std::uint64_t> size;
  if (file.IsOpen()) size = RegularFileSize(file.Fd(), maxBytes, failure);
  if (!size) {
    reason = failure.Reason;
    return std::nullopt;
  }
  return ImageBytes(std::move(file), *size);
}

bool ImageBytes::Read(std::uint64_t offset, void* out, std::size_t count) const {
  if (offset > Length || count > Length - offset) return false;
  if (!InFile()) {
    std::memcpy(out, MemoryBytes.data() + offset, count);
    return true;
  }
  auto* to = static_cast<char*>(out);
  while (count > 0) {
    const ssize_t n = ::pread(File.Fd(), to, count, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    to += n;
    offset += static_cast<std::uint64_t>(n);
    count -= static_cast<std::size_t>(n);
  }
  return true;
}

ByteReader::ByteReader(const ImageBytes& bytes, std::uint64_t from, std::uint64_t end)
    : Bytes(bytes), End(std::min(end, bytes.Size())) {
  WindowAt = std::min(from, End);
  if (!bytes.InFile()) Window = bytes.Memory().substr(WindowAt, End - WindowAt);
}

bool ByteReader::Refill(std::size_t needed) {
  const std::size_t unread = Window.size() - At;
  const std::uint64_t readFrom = WindowAt + Window.size();
  if (!Bytes.InFile() || needed - unread > End - readFrom) return false;
  const auto piece = static_cast<std::size_t>(
      std::min<std::uint64_t>(std::max(needed, PieceSize), End - WindowAt - At));
  // A file's window lies in the buffer, which growing may move.
  const std::size_t unreadAt = unread > 0 ? Window.data() + At - Buffer.data() : 0;
  if (Buffer.size() < piece) Buffer.resize(piece);
  if (unread > 0) std::memmove(Buffer.data(), Buffer.data() + unreadAt, unread);
  if (!Bytes.Read(readFrom, Buffer.data() + unread, piece - unread)) return false;
  WindowAt += At;
  At = 0;
  Window = std::string_view(Buffer.data(), piece);
  return true;
}

std::string_view ByteReader::TakeSome(std::size_t most) {
  if (At == Window.size() && !Refill(1)) return {};
  const std::string_view some = Window.substr(At, most);
  At += some.size();
  return some;
}

bool ByteReader::CopyTo(void* out, std::size_t count) {
  auto* to = static_cast<char*>(out);
  while (count > 0) {
    const std::string_view some = TakeSome(count);
    if (some.empty()) return false;
    std::memcpy(to, some.data(), some.size());
    to += some.size();
    count -= some.size();
  }
  return true;
}

bool ByteReader::Skip(std::uint64_t count) {
  const std::uint64_t unread = Window.size() - At;
  if (count <= unread) {
    At += static_cast<std::size_t>(count);
    return true;
  }
  const std::uint64_t from = WindowAt + At;
  const bool inside = count <= End - from;
  WindowAt = inside ? from + count : End;
  At = 0;
  Window = Bytes.InFile() ? std::string_view() : Bytes.Memory().substr(WindowAt, End - WindowAt);
  return inside;
}

}  // namespace flinder
