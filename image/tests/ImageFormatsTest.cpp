#include <gtest/gtest.h>
#include <tiffio.h>

#include <array>
#include <fstream>

#include "GifTestFiles.h"
#include "image/BmpFile.h"
#include "image/IMGLIB1.h"
#include "image/ImageBytes.h"
#include "image/JpegFile.h"
#include "image/PcxFile.h"
#include "image/TiffFile.h"

namespace flinder {
namespace {

constexpr std::array<const char*, 6> Formats = {"jpg", "gif", "pcx", "bmp", "png", "tif"};

// A smooth blend of `width` x 64 in many colours, with a hard-edged block.
Raster Blend(int width) {
  Raster picture(width, 64);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < width; ++x)
      picture.At(x, y) = x > 20 && x < 30 && y > 10 && y < 40
                             ? MakeColour(250, 250, 250)
                             : MakeColour(x * 255 / width, y * 4, 128 + (x + y) % 32);
  return picture;
}

struct ImageFormatsTest : testing::Test {
  // Writes `picture` as name.ext through the module and reads it back.
  std::optional<Raster> RoundTrip(const Raster& picture, const std::string& ext) {
    IMGLIB1 out, in;
    out.SetCurrentImage(picture);
    out.ImageFileName = Scratch.File("picture." + ext);
    if (!out.SaveImageFile(ext).Ok()) return std::nullopt;
    in.ImageFileName = out.ImageFileName;
    if (!in.LoadImageFile("")) return std::nullopt;
    return in.CurrentImage();
  }
  ScratchFolder Scratch{"formats"};
};

// At most 256 colours come back exactly, in JPEG within its stated error
// (more are quantised once for every 8-bit format: IMGLIB1Test); a picture
// marked as background is written in its colours.
TEST_F(ImageFormatsTest, PicturesComeBackFromEveryFormat) {
  // Noise in 256 colours, whose files span several of the pieces a reader
  // takes from a file at a time: read as from memory, exactly but in JPEG.
  // The width is odd: rows are padded in BMP and PCX.
  Raster noise(1001, 640);
  std::uint32_t random = 1;
  for (ColourValue& pixel : noise.Pixels) {
    random = random * 1664525 + 1013904223;
    const int i = static_cast<int>(random >> 24);
    pixel = MakeColour(i, i * 7 % 256, 255 - i);
  }
  for (const char* ext : Formats) {
    const std::optional<Raster> back = RoundTrip(noise, ext);
    const std::string file = ReadWholeFile(Scratch.File(std::string("picture.") + ext));
    EXPECT_GT(file.size(), 1u << 18) << ext;
    EXPECT_EQ(back, std::string(ext) == "jpg" ? *DecodeJpeg(file) : noise) << ext;
  }
  EXPECT_EQ(ReadWholeFile(Scratch.File("picture.pcx")).substr(66, 2), Bytes({0xEA, 3}));  // even
  // Palette components of 255 are stored in TIFF's 16 bits as 65535.
  TIFF* tiff = TIFFOpen(Scratch.File("picture.tif").c_str(), "r");
  ASSERT_TRUE(tiff);
  std::uint16_t *red, *green, *blue;
  ASSERT_TRUE(TIFFGetField(tiff, TIFFTAG_COLORMAP, &red, &green, &blue));
  EXPECT_EQ(*std::max_element(red, red + 256), 65535);
  TIFFClose(tiff);

  // JPEG at quality 75: a smooth picture within 30 dB's noise and no wild pixel.
  const Raster smooth = Blend(96);
  auto [largest, psnr] = CompareRasters(*RoundTrip(smooth, "jpg"), smooth);
  EXPECT_GT(psnr, 30);
  EXPECT_LT(largest, 64);

  Raster marked = noise;
  for (ColourValue& pixel : marked.Pixels) pixel |= BackgroundMark;
  EXPECT_EQ(RoundTrip(marked, "png"), noise);
}

// Every reader refuses a file cut short anywhere in its picture or header
// and keeps the picture it had. (Bytes after the picture, such as the GIF
// trailer or PNG's end chunk, are not needed to read it.)
TEST_F(ImageFormatsTest, EveryReaderRefusesATruncatedFile) {
  const Raster picture = Blend(40), kept(2, 2, MakeColour(5, 6, 7));
  for (const char* ext : Formats) {
    IMGLIB1 images;
    images.SetCurrentImage(picture);
    images.ImageFileName = Scratch.File(std::string("whole.") + ext);
    ASSERT_TRUE(images.SaveImageFile(ext).Ok());
    const std::string whole = ReadWholeFile(images.ImageFileName);
    for (std::size_t sixteenths = 0; sixteenths < 16; ++sixteenths) {
      const std::size_t length = whole.size() * sixteenths / 16;
      const std::string cut = Scratch.File(std::string("cut.") + ext);
      WriteWholeFile(cut, whole.substr(0, length));
      images.SetCurrentImage(kept);
      images.ImageFileName = cut;
      EXPECT_NE(MessageOf(images.LoadImageFile(ext)), "") << ext << " cut to " << length;
      EXPECT_EQ(images.CurrentImage(), kept);
    }
  }
}

// Oddities that leave the picture whole make the libraries warn, and do not
// stop the readers: a JPEG of a later JFIF revision, and a grey TIFF with a
// private tag that libtiff does not know.
TEST(ImageReaders, TakeFilesTheLibrariesOnlyWarnAbout) {
  const Raster picture(8, 8, MakeColour(40, 90, 160));
  std::string jpeg = EncodeJpeg(picture, 75).value();
  ASSERT_EQ(jpeg.substr(6, 5), std::string("JFIF\0", 5));
  const Result<Raster> usual = DecodeJpeg(jpeg);
  ASSERT_TRUE(usual);
  jpeg[11] = 2;  // the major revision
  EXPECT_EQ(*DecodeJpeg(jpeg), *usual);
  // Application segments passed over across the pieces a file is read in:
  // five of the longest, 320 KiB.
  std::string padded = jpeg.substr(0, 2);
  for (int i = 0; i < 5; ++i) padded += "\xFF\xEF\xFF\xFF" + std::string(65533, 'x');
  padded += jpeg.substr(2);
  const ScratchFolder scratch("jpeg");
  std::ofstream(scratch.File("padded.jpg"), std::ios::binary) << padded;
  const Result<ImageBytes> file = ImageBytes::Open(scratch.File("padded.jpg"), padded.size());
  ASSERT_TRUE(file) << file.Message();
  EXPECT_EQ(*DecodeJpeg(*file), *usual);

  // 2 x 2 grey pixels, uncompressed, in one strip after the directory.
  std::string tiff = Bytes({'I', 'I', 42, 0, 8, 0, 0, 0, 10, 0});
  auto entry = [&tiff](int tag, int type, int value) {
    tiff += Bytes({tag & 0xFF, tag >> 8, type, 0, 1, 0, 0, 0, value & 0xFF, value >> 8, 0, 0});
  };
  constexpr int Short = 3, Long = 4;
  for (int tag : {256, 257}) entry(tag, Short, 2);  // width, height
  entry(258, Short, 8);                             // bits per sample
  entry(259, Short, 1);                             // no compression
  entry(262, Short, 1);                             // 0 is black
  entry(273, Long, 8 + 2 + 10 * 12 + 4);            // where the strip starts
  entry(277, Short, 1);                             // samples per pixel
  entry(278, Short, 2);                             // rows per strip
  entry(279, Long, 4);                              // the strip's length
  entry(65000, Short, 7);                           // private
  tiff += Bytes({0, 0, 0, 0});                      // no next directory
  tiff += Bytes({0, 85, 170, 255});
  const Result<Raster> grey = DecodeTiff(tiff);
  ASSERT_TRUE(grey);
  EXPECT_EQ(grey->Pixels, (std::vector<ColourValue>{0, 0x555555, 0xAAAAAA, 0xFFFFFF}));
  tiff.resize(tiff.size() - 2);  // the strip cut short
  EXPECT_FALSE(DecodeTiff(tiff));
}

// The PCX reader also takes three planes of red, green and blue, and runs
// that go on into the next row.
TEST(PcxFile, ThreePlanesAndRunsAcrossRows) {
  std::string header(128, '\0');
  header[0] = 0x0A;
  header[1] = 5;
  header[2] = 1;
  header[3] = 8;
  header[8] = 1;  // 2 x 2 pixels
  header[10] = 1;
  header[65] = 3;
  header[66] = 2;  // 2 bytes a plane row
  // Rows: red 10 20, green 30 30, blue 40 40; then one run of 6 x 255 for the second row.
  const std::string data = Bytes({10, 20, 0xC2, 30, 0xC2, 40, 0xC6, 255});
  const Result<Raster> picture = DecodePcx(header + data);
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->Pixels,
            (std::vector<ColourValue>{MakeColour(10, 30, 40), MakeColour(20, 30, 40), 0xFFFFFF,
                                      0xFFFFFF}));
  // Written rows hold a pixel or more, in an even number of bytes counted
  // in a 16-bit word.
  for (const int width : {0, 65534, 65535}) {
    const IndexedFrame wide{width, 1, {0}, std::vector<std::uint8_t>(width)};
    EXPECT_EQ(EncodePcx(wide).has_value(), width == 65534) << width;
  }
}

// BMP files as image editors write them: run-length encoded 8-bit ones (runs,
// rows ended early, the end of the picture; damaged codes are refused), and
// 32-bit ones with colour masks.
TEST(BmpFile, RunLengthEncodedAndMaskedPictures) {
  const IndexedFrame frame{4, 2, {0x0000FF, 0x00FF00, 0xFF0000}, {1, 1, 1, 2, 0, 0, 2, 2}};
  std::string file = EncodeBmp8(frame).value();
  file.resize(14 + 40 + 4 * 3);  // the headers and the palette
  file[30] = 1;                  // compression: RLE8
  // The bottom row first: two 0s, two 2s, end of row; then three 1s, one 2, end of picture.
  const std::string codes = Bytes({2, 0, 2, 2, 0, 0, 3, 1, 1, 2, 0, 1});
  const Result<Raster> picture = DecodeBmp(file + codes);
  ASSERT_TRUE(picture);
  EXPECT_EQ(picture->Pixels, (std::vector<ColourValue>{0x00FF00, 0x00FF00, 0x00FF00, 0xFF0000,
                                                       0x0000FF, 0x0000FF, 0xFF0000, 0xFF0000}));
  // A row of three in one absolute run, padded to a whole word.
  std::string three = file;
  three[18] = 3;
  three[22] = 1;
  EXPECT_EQ(DecodeBmp(three + Bytes({0, 3, 1, 2, 0, 0, 0, 1}))->Pixels,
            (std::vector<ColourValue>{0x00FF00, 0xFF0000, 0x0000FF}));
  EXPECT_FALSE(DecodeBmp(file + codes.substr(0, 9)));         // cut short
  EXPECT_EQ(*DecodeBmp(file + codes.substr(0, 10)), *picture);  // no end code after the last pixel
  EXPECT_FALSE(DecodeBmp(file + Bytes({0, 3, 1, 9, 1, 0, 0, 1})));  // an index past the palette
  EXPECT_FALSE(
      EncodeBmp8({1, 1, std::vector<ColourValue>(257), {0}}));  // more than a palette holds

  // 32-bit pixels whose colour masks lie across byte boundaries.
  file = EncodeBmp(Raster(1, 1)).substr(0, 14 + 40);
  file[10] = 14 + 40 + 12;  // the pixels follow the masks
  file[28] = 32;
  file[30] = 3;  // colours by masks
  // Red 0x0FF00000, green 0x000FF000, blue 0x00000FF0; the pixel 0x0AB12C30.
  file += Bytes({0, 0, 0xF0, 0x0F, 0, 0xF0, 0x0F, 0, 0xF0, 0x0F, 0, 0, 0x30, 0x2C, 0xB1, 0x0A});
  const Result<Raster> masked = DecodeBmp(file);
  ASSERT_TRUE(masked);
  EXPECT_EQ(masked->Pixels, std::vector<ColourValue>{MakeColour(0xAB, 0x12, 0xC3)});
}

// Bytes one more than a reading piece, from a file and from memory: taken
// whole, so that the last read brings one byte, and skipped up to the very
// end but not past it, from a window that is partly read.
TEST_F(ImageFormatsTest, ByteReadersTakeEveryByteAndSkipToTheEndButNotPast) {
  std::string bytes((std::size_t{1} << 18) + 1, '\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 % 251);
  const std::string path = Scratch.File("bytes");
  std::ofstream(path, std::ios::binary) << bytes;
  const Result<ImageBytes> inFile = ImageBytes::Open(path, bytes.size());
  ASSERT_TRUE(inFile) << inFile.Message();
  const ImageBytes inMemory(bytes);
  for (const ImageBytes* source : {&*inFile, &inMemory}) {
    SCOPED_TRACE(source->InFile() ? "file" : "memory");
    std::string copy(bytes.size(), '\0');
    ByteReader whole(*source);
    EXPECT_TRUE(whole.CopyTo(copy.data(), copy.size()));
    EXPECT_TRUE(copy == bytes);
    EXPECT_EQ(whole.Next(), -1);
    ByteReader across(*source);
    across.Next();
    EXPECT_TRUE(across.Skip(bytes.size() - 3));
    const std::uint8_t* lastTwo = across.Take(2);  // one unread byte and one beyond the window
    ASSERT_TRUE(lastTwo);
    EXPECT_EQ(lastTwo[1], static_cast<std::uint8_t>(bytes.back()));
    for (const std::uint64_t count : {bytes.size() - 1, bytes.size()}) {
      ByteReader reader(*source);
      EXPECT_EQ(reader.Next(), static_cast<std::uint8_t>(bytes[0]));
      EXPECT_EQ(reader.Skip(count), count < bytes.size()) << count;
      EXPECT_EQ(reader.Next(), -1);
    }
  }
}

}  // namespace
}  // namespace flinder
