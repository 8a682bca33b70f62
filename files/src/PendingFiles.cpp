#include "files/PendingFiles.h"

#include <unistd.h>

#include <filesystem>
#include <mutex>
#include <set>

namespace flinder::PendingFiles {
namespace {

struct Registry {
  std::mutex lock;
  std::set<std::string> files;
  std::set<std::string> folders;
  bool closed = false;
};

// Never destroyed: an interrupt may arrive while static objects are torn down.
Registry& TheRegistry() {
  static Registry* registry = new Registry;
  return *registry;
}

bool Record(std::set<std::string> Registry::*into, const std::string& path,
            const std::function<bool()>& make) {
  // The record's memory is had first: a file made but not recorded for want
  // of it would outlive an interrupt.
  std::set<std::string> made{path};
  auto record = made.extract(made.begin());
  Registry& registry = TheRegistry();
  std::lock_guard hold(registry.lock);
  if (registry.closed || !make()) return false;
  record.value() = path;  // `make` may have filled in the name
  (registry.*into).insert(std::move(record));
  return true;
}

// A file being written into the folder meanwhile makes one pass fail with
// "not empty"; once the folder itself is gone nothing can be made in it.
void RemoveAll(const std::string& folder) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::error_code error;
    std::filesystem::remove_all(folder, error);
    if (!std::filesystem::exists(std::filesystem::symlink_status(folder, error))) return;
  }
}

}  // namespace

bool Add(const std::string& path, const std::function<bool()>& make) {
  return Record(&Registry::files, path, make);
}

bool AddFolder(const std::string& path, const std::function<bool()>& make) {
  return Record(&Registry::folders, path, make);
}

bool Forget(const std::string& path, const std::function<bool()>& finish) {
  Registry& registry = TheRegistry();
  std::lock_guard hold(registry.lock);
  bool done = finish();
  registry.files.erase(path);
  registry.folders.erase(path);
  return done;
}

void RemoveFolder(const std::string& path) {
  Forget(path, [&path] {
    RemoveAll(path);
    return true;
  });
}

void RemoveAllAndExit(int exitCode) {
  Registry& registry = TheRegistry();
  registry.lock.lock();  // held until the end: nothing else is made
  registry.closed = true;
  for (const std::string& file : registry.files) ::unlink(file.c_str());
  for (const std::string& folder : registry.folders) RemoveAll(folder);
  ::_exit(exitCode);
}

}  // namespace flinder::PendingFiles
