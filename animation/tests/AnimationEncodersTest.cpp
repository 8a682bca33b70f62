#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>

#include "AnimationReaders.h"
#include "GifTestFiles.h"
#include "animation/ApngEncoder.h"
#include "animation/GifAnimationEncoder.h"
#include "animation/MergedGifEncoder.h"
#include "animation/WebpEncoder.h"

namespace flinder {
namespace {

using Rgba = std::array<std::uint8_t, 4>;

RgbaRaster Filled(int width, int height, Rgba colour) {
  RgbaRaster picture(width, height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) std::copy(colour.begin(), colour.end(), picture.At(x, y));
  return picture;
}

void Square(RgbaRaster& picture, int left, int top, int size, Rgba colour) {
  for (int y = top; y < top + size; ++y)
    for (int x = left; x < left + size; ++x)
      std::copy(colour.begin(), colour.end(), picture.At(x, y));
}

std::optional<DecodedApng> RoundTrip(const std::vector<RgbaRaster>& frames,
                                     AnimationTiming timing) {
  ApngEncoder encoder(frames[0].Width, frames[0].Height, timing);
  for (const RgbaRaster& frame : frames)
    if (!encoder.AddFrame(frame)) return std::nullopt;
  return DecodeApng(encoder.Finish().Value());
}

// Two far-apart changes over noise that follows an opaque frame of two
// colours: the format grows from a palette to RGBA, the first frame packed again; the
// rectangle holds both changes, and "over" blending leaves the noise between
// them out, clear.
TEST(ApngEncoder, ManyColoursAreStoredAsTheyAreAndUnchangedPixelsAreLeftOut) {
  std::mt19937 random(7);
  RgbaRaster noise(64, 48);
  for (std::uint8_t& byte : noise.Bytes) byte = static_cast<std::uint8_t>(random());
  for (std::size_t p = 3; p < noise.Bytes.size(); p += 4) noise.Bytes[p] = 255;
  RgbaRaster changed = noise;
  Square(changed, 1, 1, 2, {1, 2, 3, 255});
  Square(changed, 60, 44, 3, {4, 5, 6, 255});
  RgbaRaster plain = Filled(64, 48, {9, 9, 9, 255});
  Square(plain, 5, 5, 5, {0, 0, 0, 255});
  const std::vector<RgbaRaster> frames = {plain, noise, changed, noise};
  auto decoded = RoundTrip(frames, {20, 65536});
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->Shown, frames);
  EXPECT_EQ(decoded->Plays, 65536);  // more than GIF or WebP hold
  EXPECT_EQ(decoded->ColourType, 6);
  EXPECT_EQ(decoded->Controls[2].Width * decoded->Controls[2].Height, 62 * 46);
  EXPECT_EQ(decoded->Controls[2].Blend, 1);
  // Frames that change everywhere pack smaller replacing, so without alpha.
  RgbaRaster flipped(64, 48);
  for (int y = 0; y < 48; ++y) std::copy_n(noise.At(0, 47 - y), 4 * 64, flipped.At(0, y));
  const std::vector<RgbaRaster> replaced = {noise, flipped, noise};
  auto decodedReplaced = RoundTrip(replaced, {50, 0});
  ASSERT_TRUE(decodedReplaced);
  EXPECT_EQ(decodedReplaced->Shown, replaced);
  EXPECT_EQ(decodedReplaced->ColourType, 2);
  // One opaque frame of many colours is a plain PNG without alpha.
  auto still = RoundTrip({noise}, {50, 0});
  ASSERT_TRUE(still);
  EXPECT_EQ(still->ColourType, 2);
  EXPECT_EQ(still->Plays, -1);
  EXPECT_EQ(still->Shown, std::vector<RgbaRaster>{noise});
}

// Pixels that stay inside a rectangle laid over are written in their colour
// only where that shows the same: beside a square moving over rows of one
// colour each, not amid noise, and not in translucent haze spreading over a
// clear background, which laid over itself would thicken.
TEST(ApngEncoder, StayingPixelsWrittenInTheirColourShowTheSame) {
  RgbaRaster rows(48, 40);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 48; ++x) {
      const int noise = y < 30 ? 6 * y : 37 * x + 11 * y;
      const Rgba colour = {static_cast<std::uint8_t>(noise), static_cast<std::uint8_t>(y), 90, 255};
      std::copy(colour.begin(), colour.end(), rows.At(x, y));
    }
  RgbaRaster moved = rows;
  Square(rows, 4, 4, 10, {200, 10, 10, 255});
  Square(moved, 6, 4, 10, {200, 10, 10, 255});
  Square(moved, 45, 35, 1, {1, 2, 3, 255});
  const Rgba haze = {0, 0, 255, 128};
  RgbaRaster clear = Filled(20, 10, {0, 0, 0, 0}), hazy = clear;
  Square(clear, 10, 5, 1, haze);
  Square(hazy, 10, 5, 3, haze);
  // A frame shown again stores a single pixel.
  for (const std::vector<RgbaRaster>& frames :
       {std::vector<RgbaRaster>{rows, moved, moved, rows},
        std::vector<RgbaRaster>{clear, hazy, hazy, clear}}) {
    auto decoded = RoundTrip(frames, {50, 0});
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->Shown, frames);
    EXPECT_EQ(decoded->ColourType, 6);
    EXPECT_EQ(decoded->Controls[1].Blend, 1);
    EXPECT_EQ(decoded->Controls[2].Width * decoded->Controls[2].Height, 1);
  }
}

// WebP counts plays in 16 bits: more are stored as the most it holds.
TEST(WebpEncoder, MorePlaysThanTheFormatHoldsAreStoredAsTheMost) {
  WebpEncoder encoder(4, 4, {20, 65536});
  ASSERT_TRUE(encoder.AddFrame(Filled(4, 4, {0, 0, 0, 0})));
  ASSERT_TRUE(encoder.AddFrame(Filled(4, 4, {9, 8, 7, 255})));
  const DecodedWebp decoded = DecodeWebp(encoder.Finish().Value());
  EXPECT_EQ(decoded.Shown.size(), 2u);
  EXPECT_EQ(decoded.Loops, 65535);
}

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
  // The one-frame files merged hold no transparency; the others each way.
  for (int kind = transparent < 0 ? 0 : 1; kind < 3; ++kind) {
    std::unique_ptr<AnimationEncoder<IndexedFrame>> encoder;
    if (kind == 0)
      encoder = std::make_unique<MergedGifEncoder>(width, height, 7, 999);
    else
      encoder = std::make_unique<GifAnimationEncoder>(width, height, palette, transparent,
                                                      kind == 2, 7);  // 2: optimised
    std::string file;
    for (const Indexes& frame : frames) {
      ASSERT_TRUE(encoder->AddFrame({width, height, palette, frame}));
      file += encoder->TakeBytes();
    }
    file += encoder->Finish().Value();
    EXPECT_EQ(file.substr(0, 6), "GIF89a");
    auto shown = ComposeGif(file, 2);
    ASSERT_TRUE(shown) << what;
    ASSERT_EQ(shown->size(), 2 * frames.size()) << what;
    for (std::size_t i = 0; i < shown->size(); ++i)
      EXPECT_EQ((*shown)[i], Expected(frames[i % frames.size()], width, palette, transparent))
          << what << ", encoder " << kind << ", picture " << i;
  }
}

// A 2 x 2 block of `ink` at (x, y) on a `paper` of 8 x 6.
Indexes Block(int x, int y, std::uint8_t ink, std::uint8_t paper) {
  Indexes frame(48, paper);
  for (int dy = 0; dy < 2; ++dy)
    for (int dx = 0; dx < 2; ++dx) frame[(y + dy) * 8 + x + dx] = ink;
  return frame;
}

TEST(GifEncoders, EveryPictureIsShownAsGivenAlsoWhereAShapeLeavesATransparentBackground) {
  const std::vector<ColourValue> palette = {0x0000FF, 0x00FF00, 0xFF0000, 0x777777};
  // Index 3 is the background: the block moves away from pixels that must
  // turn transparent again, stands still once, and the first frame, which
  // follows the last, is clear where the last is not.
  std::vector<Indexes> moving = {Block(0, 0, 1, 3), Block(3, 1, 1, 3), Block(3, 1, 1, 3),
                                 Block(6, 4, 2, 3)};
  moving[1][47] = 0;
  ExpectPlaysAsGiven(moving, 8, palette, 3, "transparent background");

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
