#include "files/ProgramFiles.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "files/FileAccess.h"

namespace flinder {
namespace fs = std::filesystem;

DesignFilePlaces PlacesOfThisProgram() {
  auto variable = [](const char* name) {
    const char* value = std::getenv(name);
    return std::string(value ? value : "");
  };
  std::error_code error;
  return {fs::read_symlink("/proc/self/exe", error).parent_path().string(),
          variable("XDG_CONFIG_HOME"), variable("HOME")};
}

std::string DesignFilePath(const DesignFilePlaces& places) {
  const fs::path beside = fs::path(places.ProgramFolder) / "flinder.ini";
  std::error_code error;
  const bool installed = fs::exists(InstalledSamplesPath(places.ProgramFolder), error);
  if (fs::exists(fs::symlink_status(beside, error)) ||
      (!installed && ::access(places.ProgramFolder.c_str(), W_OK) == 0))
    return beside.string();
  // Relative folders are ignored, as other desktop programs ignore them: they
  // would put the file wherever the program happens to be started.
  fs::path config;
  if (fs::path(places.ConfigHome).is_absolute())
    config = places.ConfigHome;
  else if (fs::path(places.Home).is_absolute())
    config = fs::path(places.Home) / ".config";
  else
    return {};
  return (config / "flinder" / "flinder.ini").string();
}

std::string InstalledSamplesPath(const std::string& programFolder) {
  return (fs::path(programFolder) / FLINDER_BIN_TO_DATA / "flinder" / "flinder.ini")
      .lexically_normal()
      .string();
}

std::string ManualPath(const std::string& programFolder) {
  const fs::path beside = fs::path(programFolder) / "manual.html";
  std::error_code error;
  if (fs::exists(beside, error)) return beside.string();
  return (fs::path(programFolder) / FLINDER_BIN_TO_DATA / "doc" / "flinder" / "manual.html")
      .lexically_normal()
      .string();
}

PreparedDesignFile PrepareDesignFile(const DesignFilePlaces& places) {
  const std::string path = DesignFilePath(places);
  if (path.empty())
    return {path,
            "There is no folder for the design file: neither XDG_CONFIG_HOME nor HOME is an "
            "absolute path."};
  std::error_code error;
  if (fs::exists(fs::symlink_status(path, error))) return {path, {}};
  const fs::path folder = fs::path(path).parent_path();
  if (folder == fs::path(places.ProgramFolder)) return {path, {}};  // the program's own
  if (fs::create_directories(folder, error); error)
    return {path, "Cannot make the folder " + folder.string() +
                      " for the design file: " + error.message()};
  // Without installed samples the file is made by the first change.
  if (const auto samples =
          ReadRegularFile(InstalledSamplesPath(places.ProgramFolder), MaxDesignFileSize))
    if (Result<> written = ReplaceFile(path, *samples); !written)
      return {path, "Cannot write the design file " + path + ": " + written.Message()};
  return {path, {}};
}

}  // namespace flinder
