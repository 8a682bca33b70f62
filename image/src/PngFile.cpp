// libpng's simplified API keeps its own setjmp inside the library and
// reports failures as results, with no message on stderr.
#include "image/PngFile.h"

#include <png.h>

#include <cstdint>
#include <vector>

#include "image/ImageLimits.h"

namespace flinder {

std::optional<std::string> EncodePng(const IndexedFrame& frame) {
  if (frame.Palette.empty() || frame.Palette.size() > 256 ||
      frame.Indexes.size() != static_cast<std::size_t>(frame.Width) * frame.Height)
    return std::nullopt;
  std::vector<std::uint8_t> colours;
  for (ColourValue colour : frame.Palette)
    colours.insert(colours.end(), {static_cast<std::uint8_t>(RedOf(colour)),
                                   static_cast<std::uint8_t>(GreenOf(colour)),
                                   static_cast<std::uint8_t>(BlueOf(colour))});
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(frame.Width);
  image.height = static_cast<png_uint_32>(frame.Height);
  image.format = PNG_FORMAT_RGB_COLORMAP;
  image.colormap_entries = static_cast<png_uint_32>(frame.Palette.size());
  png_alloc_size_t size = 0;
  if (!png_image_write_to_memory(&image, nullptr, &size, 0, frame.Indexes.data(), 0,
                                 colours.data()))
    return std::nullopt;
  std::string out(size, '\0');
  if (!png_image_write_to_memory(&image, out.data(), &size, 0, frame.Indexes.data(), 0,
                                 colours.data()))
    return std::nullopt;
  out.resize(size);
  return out;
}

std::optional<Raster> DecodePng(std::string_view bytes) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return std::nullopt;
  if (!WithinPictureLimits(image.width, image.height, bytes.size())) {
    png_image_free(&image);
    return std::nullopt;
  }
  image.format = PNG_FORMAT_RGB;
  std::vector<std::uint8_t> rgb(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return std::nullopt;
  Raster raster(static_cast<int>(image.width), static_cast<int>(image.height));
  for (std::size_t p = 0; p < raster.Pixels.size(); ++p)
    raster.Pixels[p] = MakeColour(rgb[3 * p], rgb[3 * p + 1], rgb[3 * p + 2]);
  return raster;
}

}  // namespace flinder
