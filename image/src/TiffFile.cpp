#include "image/TiffFile.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

#include "image/ImageLimits.h"
#include "image/NewPicture.h"

namespace flinder {

namespace {

// A file in memory for libtiff's client functions: read from `In`, or
// written into `Out` at any position. libtiff reports its errors and
// warnings here instead of printing them. A file that gives an error is
// refused, and so is one that libtiff tries to read past the end of: it
// only warns when a tag's data is missing (a palette, say), and reads on.
// Other warnings (a private tag libtiff does not know, a text tag not ended
// by a zero) leave the picture whole.
struct MemoryFile {
  const ImageBytes* In = nullptr;
  std::string* Out = nullptr;
  std::uint64_t Position = 0;
  int Errors = 0;
  bool CutShort = false;

  std::uint64_t Size() const { return Out ? Out->size() : In->Size(); }
};

MemoryFile& FileOf(thandle_t handle) {
  return *static_cast<MemoryFile*>(handle);
}

tmsize_t ReadProc(thandle_t handle, void* buffer, tmsize_t size) {
  MemoryFile& file = FileOf(handle);
  if (file.Out || size < 0) return 0;
  const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(
      static_cast<std::uint64_t>(size), file.Size() - std::min(file.Position, file.Size())));
  file.CutShort |= count < static_cast<std::size_t>(size);
  if (!file.In->Read(file.Position, buffer, count)) {
    file.CutShort = true;
    return 0;
  }
  file.Position += count;
  return static_cast<tmsize_t>(count);
}

tmsize_t WriteProc(thandle_t handle, void* buffer, tmsize_t size) {
  MemoryFile& file = FileOf(handle);
  if (!file.Out || size < 0) return -1;
  const auto count = static_cast<std::size_t>(size);
  if (file.Out->size() < file.Position + count) file.Out->resize(file.Position + count);
  std::memcpy(file.Out->data() + file.Position, buffer, count);
  file.Position += count;
  return size;
}

toff_t SeekProc(thandle_t handle, toff_t offset, int whence) {
  MemoryFile& file = FileOf(handle);
  std::uint64_t base = whence == SEEK_CUR ? file.Position : whence == SEEK_END ? file.Size() : 0;
  const std::uint64_t target = base + offset;
  // No seek may move a reader far past its end or make a writer huge.
  if (target > file.Size() + (file.Out ? std::uint64_t{1} << 30 : 0)) {
    file.CutShort = true;
    return static_cast<toff_t>(-1);
  }
  file.Position = static_cast<std::size_t>(target);
  return target;
}

int CloseProc(thandle_t) {
  return 0;
}

toff_t SizeProc(thandle_t handle) {
  return FileOf(handle).Size();
}

int MapProc(thandle_t, void**, toff_t*) {
  return 0;
}

void UnmapProc(thandle_t, void*, toff_t) {}

// Both return 1, handled: nothing is printed.
int CountError(TIFF*, void* file, const char*, const char*, va_list) {
  ++static_cast<MemoryFile*>(file)->Errors;
  return 1;
}

int IgnoreWarning(TIFF*, void*, const char*, const char*, va_list) {
  return 1;
}

// Tables that take the place of libtiff's when it makes RGBA pixels, so that
// they read as other decoders read them: a 16-bit sample cut to its high
// byte (libtiff rounds it), and a colour beside an unassociated alpha kept
// as it is (libtiff multiplies it by the alpha, and the alpha is dropped).
struct RgbaTables {
  std::vector<std::uint8_t> HighBytes = std::vector<std::uint8_t>(65536);
  std::vector<std::uint8_t> KeptColours = std::vector<std::uint8_t>(65536);  // by alpha, colour
  RgbaTables() {
    for (std::size_t i = 0; i < 65536; ++i) {
      HighBytes[i] = static_cast<std::uint8_t>(i >> 8);
      KeptColours[i] = static_cast<std::uint8_t>(i & 0xFF);
    }
  }
};

RgbaTables& ReaderTables() {  // libtiff only reads them, but takes them unconst
  static RgbaTables tables;
  return tables;
}

// The colour of a pixel stored multiplied by its alpha (in the top byte),
// divided again as other readers divide it: rounded down, black where
// nothing shows.
ColourValue Unpremultiplied(ColourValue pixel) {
  const int alpha = BackgroundShowing(pixel);
  if (alpha == 255) return pixel;
  if (alpha == 0) return 0;
  auto divided = [alpha](int component) { return std::min(255, component * 255 / alpha); };
  return MakeColour(divided(RedOf(pixel)), divided(GreenOf(pixel)), divided(BlueOf(pixel)));
}

TIFF* Open(MemoryFile& file, const char* mode) {
  TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
  // Also bounds what libtiff allocates for a reader behind our checks.
  TIFFOpenOptionsSetMaxSingleMemAlloc(options, static_cast<tmsize_t>(MaxReaderAllocation));
  TIFFOpenOptionsSetErrorHandlerExtR(options, CountError, &file);
  TIFFOpenOptionsSetWarningHandlerExtR(options, IgnoreWarning, nullptr);
  TIFF* tiff = TIFFClientOpenExt("memory", mode, &file, ReadProc, WriteProc, SeekProc, CloseProc,
                                 SizeProc, MapProc, UnmapProc, options);
  TIFFOpenOptionsFree(options);
  return tiff;
}

constexpr std::string_view FormatName = "TIFF";

Failure Unreadable() {
  return NotReadable(FormatName);
}

}  // namespace

std::optional<std::string> EncodeTiff(const IndexedFrame& frame, int compression) {
  if (frame.Width <= 0 || frame.Height <= 0 || frame.Palette.empty() ||
      frame.Palette.size() > 256 ||
      frame.Indexes.size() != static_cast<std::size_t>(frame.Width) * frame.Height)
    return std::nullopt;
  std::string out;
  MemoryFile file{nullptr, &out};
  TIFF* tiff = Open(file, "w");
  if (!tiff) return std::nullopt;
  std::vector<std::uint16_t> red(256), green(256), blue(256);
  for (std::size_t i = 0; i < frame.Palette.size(); ++i) {
    // 16-bit components: 255 becomes 65535.
    red[i] = static_cast<std::uint16_t>(RedOf(frame.Palette[i]) * 257);
    green[i] = static_cast<std::uint16_t>(GreenOf(frame.Palette[i]) * 257);
    blue[i] = static_cast<std::uint16_t>(BlueOf(frame.Palette[i]) * 257);
  }
  bool ok = TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(frame.Width)) &&
            TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(frame.Height)) &&
            TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8) &&
            TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 1) &&
            TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_PALETTE) &&
            TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) &&
            TIFFSetField(tiff, TIFFTAG_COMPRESSION, compression) &&
            TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tiff, 0)) &&
            TIFFSetField(tiff, TIFFTAG_COLORMAP, red.data(), green.data(), blue.data());
  std::vector<std::uint8_t> row(static_cast<std::size_t>(frame.Width));
  for (int y = 0; ok && y < frame.Height; ++y) {
    std::copy_n(&frame.Indexes[static_cast<std::size_t>(y) * frame.Width], frame.Width,
                row.begin());
    ok = TIFFWriteScanline(tiff, row.data(), static_cast<std::uint32_t>(y), 0) == 1;
  }
  ok = ok && TIFFWriteDirectory(tiff);
  TIFFClose(tiff);
  if (!ok || file.Errors > 0) return std::nullopt;
  return out;
}

Result<Raster> DecodeTiff(const ImageBytes& bytes) {
  MemoryFile file{&bytes};
  std::unique_ptr<TIFF, void (*)(TIFF*)> tiff(Open(file, "r"), TIFFClose);
  std::uint32_t width = 0, height = 0;
  if (!tiff || !TIFFGetField(tiff.get(), TIFFTAG_IMAGEWIDTH, &width) ||
      !TIFFGetField(tiff.get(), TIFFTAG_IMAGELENGTH, &height))
    return Unreadable();
  if (Result<> fits = CheckPictureSize(width, height, bytes.Size(), FormatName); !fits)
    return fits.Error();
  // A small picture may claim a huge strip or tile, which libtiff would
  // allocate whole.
  const Result<> piece = TIFFIsTiled(tiff.get())
                             ? CheckReaderAllocation("a tile", TIFFTileSize64(tiff.get()))
                             : CheckReaderAllocation("a strip", TIFFStripSize64(tiff.get()));
  if (!piece) return piece.Error();
  // libtiff's pixels hold red, green, blue and alpha from the lowest byte
  // up: a colour value's layout once the alpha is cleared, so they are read
  // straight into the picture.
  Raster raster = NewPicture(static_cast<int>(width), static_cast<int>(height));
  static_assert(sizeof(ColourValue) == sizeof(std::uint32_t));
  char why[1024];
  TIFFRGBAImage image{};
  // Stops at the first damaged strip or tile instead of reading on.
  if (!TIFFRGBAImageOK(tiff.get(), why) || !TIFFRGBAImageBegin(&image, tiff.get(), 1, why))
    return Unreadable();
  image.req_orientation = ORIENTATION_TOPLEFT;
  // libtiff's own tables are put back for it to free.
  std::uint8_t* const libtiffTables[] = {image.Bitdepth16To8, image.UaToAa};
  if (image.Bitdepth16To8) image.Bitdepth16To8 = ReaderTables().HighBytes.data();
  if (image.UaToAa) image.UaToAa = ReaderTables().KeptColours.data();
  const bool read = TIFFRGBAImageGet(&image, reinterpret_cast<std::uint32_t*>(raster.Pixels.data()),
                                     width, height);
  image.Bitdepth16To8 = libtiffTables[0];
  image.UaToAa = libtiffTables[1];
  const bool premultiplied = image.alpha == EXTRASAMPLE_ASSOCALPHA;
  TIFFRGBAImageEnd(&image);
  if (!read || file.Errors > 0 || file.CutShort) return Unreadable();
  if (premultiplied)
    for (ColourValue& pixel : raster.Pixels) pixel = Unpremultiplied(pixel);
  for (ColourValue& pixel : raster.Pixels) pixel &= ~BackgroundMark;
  return raster;
}

}  // namespace flinder
