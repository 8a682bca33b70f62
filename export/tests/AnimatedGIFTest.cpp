#include <gtest/gtest.h>

#include "GifTestFiles.h"
#include "export/AnimatedGIF.h"

namespace flinder {
namespace {

const std::string LoopBlock =
    Bytes({0x21, 0xFF, 0x0B}) + "NETSCAPE2.0" + Bytes({0x03, 0x01, 0xE7, 0x03, 0x00});

std::optional<std::string> FrameBlock(const std::string& file, std::int16_t delay = 10) {
  AnimatedGIF merger;
  merger.ResetMergeState(0, 0, delay);
  return merger.ReadGifFile(file, true);
}

TEST(AnimatedGIFTest, WorkedFrameBlockMovesThePaletteAndRewritesTheControl) {
  std::string table = ColourTable(256);
  std::string file =
      GifFile(0xF7, table, Bytes({0x21, 0xF9, 0x04, 0x01, 0x00, 0x00, 0x07, 0x00}) + ImageBlock());
  std::string expected = Bytes({0x21, 0xF9, 0x04, 0x09, 0x0A, 0x00, 0x07, 0x00}) +
                         Bytes({0x2C, 0, 0, 0, 0, 3, 0, 2, 0, 0x87}) + table +
                         Bytes({0x08, 0x03, 0xAA, 0xBB, 0xCC, 0x00});
  EXPECT_EQ(FrameBlock(file), expected);
}

TEST(AnimatedGIFTest, GraphicControlKeepsOnlyUserInputAndTransparency) {
  std::string table = ColourTable(2);
  struct Case {
    int Packed, Delay;
    std::string Control;
  };
  for (const Case& c : {Case{0x05, 10, Bytes({0x21, 0xF9, 0x04, 0x09, 0x0A, 0x00, 0x05, 0x00})},
                        Case{0x1C, 10, Bytes({0x21, 0xF9, 0x04, 0x08, 0x0A, 0x00, 0x05, 0x00})},
                        Case{0x02, 300, Bytes({0x21, 0xF9, 0x04, 0x0A, 0x2C, 0x01, 0x05, 0x00})}}) {
    std::string file = GifFile(
        0x80, table, Bytes({0x21, 0xF9, 0x04, c.Packed, 0x33, 0x44, 0x05, 0x00}) + ImageBlock());
    std::optional<std::string> block = FrameBlock(file, c.Delay);
    ASSERT_TRUE(block);
    EXPECT_EQ(block->substr(0, 8), c.Control) << "packed " << c.Packed;
  }
}

TEST(AnimatedGIFTest, ImageWithoutControlGetsOneAndOnlyAFollowingCommentSurvives) {
  std::string table = ColourTable(2);
  std::string comment = Bytes({0x21, 0xFE, 0x02, 'h', 'i', 0x00});
  std::string created = Bytes({0x21, 0xF9, 0x04, 0x00, 0x2C, 0x01, 0x00, 0x00});
  std::string image = Bytes({0x2C, 0, 0, 0, 0, 3, 0, 2, 0, 0x80}) + table +
                      Bytes({0x08, 0x03, 0xAA, 0xBB, 0xCC, 0x00});

  EXPECT_EQ(FrameBlock(GifFile(0x80, table, comment + ImageBlock()), 300), created + image);

  std::string control = Bytes({0x21, 0xF9, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00});
  std::string kept = Bytes({0x21, 0xF9, 0x04, 0x08, 0x2C, 0x01, 0x00, 0x00});
  EXPECT_EQ(FrameBlock(GifFile(0x80, table, control + comment + ImageBlock()), 300),
            kept + comment + image);
}

TEST(AnimatedGIFTest, ImagePackedByteCarriesInterlaceSortAndTableSize) {
  std::optional<std::string> block = FrameBlock(GifFile(0x8A, ColourTable(8), ImageBlock(0x40)));
  ASSERT_TRUE(block);
  EXPECT_EQ(static_cast<std::uint8_t>((*block)[8 + 9]), 0x80 + 0x40 + 0x20 + 2);

  // The image's own sort bit and reserved bits are not kept.
  block = FrameBlock(GifFile(0x82, ColourTable(8), ImageBlock(0x38)));
  ASSERT_TRUE(block);
  EXPECT_EQ(static_cast<std::uint8_t>((*block)[8 + 9]), 0x82);
}

TEST(AnimatedGIFTest, LocalTableIsCopiedAndFilesWithoutAnyPaletteAreRefused) {
  std::string local = ColourTable(4, 9);
  std::optional<std::string> block = FrameBlock(GifFile(0x00, {}, ImageBlock(0x81, local)));
  ASSERT_TRUE(block);
  EXPECT_EQ(block->substr(8, 10 + local.size()),
            Bytes({0x2C, 0, 0, 0, 0, 3, 0, 2, 0, 0x81}) + local);

  EXPECT_FALSE(FrameBlock(GifFile(0x00, {}, ImageBlock())));
}

TEST(AnimatedGIFTest, SignatureDecidesWhatIsAGif) {
  EXPECT_TRUE(FrameBlock(GifFile(0x80, ColourTable(2), ImageBlock(), "87a")));
  EXPECT_FALSE(FrameBlock("gif89a" + GifFile(0x80, ColourTable(2), ImageBlock()).substr(6)));
  EXPECT_FALSE(FrameBlock(""));
}

TEST(AnimatedGIFTest, TruncatedFilesEndCleanly) {
  std::string file =
      GifFile(0xF7, ColourTable(256),
              Bytes({0x21, 0xFE, 0x01, 'x', 0x00}) +
                  Bytes({0x21, 0xF9, 0x04, 0x01, 0x00, 0x00, 0x07, 0x00}) + ImageBlock());
  for (std::size_t length = 0; length < file.size(); ++length) {
    std::optional<std::string> block = FrameBlock(file.substr(0, length));
    if (block) {
      EXPECT_LE(block->size(), file.size() + 16) << "length " << length;
    }
  }
}

class MergeGifFramesTest : public testing::Test {
 protected:
  ScratchFolder Scratch{"merge"};
  AnimatedGIF Merger;
};

TEST_F(MergeGifFramesTest, TwoFramesGiveTheWholeFileAndReplaceALongerOne) {
  std::string firstTable = ColourTable(4, 1), secondTable = ColourTable(2, 50);
  WriteWholeFile(Scratch.File("temp1.gif"), GifFile(0x91, firstTable, ImageBlock()));
  WriteWholeFile(Scratch.File("temp2.gif"), GifFile(0x80, secondTable, ImageBlock()));
  std::string output = Scratch.File("out.gif");
  WriteWholeFile(output, std::string(5000, 'x'));

  // The third entry repeats the first pose and is neither read nor merged.
  ExportResult result = Merger.MergeGifFrames(
      {Scratch.File("temp1.gif"), Scratch.File("temp2.gif"), Scratch.File("absent.gif")}, 3, output,
      0, 0, 10);
  ASSERT_TRUE(result.Ok) << result.Message;

  std::string control = Bytes({0x21, 0xF9, 0x04, 0x00, 0x0A, 0x00, 0x00, 0x00});
  std::string data = Bytes({0x08, 0x03, 0xAA, 0xBB, 0xCC, 0x00});
  std::string expected = "GIF89a" + Bytes({0, 0, 0, 0, 0x91, 0, 0}) + firstTable + LoopBlock +
                         control + Bytes({0x2C, 0, 0, 0, 0, 3, 0, 2, 0, 0x81}) + firstTable + data +
                         control + Bytes({0x2C, 0, 0, 0, 0, 3, 0, 2, 0, 0x80}) + secondTable +
                         data + Bytes({0x3B});
  EXPECT_EQ(ReadWholeFile(output), expected);
}

TEST_F(MergeGifFramesTest, AnyMissingOrForeignFrameSuppressesTheOutput) {
  WriteWholeFile(Scratch.File("temp1.gif"), GifFile(0x80, ColourTable(2), ImageBlock()));
  WriteWholeFile(Scratch.File("temp3.gif"), GifFile(0x80, ColourTable(2), ImageBlock()));
  WriteWholeFile(Scratch.File("temp4.gif"), "BM not a gif");
  std::string output = Scratch.File("out.gif");

  ExportResult missing = Merger.MergeGifFrames(
      {Scratch.File("temp1.gif"), Scratch.File("temp2.gif"), Scratch.File("temp3.gif")}, 4, output,
      0, 0, 10);
  EXPECT_FALSE(missing.Ok);
  EXPECT_EQ(missing.Message, "An error has occured reading the files");

  ExportResult foreign = Merger.MergeGifFrames(
      {Scratch.File("temp1.gif"), Scratch.File("temp4.gif"), Scratch.File("temp3.gif")}, 4, output,
      0, 0, 10);
  EXPECT_EQ(foreign.Message, "An error has occured reading the files");
  EXPECT_FALSE(std::filesystem::exists(output));
}

TEST_F(MergeGifFramesTest, NoFramesIsRefusedNamingTheOutput) {
  std::string output = Scratch.File("out.gif");
  ExportResult result = Merger.MergeGifFrames({Scratch.File("temp1.gif")}, 1, output, 0, 0, 10);
  EXPECT_FALSE(result.Ok);
  EXPECT_NE(result.Message.find(output), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(output));
}

TEST_F(MergeGifFramesTest, ASecondMergeStartsWithoutThePreviousPalette) {
  WriteWholeFile(Scratch.File("a.gif"), GifFile(0x80, ColourTable(2), ImageBlock()));
  WriteWholeFile(Scratch.File("b.gif"), GifFile(0x00, {}, ImageBlock(0x80, ColourTable(2))));
  std::string output = Scratch.File("out.gif");
  ASSERT_TRUE(Merger.MergeGifFrames({Scratch.File("a.gif")}, 2, output, 0, 0, 10).Ok);
  ASSERT_TRUE(Merger.MergeGifFrames({Scratch.File("b.gif")}, 2, output, 0, 0, 10).Ok);

  std::string expected = "GIF89a" + Bytes({0, 0, 0, 0, 0x00, 0, 0}) + LoopBlock;
  EXPECT_EQ(ReadWholeFile(output).substr(0, expected.size()), expected);

  // Nor does a later frame file borrow an earlier file's palette.
  WriteWholeFile(Scratch.File("c.gif"), GifFile(0x00, {}, ImageBlock()));
  EXPECT_FALSE(
      Merger.MergeGifFrames({Scratch.File("a.gif"), Scratch.File("c.gif")}, 3, output, 0, 0, 10)
          .Ok);
}

TEST_F(MergeGifFramesTest, FolderWithADotAndOtherExtensionsStillFindTheFrames) {
  std::filesystem::create_directories(Scratch.Folder() / "v1.2");
  WriteWholeFile(Scratch.File("v1.2/temp1.gif"), GifFile(0x80, ColourTable(2), ImageBlock()));
  WriteWholeFile(Scratch.File("v1.2/temp2.gif"), GifFile(0x80, ColourTable(2), ImageBlock()));
  std::string output = Scratch.File("v1.2/out.gif");

  ExportResult result = Merger.MergeGifFrames(
      {Scratch.File("v1.2/temp1.bmp"), Scratch.File("v1.2/temp2")}, 3, output, 420, 300, 10);
  ASSERT_TRUE(result.Ok) << result.Message;
  EXPECT_EQ(ReadWholeFile(output).substr(6, 4), Bytes({0xA4, 0x01, 0x2C, 0x01}));
}

}  // namespace
}  // namespace flinder
