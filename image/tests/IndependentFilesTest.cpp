#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "GifTestFiles.h"
#include "image/IMGLIB1.h"

namespace flinder {
namespace {

// Files that Pillow and ImageMagick wrote in every depth, palette and row
// layout the readers take (made by bench/reader-fixtures) read as Pillow
// reads them, kept beside each as NAME.ppm: exactly, and JPEG within 2 a
// component, as decoders round.
TEST(IndependentFiles, ReadAsPillowReadsThem) {
  int files = 0;
  for (const auto& entry :
       std::filesystem::directory_iterator(FLINDER_IMAGE_TEST_FILES "/independent")) {
    const std::string path = entry.path().string();
    if (entry.path().extension() == ".ppm") continue;
    ++files;
    IMGLIB1 images;
    images.ImageFileName = path;
    if (!images.LoadImageFile("")) {
      ADD_FAILURE() << path << ": " << images.LoadError;
      continue;
    }
    std::istringstream pillow(ReadWholeFile(path + ".ppm"));
    std::string magic;
    int maximum = 0;
    Raster expected;
    pillow >> magic >> expected.Width >> expected.Height >> maximum;
    pillow.get();
    for (char rgb[3]; pillow.read(rgb, 3);)
      expected.Pixels.push_back(
          MakeColour(std::uint8_t(rgb[0]), std::uint8_t(rgb[1]), std::uint8_t(rgb[2])));
    const Raster& picture = images.CurrentImage();
    ASSERT_EQ(std::pair(picture.Width, picture.Height), std::pair(expected.Width, expected.Height))
        << path;
    EXPECT_LE(CompareRasters(picture, expected).first, entry.path().extension() == ".jpg" ? 2 : 0)
        << path;
  }
  EXPECT_GT(files, 40);
}

}  // namespace
}  // namespace flinder
