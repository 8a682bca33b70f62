#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <stdexcept>
#include <vector>

#include "GifTestFiles.h"
#include "gif/AnimatedGIF.h"
#include "gif/BatchWorkers.h"
#include "gif/GifAnimationEncoder.h"
#include "gif/GifFrameWriter.h"
#include "gif/GifLzw.h"

namespace flinder {
namespace {

// Random indexes into a palette whose colours all differ, so decoded colours tell the indexes.
IndexedFrame Noise(int width, int height, int colours, unsigned seed = 1) {
  IndexedFrame frame{width, height, {}, std::vector<std::uint8_t>(std::size_t(width) * height)};
  for (int i = 0; i < colours; ++i) frame.Palette.push_back(MakeColour(i, 255 - i, (i * 7) % 256));
  std::mt19937 random(seed);
  for (std::uint8_t& index : frame.Indexes) index = static_cast<std::uint8_t>(random() % colours);
  return frame;
}

// Checks the file layout and that giflib decodes exactly the frame.
void ExpectDecodesExactly(const IndexedFrame& frame, int tableSize, int codeSize) {
  std::optional<std::string> bytes = EncodeGifFrame(frame);
  ASSERT_TRUE(bytes);
  // No local table, and the smallest code size for the table.
  const std::size_t image = 13 + 3 * static_cast<std::size_t>(tableSize);
  ASSERT_GT(bytes->size(), image + 12);
  EXPECT_EQ(bytes->substr(0, 6) + bytes->substr(image, 1), "GIF87a,");
  EXPECT_EQ((*bytes)[image + 9], 0);
  EXPECT_EQ((*bytes)[image + 10], codeSize);
  auto decoded = ComposeGif(*bytes);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(GlobalTableSize(*bytes), tableSize);
  ASSERT_EQ(decoded->size(), 1u);
  Raster expected(frame.Width, frame.Height);
  for (std::size_t p = 0; p < frame.Indexes.size(); ++p)
    expected.Pixels[p] = frame.Palette[frame.Indexes[p]];
  EXPECT_EQ(decoded->front(), expected);
}

TEST(GifFrameWriterTest, EveryFrameDecodesExactlyAndBadOnesAreRefused) {
  // Small frames give the table and code sizes; 420 x 420 noise fills the 4096-entry table
  // again and again at every code size; one colour throughout codes ever longer runs.
  // Each case: width, height, colours, table size, code size.
  const int cases[][5] = {{1, 1, 1, 2, 2},         {1, 1, 200, 256, 8},  {37, 23, 2, 2, 2},
                          {37, 23, 3, 4, 2},       {37, 23, 5, 8, 3},    {37, 23, 17, 32, 5},
                          {420, 420, 2, 2, 2},     {420, 420, 4, 4, 2},  {420, 420, 16, 16, 4},
                          {420, 420, 256, 256, 8}, {3000, 3000, 1, 2, 2}};
  for (auto [width, height, colours, table, code] : cases) {
    SCOPED_TRACE(testing::Message() << width << " x " << height << ", " << colours);
    ExpectDecodesExactly(Noise(width, height, colours, colours), table, code);
  }
  // Refused: an index outside the palette, more than 256 colours, too few or no pixels.
  IndexedFrame outside = Noise(4, 4, 3), tooMany = Noise(4, 4, 256), cutShort = Noise(4, 4, 2);
  outside.Indexes[5] = 3;
  tooMany.Palette.push_back(0);
  cutShort.Indexes.pop_back();
  for (const IndexedFrame& frame :
       {outside, tooMany, cutShort, Noise(0, 0, 2), IndexedFrame{2, 1, {}, {0, 0}}})
    EXPECT_FALSE(EncodeGifFrame(frame));
}

// A coder that would rather not have data as long as another's must still
// finish any shorter data, whatever the string held before it.
TEST(GifFrameWriterTest, LzwCodingGivesUpOnlyOnDataThatCannotBeShorter) {
  for (auto [width, colours] : {std::pair{420, 2}, {420, 256}, {30, 5}, {700, 1}}) {
    SCOPED_TRACE(testing::Message() << width << ", " << colours);
    const IndexedFrame frame = Noise(width, width / 2, colours, 3);
    const int codeSize = colours > 4 ? 8 : 2;
    std::string whole;
    ASSERT_TRUE(AppendLzwImageData(whole, frame.Indexes.data(), frame.Indexes.size(), codeSize));
    for (const std::string before : {"", "earlier bytes"}) {
      std::string shorter = before, same = before;
      EXPECT_TRUE(AppendLzwImageData(shorter, frame.Indexes.data(), frame.Indexes.size(), codeSize,
                                     before.size() + whole.size() + 1));
      EXPECT_EQ(shorter, before + whole);
      if (AppendLzwImageData(same, frame.Indexes.data(), frame.Indexes.size(), codeSize,
                             before.size() + whole.size())) {
        EXPECT_EQ(same, before + whole);
      }
      std::string tiny = before;
      EXPECT_FALSE(AppendLzwImageData(tiny, frame.Indexes.data(), frame.Indexes.size(), codeSize,
                                      before.size() + whole.size() / 2));
    }
  }
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

TEST(BatchWorkers, EveryJobOfEveryBatchRunsOnceAndAFailureReachesTheWaiter) {
  BatchWorkers workers(3);
  std::vector<std::atomic<int>> runs(50);
  for (std::size_t count : {50u, 1u, 0u, 17u}) {
    workers.Start(count, [&](std::size_t i) { ++runs[i]; });
    workers.Wait();
  }
  for (std::size_t i = 0; i < runs.size(); ++i)
    EXPECT_EQ(runs[i], i == 0 ? 3 : i < 17 ? 2 : 1) << i;

  // The other jobs still run; the batch after is not affected.
  std::atomic<int> done = 0;
  workers.Start(20, [&](std::size_t i) {
    if (i == 7) throw std::runtime_error("job 7");
    ++done;
  });
  EXPECT_THROW(workers.Wait(), std::runtime_error);
  EXPECT_EQ(done, 19);
  workers.Start(5, [&](std::size_t) { ++done; });
  workers.Wait();
  EXPECT_EQ(done, 24);
}

}  // namespace
}  // namespace flinder
