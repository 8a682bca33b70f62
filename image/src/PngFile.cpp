// libpng's simplified API writes, keeping its own setjmp inside the library;
// the reader uses the full API, whose errors jump back to a setjmp here.
#include "image/PngFile.h"

#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <cstring>
#include <memory>
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

namespace {

// What a read keeps on the heap, made before libpng's setjmp, so that a
// jump back from an error skips no destructor.
struct PngRead {
  png_structp Png = nullptr;
  png_infop Info = nullptr;
  std::string_view In;
  std::vector<png_byte> Pixels;
  std::vector<png_bytep> Rows;
  Raster Picture;
  ~PngRead() { png_destroy_read_struct(&Png, &Info, nullptr); }
};

void ReadFromMemory(png_structp png, png_bytep out, std::size_t length) {
  std::string_view& in = static_cast<PngRead*>(png_get_io_ptr(png))->In;
  if (length > in.size()) png_error(png, "cut short");
  std::memcpy(out, in.data(), length);
  in.remove_prefix(length);
}

[[noreturn]] void JumpBack(png_structp png, png_const_charp) {
  png_longjmp(png, 1);
}

void Silent(png_structp, png_const_charp) {}

}  // namespace

// Read as the other decoders read: 16-bit components scaled to 8 bits as
// they are (not taken for linear light), the colour of a pixel kept whatever
// its alpha, and an index past the palette refused.
std::optional<Raster> DecodePng(std::string_view bytes) {
  auto state = std::make_unique<PngRead>();
  state->In = bytes;
  state->Png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, JumpBack, Silent);
  if (!state->Png || !(state->Info = png_create_info_struct(state->Png))) return std::nullopt;
  png_structp png = state->Png;
  png_infop info = state->Info;
  if (setjmp(png_jmpbuf(png))) return std::nullopt;
  png_set_read_fn(png, state.get(), ReadFromMemory);
  png_set_chunk_malloc_max(png, MaxReaderAllocation);
  png_read_info(png, info);
  const png_uint_32 width = png_get_image_width(png, info),
                    height = png_get_image_height(png, info);
  if (!CheckPictureSize(width, height, bytes.size())) return std::nullopt;
  const bool indexed = png_get_color_type(png, info) == PNG_COLOR_TYPE_PALETTE;
  // Indexes are kept, one a byte, to be checked against the palette; any
  // expansion would turn them into colours.
  if (indexed) {
    png_set_packing(png);
  } else {
    png_set_expand_gray_1_2_4_to_8(png);
    png_set_gray_to_rgb(png);
  }
  png_set_scale_16(png);
  png_set_strip_alpha(png);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  const std::size_t stride = png_get_rowbytes(png, info);
  state->Pixels.resize(stride * height);
  state->Rows.resize(height);
  for (std::size_t y = 0; y < height; ++y) state->Rows[y] = &state->Pixels[y * stride];
  png_read_image(png, state->Rows.data());

  png_colorp palette = nullptr;
  int colours = 0;
  if (indexed && !png_get_PLTE(png, info, &palette, &colours)) return std::nullopt;
  Raster& raster = state->Picture;
  raster = Raster(static_cast<int>(width), static_cast<int>(height));
  const std::vector<png_byte>& in = state->Pixels;
  for (std::size_t y = 0, p = 0; y < height; ++y)
    for (std::size_t x = 0; x < width; ++x, ++p) {
      const png_byte* pixel = &in[y * stride + (indexed ? x : 3 * x)];
      if (!indexed) {
        raster.Pixels[p] = MakeColour(pixel[0], pixel[1], pixel[2]);
      } else if (*pixel < colours) {
        raster.Pixels[p] =
            MakeColour(palette[*pixel].red, palette[*pixel].green, palette[*pixel].blue);
      } else {
        return std::nullopt;
      }
    }
  return std::move(raster);
}

}  // namespace flinder
