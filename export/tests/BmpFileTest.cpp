#include <gtest/gtest.h>

#include "GifTestFiles.h"
#include "export/BmpFile.h"

namespace flinder {
namespace {

Raster Sample(int width, int height) {
  Raster raster(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) raster.At(x, y) = MakeColour(10 * x, 20 * y, 3 * x + y + 1);
  return raster;
}

// A hand-made 32-bit file, stored top-down.
std::string TopDown32() {
  std::string file = "BM" + Bytes({0, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0});
  file += Bytes({40, 0, 0, 0, 2, 0, 0, 0, 0xFE, 0xFF, 0xFF, 0xFF, 1, 0, 32, 0});
  file += std::string(24, '\0');
  file += Bytes({1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 0});
  return file;
}

TEST(BmpFileTest, WrittenFilesReadBackWithRowPadding) {
  for (int width : {1, 2, 3, 4, 5}) {
    Raster raster = Sample(width, 3);
    std::string file = EncodeBmp(raster);
    int stride = (3 * width + 3) / 4 * 4;
    EXPECT_EQ(file.size(), 54u + stride * 3u);
    EXPECT_EQ(DecodeBmp(file), raster) << "width " << width;
  }
}

TEST(BmpFileTest, ThirtyTwoBitTopDownFilesAreRead) {
  std::optional<Raster> raster = DecodeBmp(TopDown32());
  ASSERT_TRUE(raster);
  EXPECT_EQ(raster->Width, 2);
  EXPECT_EQ(raster->Height, 2);
  EXPECT_EQ(raster->At(0, 0), MakeColour(3, 2, 1));
  EXPECT_EQ(raster->At(1, 1), MakeColour(12, 11, 10));
}

TEST(BmpFileTest, OtherAndDamagedFilesAreRefused) {
  std::string good = EncodeBmp(Sample(3, 2));
  for (std::size_t length = 0; length < good.size(); ++length)
    EXPECT_FALSE(DecodeBmp(good.substr(0, length))) << "length " << length;

  auto patched = [&](std::size_t at, int value) {
    std::string file = good;
    file[at] = static_cast<char>(value);
    return file;
  };
  EXPECT_FALSE(DecodeBmp(patched(28, 8)));     // 8 bits per pixel
  EXPECT_FALSE(DecodeBmp(patched(30, 1)));     // run-length compressed
  EXPECT_FALSE(DecodeBmp(patched(14, 12)));    // the oldest header
  EXPECT_FALSE(DecodeBmp(patched(18, 0)));     // no width
  EXPECT_FALSE(DecodeBmp(patched(25, 0x7F)));  // absurd height
  EXPECT_FALSE(DecodeBmp(patched(0, 'X')));
}

}  // namespace
}  // namespace flinder
