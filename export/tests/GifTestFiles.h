#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "render/Raster.h"

namespace flinder {

// A fresh folder for one test (CTest runs the cases side by side), removed afterwards.
struct ScratchFolder {
  explicit ScratchFolder(const std::string& name);
  ~ScratchFolder() { std::filesystem::remove_all(Folder); }
  std::string File(const std::string& name) const { return (Folder / name).string(); }
  std::filesystem::path Folder;
};

inline std::string Bytes(std::initializer_list<int> values) {
  return {values.begin(), values.end()};
}
inline std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}
inline void WriteWholeFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// What giflib decodes: the images as colours; nothing when giflib refuses the file.
struct DecodedGif {
  std::vector<Raster> Images;
  int GlobalTableSize = 0;
};
std::optional<DecodedGif> DecodeGif(const std::string& bytes);

}  // namespace flinder
