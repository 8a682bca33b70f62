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

Result<ImageBytes> ImageBytes::Open(const std::string& path, std::uint64_t maxBytes) {
  Result<PosixFile> file = OpenToRead(path);
  if (!file) return file.Error();
  const Result<std::uint64_t> size = RegularFileSize(file->Fd(), maxBytes);
  if (!size) return size.Error();
  return ImageBytes(std::move(*file), *size);
}

bool ImageBytes::Read(std::uint64_t offset, void* out, std::size_t count) const {
  if (offset > length_ || count > length_ - offset) return false;
  if (!InFile()) {
    std::memcpy(out, memoryBytes_.data() + offset, count);
    return true;
  }
  auto* to = static_cast<char*>(out);
  while (count > 0) {
    const ssize_t n = ::pread(file_.Fd(), to, count, static_cast<off_t>(offset));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    to += n;
    offset += static_cast<std::uint64_t>(n);
    count -= static_cast<std::size_t>(n);
  }
  return true;
}

ByteReader::ByteReader(const ImageBytes& bytes, std::uint64_t from, std::uint64_t end)
    : bytes_(bytes), end_(std::min(end, bytes.Size())) {
  windowAt_ = std::min(from, end_);
  if (!bytes.InFile()) window_ = bytes.Memory().substr(windowAt_, end_ - windowAt_);
}

bool ByteReader::Refill(std::size_t needed) {
  const std::size_t unread = window_.size() - at_;
  const std::uint64_t readFrom = windowAt_ + window_.size();
  if (!bytes_.InFile() || needed - unread > end_ - readFrom) return false;
  const auto piece = static_cast<std::size_t>(
      std::min<std::uint64_t>(std::max(needed, PieceSize), end_ - windowAt_ - at_));
  // A file's window lies in the buffer, which growing may move.
  const std::size_t unreadAt = unread > 0 ? window_.data() + at_ - buffer_.data() : 0;
  if (buffer_.size() < piece) buffer_.resize(piece);
  if (unread > 0) std::memmove(buffer_.data(), buffer_.data() + unreadAt, unread);
  if (!bytes_.Read(readFrom, buffer_.data() + unread, piece - unread)) return false;
  windowAt_ += at_;
  at_ = 0;
  window_ = std::string_view(buffer_.data(), piece);
  return true;
}

std::string_view ByteReader::TakeSome(std::size_t most) {
  if (at_ == window_.size() && !Refill(1)) return {};
  const std::string_view some = window_.substr(at_, most);
  at_ += some.size();
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
  const std::uint64_t unread = window_.size() - at_;
  if (count <= unread) {
    at_ += static_cast<std::size_t>(count);
    return true;
  }
  const std::uint64_t from = windowAt_ + at_;
  const bool inside = count <= end_ - from;
  windowAt_ = inside ? from + count : end_;
  at_ = 0;
  window_ =
      bytes_.InFile() ? std::string_view() : bytes_.Memory().substr(windowAt_, end_ - windowAt_);
  return inside;
}

}  // namespace flinder
