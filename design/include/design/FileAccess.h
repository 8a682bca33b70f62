#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace flinder {

// True when the file can be opened for reading (it is opened and closed at once).
bool CanOpenFile(const std::string& path);

// The whole file as bytes, or nothing when it cannot be read.
std::optional<std::string> ReadFileBytes(const std::string& path);

// Replaces `path` with `bytes` so that a crash, a kill or a full disk never
// leaves a half-written file: the bytes go to a temporary file in the same
// folder, are flushed, and the temporary file is renamed over `path`.
// Returns an empty string on success, otherwise the reason it failed; the
// old file is then untouched and no temporary file is left.
std::string WriteFileAtomically(const std::string& path, std::string_view bytes);

}  // namespace flinder
