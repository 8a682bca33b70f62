#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "render/Raster.h"

namespace flinder {

// A fresh folder for one test, removed with everything in it afterwards.
class ScratchFolder {
 public:
  explicit ScratchFolder(const std::string& name);
  ~ScratchFolder();
  std::string File(const std::string& name) const { return (Path / name).string(); }
  const std::filesystem::path& Folder() const { return Path; }

 private:
  std::filesystem::path Path;
};

std::string Bytes(std::initializer_list<int> values);

// A colour table of `entries` entries whose bytes count up from `seed`.
std::string ColourTable(int entries, int seed = 0);

// A GIF file: header with `version`, a screen of 3 x 2 with the packed byte
// and a global table when `table` is given, then `body` and the trailer.
std::string GifFile(int packed, const std::string& table, const std::string& body,
                    const std::string& version = "89a");

// An image of 3 x 2 pixels with the packed byte, code size 8 and one data
// sub-block, as it appears in a frame file.
std::string ImageBlock(int packed = 0x00, const std::string& localTable = {});

std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& bytes);

// What giflib decodes from a GIF file: the images as colours and each frame's
// delay; nothing when giflib refuses the file.
struct DecodedGif {
  std::vector<Raster> Images;
  std::vector<int> Delays;
  int GlobalTableSize = 0;
};
std::optional<DecodedGif> DecodeGif(const std::string& bytes);

}  // namespace flinder
