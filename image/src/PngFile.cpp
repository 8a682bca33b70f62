// libpng's simplified API writes, keeping its own setjmp inside the library;
// the reader uses the full API, whose errors jump back to a setjmp here.
#include "image/PngFile.h"

#include <png.h>

#include <algorithm>
#include <array>
#include <csetjmp>
#include <cstdint>
#include <memory>
#include <vector>

#include "image/ImageLimits.h"
#include "image/NewPicture.h"

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
  explicit PngRead(const ImageBytes& bytes) : In(bytes) {}
  png_structp Png = nullptr;
  png_infop Info = nullptr;
  ByteReader In;
  std::vector<png_bytep> Rows;
  Raster Picture;
  ~PngRead() { png_destroy_read_struct(&Png, &Info, nullptr); }
};

void ReadPiece(png_structp png, png_bytep out, std::size_t length) {
  if (!static_cast<PngRead*>(png_get_io_ptr(png))->In.CopyTo(out, length))
    png_error(png, "cut short");
}

[[noreturn]] void JumpBack(png_structp png, png_const_charp) {
  png_longjmp(png, 1);
}

void Silent(png_structp, png_const_charp) {}

constexpr std::string_view FormatName = "PNG";

Failure Unreadable() {
  return NotReadable(FormatName);
}

}  // namespace

// Read as the other decoders read: 16-bit components cut to their high byte
// (not taken for linear light, nor rounded), the colour of a pixel kept whatever
// its alpha, and an index past the palette refused. libpng writes each row
// straight into the picture: colours as red, green, blue and a zero byte,
// which is a colour value's layout, or palette indexes, one a byte, that
// are then turned into colours in place.
Result<Raster> DecodePng(const ImageBytes& bytes) {
  auto state = std::make_unique<PngRead>(bytes);
  state->Png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, JumpBack, Silent);
  if (!state->Png || !(state->Info = png_create_info_struct(state->Png))) return Unreadable();
  png_structp png = state->Png;
  png_infop info = state->Info;
  if (setjmp(png_jmpbuf(png))) return Unreadable();
  png_set_read_fn(png, state.get(), ReadPiece);
  png_set_chunk_malloc_max(png, MaxReaderAllocation);
  png_read_info(png, info);
  const png_uint_32 width = png_get_image_width(png, info),
                    height = png_get_image_height(png, info);
  if (Result<> fits = CheckPictureSize(width, height, bytes.Size(), FormatName); !fits)
    return fits.Error();
  const bool indexed = png_get_color_type(png, info) == PNG_COLOR_TYPE_PALETTE;
  if (indexed) {
    png_set_packing(png);
  } else {
    png_set_expand_gray_1_2_4_to_8(png);
    png_set_gray_to_rgb(png);
    png_set_filler(png, 0, PNG_FILLER_AFTER);
  }
  png_set_strip_16(png);
  png_set_strip_alpha(png);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != (indexed ? 1 : sizeof(ColourValue)) * width)
    return Unreadable();
  Raster& raster = state->Picture;
  raster = NewPicture(static_cast<int>(width), static_cast<int>(height));
  state->Rows.resize(height);
  for (std::size_t y = 0; y < height; ++y)
    state->Rows[y] = reinterpret_cast<png_bytep>(&raster.At(0, static_cast<int>(y)));
  png_read_image(png, state->Rows.data());
  if (!indexed) return std::move(raster);

  png_colorp palette = nullptr;
  int count = 0;
  if (!png_get_PLTE(png, info, &palette, &count)) return Unreadable();
  constexpr ColourValue NoColour = -1;  // an index past the palette
  std::array<ColourValue, 256> colours;
  colours.fill(NoColour);
  for (int i = 0; i < std::min(count, 256); ++i)
    colours[i] = MakeColour(palette[i].red, palette[i].green, palette[i].blue);
  for (png_bytep row : state->Rows) {
    // From the right: a colour covers only indexes already turned.
    auto* out = reinterpret_cast<ColourValue*>(row);
    ColourValue seen = 0;
    for (std::size_t x = width; x-- > 0;) seen |= out[x] = colours[row[x]];
    if (seen == NoColour) return Unreadable();
  }
  return std::move(raster);
}

}  // namespace flinder
