#include <gtest/gtest.h>

#include <map>
#include <set>

#include "GifTestFiles.h"
#include "image/BmpFile.h"
#include "image/IMGLIB1.h"

namespace flinder {
namespace {

struct IMGLIB1Test : testing::Test {
  // Loads `raster` into the module through a BMP file.
  void Load(const Raster& raster) {
    WriteWholeFile(Scratch.File("source.bmp"), EncodeBmp(raster));
    Images.ImageFileName = Scratch.File("source.bmp");
    ASSERT_TRUE(Images.LoadImageFile("bmp"));
  }
  // The one-frame GIF the module writes of the picture; empty when it fails.
  std::string SavedGif(const Raster& raster) {
    Load(raster);
    Images.ImageFileName = Scratch.File("temp1.gif");
    if (!Images.SaveImageFile("gif").Ok()) return {};
    return ReadWholeFile(Images.ImageFileName);
  }
  // The picture a reader shows of the one-frame GIF; nothing when that is not what it holds.
  static std::optional<Raster> Shown(const std::string& gif) {
    auto frames = ComposeGif(gif);
    if (!frames || frames->size() != 1) return std::nullopt;
    return frames->front();
  }
  ScratchFolder Scratch{"imglib"};
  IMGLIB1 Images;
};

TEST_F(IMGLIB1Test, GifsAreExactUpTo256ColoursAndCloseBeyond) {
  // One colour, and an even blend of 300 colours for which the quantiser alone settles for
  // fewer than 256 entries (ImageFormatsTest: 256 colours come back exactly).
  Raster one(5, 5, 0x10203), blend(8, 300);
  for (int y = 0; y < blend.Height; ++y)
    for (int x = 0; x < blend.Width; ++x)
      blend.At(x, y) = MakeColour(y * 255 / 299, 40 + y * 100 / 299, 200 - y * 150 / 299);
  // Each case: the picture, the table size, the colours used and the largest error.
  const std::tuple<const Raster&, int, std::size_t, int> cases[] = {{one, 2, 1, 0},
                                                                    {blend, 256, 256, 2}};
  for (auto [picture, table, colours, error] : cases) {
    const std::string gif = SavedGif(picture);
    EXPECT_EQ(Images.CurrentImage(), picture);
    const std::optional<Raster> shown = Shown(gif);
    ASSERT_TRUE(shown);
    EXPECT_EQ(GlobalTableSize(gif), table);
    const std::vector<ColourValue>& pixels = shown->Pixels;
    EXPECT_EQ(std::set<ColourValue>(pixels.begin(), pixels.end()).size(), colours);
    EXPECT_LE(CompareRasters(picture, *shown).first, error);
  }

  // Frames sharing an animation palette are written in its colours alone, every source colour
  // as one output colour in all of them (no flicker); how close they come, the export's round
  // trip checks.
  Raster second = blend;
  for (int x = 0; x < 8; ++x) second.At(x, 0) = MakeColour(255, 10 * x, 0);  // colours of its own
  auto palette = std::make_shared<AnimationPalette>();
  palette->AddFrame(blend);
  palette->AddFrame(second);
  palette->Build();
  Images.UseAnimationPalette(palette);
  const std::set<ColourValue> shared(palette->Colours().begin(), palette->Colours().end());
  std::map<ColourValue, ColourValue> output;
  int changed = 0, foreign = 0;
  for (const Raster& frame : {blend, second}) {
    const std::optional<Raster> shown = Shown(SavedGif(frame));
    ASSERT_TRUE(shown);
    for (std::size_t p = 0; p < frame.Pixels.size(); ++p) {
      const ColourValue written = shown->Pixels[p];
      foreign += !shared.count(written);
      changed += output.try_emplace(frame.Pixels[p], written).first->second != written;
    }
  }
  EXPECT_EQ(foreign, 0);
  EXPECT_EQ(changed, 0);
}

// The name's own extension chooses the type, else the argument, else JPEG.
TEST_F(IMGLIB1Test, FileFilterSaveAndLoadTakeTheTypeFromTheExtension) {
  // Each case: the extension, it lower-cased and the type; others leave the type alone.
  const std::tuple<std::string, std::string, int> types[] = {
      {"Gif", "gif", GifImage}, {"0", "0", AnyImageType}, {"abc", "abc", 99}};
  for (auto [extension, lowered, type] : types) {
    int chosen = 99;
    GetFileFilter(extension, chosen);
    EXPECT_EQ(extension, lowered);
    EXPECT_EQ(chosen, type);
  }

  Raster first(4, 3, MakeColour(9, 8, 7)), second(3, 1, MakeColour(4, 5, 6));
  Load(first);
  // Each case: the file name, the argument, the name written and its first bytes.
  const std::tuple<const char*, const char*, const char*, std::string> saves[] = {
      {"UPPER.PNG", "gif", "UPPER.PNG", "\x89PNG"}, {"bare", "tif", "bare.tif", "II*"},
      {"odd.abc", "pcx", "odd.abc", "\x0A\x05"},    {"odd.xyz", "xyz", "odd.xyz", "\xFF\xD8"},
      {"Mixed.Bmp", "jpg", "Mixed.Bmp", "BM"},
  };
  for (auto [name, argument, written, start] : saves) {
    Images.ImageFileName = Scratch.File(name);
    ASSERT_TRUE(Images.SaveImageFile(argument).Ok()) << name;
    EXPECT_EQ(Images.ImageFileName, Scratch.File(written));
    EXPECT_EQ(ReadWholeFile(Scratch.File(written)).substr(0, start.size()), start) << name;
    IMGLIB1 reader;
    reader.ImageFileName = Scratch.File(written);
    EXPECT_EQ(MessageOf(reader.LoadImageFile(argument)), "") << name;
  }
  auto save = [&](const std::string& name, const char* extension) {
    Images.ImageFileName = Scratch.File(name);
    return Images.SaveImageFile(extension);
  };
  EXPECT_EQ(save("no-such-folder/a.gif", "gif").Message(),
            "Cannot write " + Scratch.File("no-such-folder/a.gif") + ": No such file or directory");
  for (auto [name, extension] : {std::pair{"bare", ""}, std::pair{"any.0", "gif"}})
    EXPECT_EQ(save(name, extension).Message(), "File Not Saved!, Please specify a valid file type.");
  IMGLIB1 empty;
  empty.ImageFileName = Scratch.File("empty.gif");
  EXPECT_EQ(empty.SaveImageFile("gif").Message(),
            "Cannot write " + Scratch.File("empty.gif") + ": there is no picture to write");

  // A failed load keeps the previous picture and says why. The name's own extension decides
  // the type; the argument counts only when that is none of the six.
  WriteWholeFile(Scratch.File("broken.bmp"), "BM");
  for (const char* name : {"picture.png", "picture.abc", "second.bmp"})
    WriteWholeFile(Scratch.File(name), EncodeBmp(second));
  const std::tuple<const char*, const char*, std::string> refused[] = {
      {"broken.bmp", "bmp", "not a BMP file of a kind this program reads, or damaged"},
      {"missing.bmp", "bmp", "No such file or directory"},
      {"picture.png", "bmp", "not a PNG file of a kind this program reads, or damaged"},
      {"picture.abc", "jpg", "not a JPEG file of a kind this program reads, or damaged"},
      {"picture.0", "bmp", "the file name names no image type"},
      {"noext", "bmp", "the file name has no extension"},
      {"", "bmp", "no file name was given"}};
  for (auto [name, extension, reason] : refused) {
    Images.ImageFileName = *name ? Scratch.File(name) : "";
    EXPECT_EQ(MessageOf(Images.LoadImageFile(extension)), reason) << name;
  }
  EXPECT_EQ(Images.CurrentImage(), first);
  for (auto [name, extension] : {std::pair{"picture.abc", "bmp"}, std::pair{"second.bmp", "gif"}}) {
    Load(first);
    Images.ImageFileName = Scratch.File(name);
    EXPECT_TRUE(Images.LoadImageFile(extension)) << name;
    EXPECT_EQ(Images.CurrentImage(), second) << name;
  }
  // The extension comes from the file name, not from a dot in a folder name.
  std::filesystem::create_directories(Scratch.Folder / "a.b");
  WriteWholeFile(Scratch.File("a.b/temp1.bmp"), EncodeBmp(second));
  Load(first);
  Images.ImageFileName = Scratch.File("a.b/temp1.bmp");
  EXPECT_TRUE(Images.LoadImageFile("jpg"));
  EXPECT_EQ(Images.CurrentImage(), second);
}

TEST(BmpFileTest, FilesReadBackAndOtherOrDamagedOnesAreRefused) {
  Raster raster;
  for (int width : {1, 2, 3, 4, 5}) {
    raster = Raster(width, 3);
    for (std::size_t p = 0; p < raster.Pixels.size(); ++p)
      raster.Pixels[p] = MakeColour(static_cast<int>(p * 17), static_cast<int>(p * 11), 1);
    std::string file = EncodeBmp(raster);
    EXPECT_EQ(file.size(), 54u + (3 * width + 3) / 4 * 4 * 3u);  // rows padded to 4 bytes
    EXPECT_EQ(*DecodeBmp(file), raster) << "width " << width;
  }

  std::string good = EncodeBmp(raster);
  // 8 bits a pixel, run-length compressed, the oldest header, no width, no "BM".
  const std::pair<int, int> patches[] = {{28, 8}, {30, 1}, {14, 12}, {18, 0}, {0, 'X'}};
  for (auto [at, value] : patches) {
    std::string file = good;
    file[at] = static_cast<char>(value);
    EXPECT_FALSE(DecodeBmp(file)) << "byte " << at;
  }
  good[25] = 0x7F;  // an absurd height
  EXPECT_TRUE(MessageOf(DecodeBmp(good)).starts_with("the picture is too large: "));
}

}  // namespace
}  // namespace flinder
