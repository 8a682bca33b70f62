#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "files/FileAccess.h"
#include "files/Result.h"

namespace flinder {

// A fresh folder for one test (CTest runs the cases side by side), removed
// afterwards. It is open to every user, so that a check run as an
// unprivileged user can work in it.
struct ScratchFolder {
  explicit ScratchFolder(const std::string& name);
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  std::string File(const std::string& name) const { return (Folder / name).string(); }
  std::filesystem::path Folder;
};

// For EXPECT_EXIT: runs `check` as an unprivileged user (nobody, when the
// tests run as root, as CI does: permissions mean nothing to root) and exits
// with 0 when it holds. A failing check says why on stderr.
[[noreturn]] void ExitWithCheckAsUnprivilegedUser(const std::function<bool()>& check);

// What a check compares of an outcome: the failure's message, "" for a success.
template <typename T>
std::string MessageOf(const Result<T>& result) {
  return result ? std::string() : result.Message();
}

// What the file holds; "<none>" when it cannot be read.
inline std::string ContentsOf(const std::string& path) {
  const Result<std::string> bytes = ReadFileBytes(path);
  return bytes ? *bytes : "<none>";
}

}  // namespace flinder
