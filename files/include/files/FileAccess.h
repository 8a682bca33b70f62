#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "files/Result.h"

namespace flinder {

// Whether the file can be opened for reading (it is opened and closed at
// once, without waiting for a writer when it is a FIFO), or why not.
Result<> CanOpenFile(const std::string& path);

// True when both paths name one existing file, through links of either
// kind: the same device and inode.
bool IsSameFile(const std::string& a, const std::string& b);

// The whole file as bytes.
Result<std::string> ReadFileBytes(const std::string& path);

// True when a read failed for want of the file: there is no such file, or
// a folder on the way is missing.
bool IsMissing(const Failure& failure);

// The bytes of a regular file of at most `maxBytes` bytes. A FIFO or a
// device (which could block or never end), a folder and a larger file are
// refused with the reason, at once.
Result<std::string> ReadRegularFile(const std::string& path, std::uint64_t maxBytes);

// Writes `bytes` to `path` as they are, for files nobody needs after a
// crash (an export's frame files).
Result<> WriteFileBytes(const std::string& path, std::string_view bytes);

// Gives `path` the content `bytes` the way a careful program does:
// - a symbolic link is followed, and its final target gets the content;
// - a regular file is replaced by a complete new one: the bytes go to a
//   temporary file beside it (flushed to the disk unless `flush` is false,
//   for files that can be made again), which is renamed over it, so a crash,
//   a kill or a full disk leaves the old file whole. The new file keeps the
//   old one's mode and owner; a new file's mode follows the umask;
// - an existing file that may not be written is refused with the reason;
// - a FIFO or a device is written in place, as is a writable file in a
//   folder where no temporary file can be made.
// Temporary files that an interrupted write left in the folder are removed
// first.
Result<> ReplaceFile(const std::string& path, std::string_view bytes, bool flush = true);

}  // namespace flinder
