// image-pixels IMAGE [OUTPUT.rgb]
//
// Reads IMAGE with the image module, as the program reads it, and writes its
// pixels as red, green and blue bytes, row by row from the top, then prints
// "size WxH". bench/format-check compares them with other decoders'. Without
// OUTPUT it only reads, so that bench/reader-speed times and weighs the read
// alone.
#include <cstdio>
#include <string>

#include "files/FileAccess.h"
#include "image/IMGLIB1.h"

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: image-pixels IMAGE [OUTPUT.rgb]\n");
    return 2;
  }
  flinder::IMGLIB1 images;
  images.ImageFileName = argv[1];
  if (flinder::Result<> read = images.LoadImageFile(""); !read) {
    std::fprintf(stderr, "image-pixels: cannot read %s: %s\n", argv[1], read.Message().c_str());
    return 1;
  }
  const flinder::Raster& picture = images.CurrentImage();
  if (argc == 3) {
    std::string rgb;
    rgb.reserve(picture.Pixels.size() * 3);
    for (flinder::ColourValue pixel : picture.Pixels)
      for (int channel : {flinder::RedOf(pixel), flinder::GreenOf(pixel), flinder::BlueOf(pixel)})
        rgb += static_cast<char>(channel);
    if (flinder::Result<> written = flinder::WriteFileBytes(argv[2], rgb); !written) {
      std::fprintf(stderr, "image-pixels: cannot write %s: %s\n", argv[2],
                   written.Message().c_str());
      return 1;
    }
  }
  std::printf("size %dx%d\n", picture.Width, picture.Height);
  return 0;
}
