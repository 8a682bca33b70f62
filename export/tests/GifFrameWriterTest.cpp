#include <gtest/gtest.h>

#include <random>

#include "GifTestFiles.h"
#include "export/GifFrameWriter.h"

namespace flinder {
namespace {

// A palette whose colours all differ, so decoded colours tell the indexes.
std::vector<ColourValue> DistinctPalette(int size) {
  std::vector<ColourValue> palette;
  for (int i = 0; i < size; ++i) palette.push_back(MakeColour(i, 255 - i, (i * 7) % 256));
  return palette;
}

IndexedFrame Frame(int width, int height, int colours) {
  return {width, height, DistinctPalette(colours),
          std::vector<std::uint8_t>(static_cast<std::size_t>(width) * height)};
}

IndexedFrame Noise(int width, int height, int colours, unsigned seed) {
  IndexedFrame frame = Frame(width, height, colours);
  std::mt19937 random(seed);
  for (std::uint8_t& index : frame.Indexes) index = static_cast<std::uint8_t>(random() % colours);
  return frame;
}

// Checks the file layout and that giflib decodes exactly the frame.
void ExpectDecodesExactly(const IndexedFrame& frame, int tableSize, int codeSize) {
  std::optional<std::string> gif = EncodeGifFrame(frame);
  ASSERT_TRUE(gif);
  const std::string& bytes = *gif;
  EXPECT_EQ(bytes.substr(0, 6), "GIF87a");
  const std::size_t image = 13 + 3 * static_cast<std::size_t>(tableSize);
  ASSERT_GT(bytes.size(), image + 12);
  EXPECT_EQ(bytes[image], ',');
  EXPECT_EQ(bytes[image + 9], 0) << "no local table";
  EXPECT_EQ(bytes[image + 10], codeSize);
  // Sub-blocks of up to 255 bytes, then the empty block and the trailer.
  std::size_t at = image + 11;
  while (at < bytes.size() && bytes[at] != 0) at += 1 + static_cast<std::uint8_t>(bytes[at]);
  EXPECT_EQ(at + 2, bytes.size());

  std::optional<DecodedGif> decoded = DecodeGif(bytes);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->GlobalTableSize, tableSize);
  ASSERT_EQ(decoded->Images.size(), 1u);
  const Raster& picture = decoded->Images[0];
  ASSERT_EQ(picture.Width, frame.Width);
  ASSERT_EQ(picture.Height, frame.Height);
  std::size_t wrong = 0;
  for (std::size_t p = 0; p < frame.Indexes.size(); ++p)
    if (picture.Pixels[p] != frame.Palette[frame.Indexes[p]]) ++wrong;
  EXPECT_EQ(wrong, 0u);
}

TEST(GifFrameWriterTest, TableAndCodeSizesFollowThePalette) {
  for (auto [colours, table, code] :
       {std::tuple{1, 2, 2}, std::tuple{2, 2, 2}, std::tuple{3, 4, 2}, std::tuple{5, 8, 3},
        std::tuple{17, 32, 5}, std::tuple{256, 256, 8}}) {
    SCOPED_TRACE(colours);
    ExpectDecodesExactly(Noise(37, 23, colours, 1), table, code);
  }
  ExpectDecodesExactly(Frame(1, 1, 1), 2, 2);
  IndexedFrame one = Frame(1, 1, 200);
  one.Indexes[0] = 199;
  ExpectDecodesExactly(one, 256, 8);
}

TEST(GifFrameWriterTest, LongRunsAndFullTablesDecodeExactly) {
  // Noise fills the 4096-entry table again and again, at every code size.
  for (auto [colours, code] :
       {std::pair{2, 2}, std::pair{4, 2}, std::pair{16, 4}, std::pair{256, 8}}) {
    SCOPED_TRACE(colours);
    ExpectDecodesExactly(Noise(420, 420, colours, colours), colours, code);
  }
  // One colour throughout: codes for ever longer runs, past a full table.
  ExpectDecodesExactly(Frame(3000, 3000, 2), 2, 2);
  // Runs of random length and colour, as in rendered frames.
  IndexedFrame runs = Frame(420, 420, 256);
  std::mt19937 random(7);
  for (std::size_t p = 0; p < runs.Indexes.size();) {
    std::size_t length = std::min<std::size_t>(1 + random() % 300, runs.Indexes.size() - p);
    std::fill_n(runs.Indexes.begin() + static_cast<std::ptrdiff_t>(p), length,
                static_cast<std::uint8_t>(random() % 256));
    p += length;
  }
  ExpectDecodesExactly(runs, 256, 8);
}

TEST(GifFrameWriterTest, FramesThatCannotBeWrittenAreRefused) {
  IndexedFrame outside = Frame(4, 4, 3);
  outside.Indexes[5] = 3;
  IndexedFrame tooMany = Frame(4, 4, 256);
  tooMany.Palette.push_back(0);
  IndexedFrame cutShort = Frame(4, 4, 2);
  cutShort.Indexes.pop_back();
  for (const IndexedFrame& frame :
       {outside, tooMany, cutShort, Frame(0, 0, 2), IndexedFrame{2, 1, {}, {0, 0}}})
    EXPECT_FALSE(EncodeGifFrame(frame));
}

}  // namespace
}  // namespace flinder
