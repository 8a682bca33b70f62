#include "GifTestFiles.h"

#include <gif_lib.h>
#include <stdlib.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace flinder {

// A folder of its own: CTest runs the test cases side by side.
ScratchFolder::ScratchFolder(const std::string& name) {
  std::string pattern =
      (std::filesystem::temp_directory_path() / ("flinder-" + name + "-XXXXXX")).string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make a scratch folder");
  Path = pattern;
}

ScratchFolder::~ScratchFolder() {
  std::filesystem::remove_all(Path);
}

std::string Bytes(std::initializer_list<int> values) {
  std::string bytes;
  for (int value : values) bytes += static_cast<char>(value);
  return bytes;
}

std::string ColourTable(int entries, int seed) {
  std::string table;
  for (int i = 0; i < 3 * entries; ++i) table += static_cast<char>(seed + i);
  return table;
}

std::string GifFile(int packed, const std::string& table, const std::string& body,
                    const std::string& version) {
  return "GIF" + version + Bytes({3, 0, 2, 0, packed, 0, 0}) + table + body + Bytes({0x3B});
}

std::string ImageBlock(int packed, const std::string& localTable) {
  return Bytes({0x2C, 0, 0, 0, 0, 3, 0, 2, 0, packed}) + localTable +
         Bytes({0x08, 0x03, 0xAA, 0xBB, 0xCC, 0x00});
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

namespace {

struct Source {
  const std::string* Bytes;
  std::size_t At = 0;
};

int ReadFromString(GifFileType* gif, GifByteType* out, int length) {
  auto* source = static_cast<Source*>(gif->UserData);
  std::size_t count = std::min<std::size_t>(length, source->Bytes->size() - source->At);
  std::memcpy(out, source->Bytes->data() + source->At, count);
  source->At += count;
  return static_cast<int>(count);
}

}  // namespace

std::optional<DecodedGif> DecodeGif(const std::string& bytes) {
  Source source{&bytes};
  int error = 0;
  GifFileType* gif = DGifOpen(&source, ReadFromString, &error);
  if (!gif) return std::nullopt;
  if (DGifSlurp(gif) != GIF_OK) {
    DGifCloseFile(gif, &error);
    return std::nullopt;
  }
  DecodedGif decoded;
  decoded.GlobalTableSize = gif->SColorMap ? gif->SColorMap->ColorCount : 0;
  for (int i = 0; i < gif->ImageCount; ++i) {
    const SavedImage& image = gif->SavedImages[i];
    const ColorMapObject* map =
        image.ImageDesc.ColorMap ? image.ImageDesc.ColorMap : gif->SColorMap;
    if (!map) {
      DGifCloseFile(gif, &error);
      return std::nullopt;
    }
    Raster raster(image.ImageDesc.Width, image.ImageDesc.Height);
    for (std::size_t p = 0; p < raster.Pixels.size(); ++p) {
      const GifColorType& c = map->Colors[image.RasterBits[p]];
      raster.Pixels[p] = MakeColour(c.Red, c.Green, c.Blue);
    }
    decoded.Images.push_back(std::move(raster));
    GraphicsControlBlock control;
    decoded.Delays.push_back(DGifSavedExtensionToGCB(gif, i, &control) == GIF_OK ? control.DelayTime
                                                                                 : -1);
  }
  DGifCloseFile(gif, &error);
  return decoded;
}

}  // namespace flinder
