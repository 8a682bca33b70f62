#include <gif_lib.h>
#include <gtest/gtest.h>

#include <span>

#include "GifTestFiles.h"
#include "gif/AnimatedGIF.h"

namespace flinder {
namespace {

constexpr int FrameWidth = 6, FrameHeight = 5;

// A one-frame GIF file as giflib writes it, and the picture it holds.
struct FrameFile {
  int Colours = 2;  // a power of two
  bool Local = false, Interlaced = false;
  bool Control = false;  // a graphic control block that leaves the frame in place
  int Transparent = NO_TRANSPARENT_COLOR;
  std::string Comment = {};  // written before the image when not empty

  int Index(int x, int y) const { return (x * 7 + y * 3) % Colours; }
  GifColorType Colour(int i) const {
    return {static_cast<GifByteType>(i * 37 + Colours), static_cast<GifByteType>(i * 11),
            static_cast<GifByteType>(i)};
  }

  // What a browser shows of the frame on a clear screen.
  Raster Picture() const {
    Raster picture(FrameWidth, FrameHeight, ClearPixel);
    for (int y = 0; y < FrameHeight; ++y)
      for (int x = 0; x < FrameWidth; ++x)
        if (const GifColorType c = Colour(Index(x, y)); Index(x, y) != Transparent)
          picture.At(x, y) = MakeColour(c.Red, c.Green, c.Blue);
    return picture;
  }

  // giflib's calls fail only on a programming error, which the merged file then shows.
  std::string File() const {
    std::string out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, Append, &error);
    std::vector<GifColorType> colours;
    for (int i = 0; i < Colours; ++i) colours.push_back(Colour(i));
    ColorMapObject* map = GifMakeMapObject(Colours, colours.data());
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, FrameWidth, FrameHeight, 8, 0, Local ? nullptr : map);
    if (!Comment.empty()) EGifPutComment(gif, Comment.c_str());
    if (Control || Transparent != NO_TRANSPARENT_COLOR) {
      const GraphicsControlBlock control{DISPOSE_DO_NOT, false, 99, Transparent};
      GifByteType block[4];
      EGifGCBToExtension(&control, block);
      EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, block);
    }
    EGifPutImageDesc(gif, 0, 0, FrameWidth, FrameHeight, Interlaced, Local ? map : nullptr);
    // Interlaced, the rows go every eighth from 0, every eighth from 4, every
    // fourth from 2, then every second from 1.
    const int passes[][2] = {{0, 8}, {4, 8}, {2, 4}, {1, 2}}, plain[][2] = {{0, 1}};
    for (const auto& [first, step] :
         Interlaced ? std::span<const int[2]>(passes) : std::span<const int[2]>(plain))
      for (int y = first; y < FrameHeight; y += step)
        for (int x = 0; x < FrameWidth; ++x)
          EGifPutPixel(gif, static_cast<GifPixelType>(Index(x, y)));
    EXPECT_EQ(EGifCloseFile(gif, &error), GIF_OK);
    GifFreeMapObject(map);
    return out;
  }

 private:
  static int Append(GifFileType* gif, const GifByteType* bytes, int length) {
    static_cast<std::string*>(gif->UserData)->append(reinterpret_cast<const char*>(bytes), length);
    return length;
  }
};

// Merges the frame files with a delay of 7 hundredths: the merged file, or why not.
Result<std::string> Merge(AnimatedGIF& merger, const std::vector<std::string>& frames) {
  merger.ResetMergeState(FrameWidth, FrameHeight, 7);
  std::string file;
  for (const std::string& frame : frames) {
    merger.MergeFrame(frame);
    file += merger.TakeMerged();
  }
  Result<std::string> rest = merger.FinishMerged();
  if (!rest) return rest;
  return file + *rest;
}

// Frames with a global palette or only a local one, of 2 to 256 colours,
// interlaced, with comments and control blocks of their own, show as they
// were written, at the merge's delay. A frame that was left in place is
// cleared for the next, so that the page shows through its transparent pixels.
TEST(AnimatedGIF, MergedFramesShowTheirOwnPicturesAndPalettesAtTheMergeDelay) {
  const FrameFile frames[] = {
      {.Colours = 2, .Comment = "first"},
      {.Colours = 4, .Local = true, .Control = true},
      {.Colours = 256, .Interlaced = true, .Transparent = 3, .Comment = "third"},
      {.Colours = 16, .Interlaced = true, .Control = true}};
  std::vector<std::string> files;
  for (const FrameFile& frame : frames) files.push_back(frame.File());
  AnimatedGIF merger;
  const Result<std::string> merged = Merge(merger, files);
  ASSERT_TRUE(merged) << merged.Message();
  const std::optional<std::vector<Raster>> shown = ComposeGif(*merged);
  ASSERT_TRUE(shown);
  ASSERT_EQ(shown->size(), std::size(frames));
  for (std::size_t i = 0; i < std::size(frames); ++i)
    EXPECT_EQ((*shown)[i], frames[i].Picture()) << i;
  EXPECT_EQ(LayoutOfGif(*merged)->Delays, std::vector<int>(4, 7));
  EXPECT_EQ(GlobalTableSize(*merged), 2);  // the first frame's
}

// A frame file that is no GIF, cut short anywhere but before its trailer, or
// with no palette of its own (a later frame borrows none) spoils the merge
// wherever it comes; a merge of nothing is no file either. The next merge
// starts afresh, without the palette of the one before.
TEST(AnimatedGIF, ABadFrameFileSpoilsTheMergeAndTheNextMergeStartsAfresh) {
  const std::string global = FrameFile{.Comment = "hi"}.File();
  // giflib writes no image without a palette: this one's is taken out.
  std::string bare = global;
  bare.erase(13, 3 * GlobalTableSize(bare));
  bare[10] &= 0x7F;
  AnimatedGIF merger;
  auto refused = [&](const std::vector<std::string>& files) {
    const Result<std::string> merged = Merge(merger, files);
    return !merged && merged.Message() == AnimatedGIF::ReadFailureMessage;
  };
  for (const std::string& bad : {std::string(), std::string("BM not a gif"), bare})
    for (std::size_t at = 0; at < 3; ++at) {
      std::vector<std::string> files(3, global);
      files[at] = bad;
      EXPECT_TRUE(refused(files)) << testing::PrintToString(bad) << " at " << at;
    }
  EXPECT_TRUE(refused({}));
  const std::string whole = FrameFile{.Colours = 256, .Transparent = 1, .Comment = "hi"}.File();
  for (std::size_t length = 0; length + 1 < whole.size(); ++length)
    EXPECT_TRUE(refused({global, whole.substr(0, length)})) << length;
  EXPECT_TRUE(Merge(merger, {global, whole.substr(0, whole.size() - 1)}));

  const FrameFile local{.Colours = 4, .Local = true};
  const Result<std::string> merged = Merge(merger, {local.File()});
  ASSERT_TRUE(merged);
  EXPECT_EQ(GlobalTableSize(*merged), 0);
  EXPECT_EQ(ComposeGif(*merged), std::vector<Raster>{local.Picture()});
}

}  // namespace
}  // namespace flinder
