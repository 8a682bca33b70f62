#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "files/PosixFile.h"
#include "files/Result.h"

namespace flinder {

// The bytes of an image file as a reader takes them: in pieces from any
// place, out of memory or straight from an open file, so that a large file
// is never held whole beside its picture.
class ImageBytes {
 public:
  // Bytes in memory, which must outlive this object.
  ImageBytes(std::string_view memory) : memoryBytes_(memory), length_(memory.size()) {}
  ImageBytes(const std::string& memory) : ImageBytes(std::string_view(memory)) {}

  // The regular file at `path` of at most `maxBytes` bytes, left open. A
  // FIFO or a device (which could block or never end), a folder and a
  // larger file are refused at once, with the reason.
  static Result<ImageBytes> Open(const std::string& path, std::uint64_t maxBytes);

  std::uint64_t Size() const { return length_; }
  bool InFile() const { return file_.IsOpen(); }
  // All the bytes when they are in memory; empty for a file.
  std::string_view Memory() const { return memoryBytes_; }

  // Copies `count` bytes from `offset` into `out`; false when the file ends
  // first (it may have shrunk since it was opened) or cannot be read.
  bool Read(std::uint64_t offset, void* out, std::size_t count) const;

 private:
  ImageBytes(PosixFile file, std::uint64_t length) : length_(length), file_(std::move(file)) {}

  std::string_view memoryBytes_;
  std::uint64_t length_ = 0;
  PosixFile file_;
};

// Takes an ImageBytes's bytes in order from a place on, up to an end:
// straight out of memory, or through a buffer read from the file a large
// piece at a time.
class ByteReader {
 public:
  ByteReader(const ImageBytes& bytes, std::uint64_t from, std::uint64_t end);
  explicit ByteReader(const ImageBytes& bytes, std::uint64_t from = 0)
      : ByteReader(bytes, from, bytes.Size()) {}

  // The next byte, or -1 at the end.
  int Next() {
    if (at_ == window_.size() && !Refill(1)) return -1;
    return static_cast<std::uint8_t>(window_[at_++]);
  }
  // The next `count` bytes together; null when fewer are left.
  const std::uint8_t* Take(std::size_t count) {
    if (window_.size() - at_ < count && !Refill(count)) return nullptr;
    const auto* taken = reinterpret_cast<const std::uint8_t*>(window_.data() + at_);
    at_ += count;
    return taken;
  }
  // As many of the next bytes as are at hand, at most `most`; empty only at
  // the end.
  std::string_view TakeSome(std::size_t most);
  // Copies the next `count` bytes into `out`; false when fewer are left.
  bool CopyTo(void* out, std::size_t count);
  // Passes over `count` bytes; false, and at the end, when fewer are left.
  bool Skip(std::uint64_t count);

 private:
  // Makes at least `needed` unread bytes ready; false when the end (or a
  // failed read) comes first.
  bool Refill(std::size_t needed);

  const ImageBytes& bytes_;
  std::uint64_t windowAt_;  // where Window starts in the file
  std::uint64_t end_;
  std::string_view window_;
  std::size_t at_ = 0;
  std::vector<char> buffer_;
};

}  // namespace flinder
