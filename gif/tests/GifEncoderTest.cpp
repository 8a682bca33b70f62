#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "GifTestFiles.h"
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

}  // namespace
}  // namespace flinder
