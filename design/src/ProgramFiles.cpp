#include "design/ProgramFiles.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "design/DesignFile.h"
#include "design/FileAccess.h"

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
  // Only an absolute XDG_CONFIG_HOME counts; a relative one is ignored, as
  // other desktop programs ignore it.
  const fs::path config = fs::path(places.ConfigHome).is_absolute()
                              ? fs::path(places.ConfigHome)
                              : fs::path(places.Home) / ".config";
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

std::string PrepareDesignFile(const DesignFilePlaces& places) {
  const std::string path = DesignFilePath(places);
  std::error_code error;
  if (fs::exists(fs::symlink_status(path, error))) return path;
  const fs::path folder = fs::path(path).parent_path();
  if (folder == fs::path(places.ProgramFolder)) return path;  // the program's own: made by nobody
  ReadFailure failure;
  const auto samples =
      ReadRegularFile(InstalledSamplesPath(places.ProgramFolder), MaxDesignFileSize, failure);
  fs::create_directories(folder, error);
  if (samples && !error) ReplaceFile(path, *samples);
  return path;
}

}  // namespace flinder
