#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace flinder {

// True when the file can be opened for reading (it is opened and closed at once).
bool CanOpenFile(const std::string& path);

// The whole file as bytes, or nothing when it cannot be read; `error`, when
// given, then holds the errno value that says why.
std::optional<std::string> ReadFileBytes(const std::string& path, int* error = nullptr);

// Writes `bytes` to `path` as they are, for files nobody needs after a
// crash (an export's frame files). Returns an empty string on success,
// otherwise the reason it failed.
std::string WriteFileBytes(const std::string& path, std::string_view bytes);

// Replaces `path` with `bytes` so that a crash, a kill or a full disk never
// leaves a half-written file: the bytes go to a temporary file in the same
// folder, are flushed to the disk (unless `flush` is false, for files that
// can be made again), and the temporary file is renamed over `path`.
// Returns an empty string on success, otherwise the reason it failed; the
// old file is then untouched and no temporary file is left.
std::string WriteFileAtomically(const std::string& path, std::string_view bytes, bool flush = true);

}  // namespace flinder
