#include <gtest/gtest.h>

#include "GifTestFiles.h"
#include "gif/AnimatedGIF.h"
#include "gif/GifAnimationEncoder.h"

namespace flinder {
namespace {

using Indexes = std::vector<std::uint8_t>;

// What a browser should show for indexed frames: the palette's colours, and
// the page where the transparent index is.
Raster Expected(const Indexes& frame, int width, const std::vector<ColourValue>& palette,
                int transparent) {
  Raster raster(width, static_cast<int>(frame.size()) / width);
  for (std::size_t p = 0; p < frame.size(); ++p)
    raster.Pixels[p] = frame[p] == transparent ? ClearPixel : palette[frame[p]];
  return raster;
}

// Plays the encoded frames for two loops and compares every picture shown.
void ExpectPlaysAsGiven(const std::vector<Indexes>& frames, int width,
                        const std::vector<ColourValue>& palette, int transparent,
                        const char* what) {
  const int height = static_cast<int>(frames[0].size()) / width;
  for (bool optimise : {false, true}) {
    GifAnimationEncoder encoder(width, height, palette, transparent, optimise, 7);
    for (const Indexes& frame : frames) encoder.AddFrame(frame);
    const std::string file = encoder.Finish();
    EXPECT_EQ(file.substr(0, 6), "GIF89a");
    EXPECT_NE(file.find(AnimatedGIF::BuildLoopExtension(999)), std::string::npos);
    auto shown = ComposeGif(file, 2);
    ASSERT_TRUE(shown) << what;
    ASSERT_EQ(shown->size(), 2 * frames.size()) << what;
    for (std::size_t i = 0; i < shown->size(); ++i)
      EXPECT_EQ((*shown)[i], Expected(frames[i % frames.size()], width, palette, transparent))
          << what << ", optimised " << optimise << ", picture " << i;
  }
}

// A 2 x 2 block of `ink` at (x, y) on a `paper` of 8 x 6.
Indexes Block(int x, int y, std::uint8_t ink, std::uint8_t paper) {
  Indexes frame(48, paper);
  for (int dy = 0; dy < 2; ++dy)
    for (int dx = 0; dx < 2; ++dx) frame[(y + dy) * 8 + x + dx] = ink;
  return frame;
}

TEST(GifAnimationEncoder, EveryPictureIsShownAsGivenAlsoWhereAShapeLeavesATransparentBackground) {
  const std::vector<ColourValue> palette = {0x0000FF, 0x00FF00, 0xFF0000, 0x777777};
  // Index 3 is the background: the block moves away from pixels that must
  // turn transparent again, stands still once, and the first frame, which
  // follows the last, is clear where the last is not.
  std::vector<Indexes> moving = {Block(0, 0, 1, 3), Block(3, 1, 1, 3), Block(3, 1, 1, 3),
                                 Block(6, 4, 2, 3)};
  moving[1][47] = 0;
  ExpectPlaysAsGiven(moving, 8, palette, 3, "transparent background");
  // Without a transparent entry the same frames are opaque pictures.
  ExpectPlaysAsGiven(moving, 8, palette, -1, "opaque");
  ExpectPlaysAsGiven({Block(2, 2, 0, 1)}, 8, palette, -1, "one frame");

  // Every one of 256 entries changes in the second frame: no index is free
  // to stand for the pixels that stay.
  std::vector<ColourValue> full(256);
  Indexes all(256 * 2);
  for (int i = 0; i < 256; ++i) {
    full[i] = MakeColour(i, 255 - i, i / 2);
    all[i] = static_cast<std::uint8_t>(i);
    all[256 + i] = static_cast<std::uint8_t>(i / 2);
  }
  Indexes shifted = all;
  for (int i = 0; i < 256; ++i) shifted[i] = static_cast<std::uint8_t>(255 - i);
  ExpectPlaysAsGiven({all, shifted}, 16, full, -1, "full palette");
}

}  // namespace
}  // namespace flinder
