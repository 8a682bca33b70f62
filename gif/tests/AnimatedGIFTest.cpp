#include <gtest/gtest.h>

#include "GifTestFiles.h"
#include "gif/AnimatedGIF.h"

namespace flinder {
namespace {

// A colour table of `entries` entries whose bytes count up from `first`.
std::string ColourTable(int entries, int first = 0) {
  std::string table;
  for (int i = 0; i < 3 * entries; ++i) table += static_cast<char>(first + i);
  return table;
}

// A GIF file of a 3 x 2 screen with the packed byte, then `table`, `body` and the trailer.
std::string GifFile(int packed, const std::string& table, const std::string& body,
                    const std::string& version = "89a") {
  return "GIF" + version + Bytes({3, 0, 2, 0, packed, 0, 0}) + table + body + Bytes({0x3B});
}

// A 3 x 2 image with the packed byte, code size 8 and one data sub-block.
std::string ImageBlock(int packed = 0, const std::string& localTable = {}) {
  return Bytes({0x2C, 0, 0, 0, 0, 3, 0, 2, 0, packed}) + localTable +
         Bytes({8, 3, 0xAA, 0xBB, 0xCC, 0});
}

std::string Control(int packed, int delay, int transparent = 0) {
  return Bytes({0x21, 0xF9, 0x04, packed, delay & 0xFF, delay >> 8, transparent, 0x00});
}

// A plain-text block: its 12-byte header and the text "hi".
std::string PlainText() {
  return Bytes({0x21, 0x01, 12, 0, 0, 0, 0, 3, 0, 2, 0, 1, 1, 1, 0}) + Bytes({2, 'h', 'i', 0});
}

const std::string Comment = Bytes({0x21, 0xFE, 0x02, 'h', 'i', 0});
const std::string Application =
    Bytes({0x21, 0xFF, 0x0B}) + "XMP DataXMP" + Bytes({0x03, 1, 2, 3, 0});

TEST(AnimatedGIFTest, FrameBlocksTakeThePaletteAndARewrittenControl) {
  auto frameBlock = [](const std::string& file, std::int16_t delay = 10) {
    AnimatedGIF merger;
    merger.ResetMergeState(0, 0, delay);
    return merger.ReadGifFile(file, true);
  };
  const std::string t2 = ColourTable(2), t8 = ColourTable(8), t256 = ColourTable(256);
  const std::string local = ColourTable(4, 9);
  // Each case: a frame file, the frame delay, the frame block expected.
  for (const auto& [file, delay, block] : std::vector<std::tuple<std::string, int, std::string>>{
           // The worked frame: the global table moves into the image.
           {GifFile(0xF7, t256, Control(0x01, 0, 7) + ImageBlock()), 10,
            Control(0x09, 10, 7) + ImageBlock(0x87, t256)},
           // Only user input and transparency stay; disposal becomes 2.
           {GifFile(0x80, t2, Control(0x05, 0x4433, 5) + ImageBlock()), 10,
            Control(0x09, 10, 5) + ImageBlock(0x80, t2)},
           {GifFile(0x80, t2, Control(0x1C, 0x4433, 5) + ImageBlock()), 10,
            Control(0x08, 10, 5) + ImageBlock(0x80, t2)},
           {GifFile(0x80, t2, Control(0x02, 0x4433, 5) + ImageBlock()), 300,
            Control(0x0A, 300, 5) + ImageBlock(0x80, t2)},
           // An image without a control gets one; blocks before the control are dropped.
           {GifFile(0x80, t2, Comment + Application + ImageBlock()), 300,
            Control(0x00, 300) + ImageBlock(0x80, t2)},
           {GifFile(0x80, t2, Control(0x00, 0) + Comment + ImageBlock()), 300,
            Control(0x08, 300) + Comment + ImageBlock(0x80, t2)},
           // Interlace comes from the image, sort and size from the file's table.
           {GifFile(0x8A, t8, ImageBlock(0x40)), 10, Control(0, 10) + ImageBlock(0xE2, t8)},
           {GifFile(0x82, t8, ImageBlock(0x38)), 10, Control(0, 10) + ImageBlock(0x82, t8)},
           // A local table stays; 87a files are taken too.
           {GifFile(0x00, {}, ImageBlock(0x81, local)), 10,
            Control(0, 10) + ImageBlock(0x81, local)},
           {GifFile(0x80, t2, ImageBlock(), "87a"), 10, Control(0, 10) + ImageBlock(0x80, t2)},
           // Plain text is a picture too, and gets no control of its own.
           {GifFile(0x80, t2, Control(0x00, 0) + PlainText()), 10, Control(0x08, 10) + PlainText()},
           {GifFile(0x80, t2, PlainText()), 10, PlainText()},
           // The last picture is the frame; blocks after it do not replace it.
           {GifFile(0x80, t2, ImageBlock() + Comment + Application), 10,
            Control(0, 10) + ImageBlock(0x80, t2)},
           {GifFile(0x80, t2, ImageBlock() + Control(0x00, 0) + ImageBlock(0x81, local) + Comment),
            10, Control(0x08, 10) + ImageBlock(0x81, local)},
       }) {
    EXPECT_EQ(frameBlock(file, delay), block) << testing::PrintToString(file);
  }
  // Refused: no palette at all, a wrong signature, nothing, no picture, a wrong image
  // separator, a rendering block of an unknown kind.
  for (const std::string& file :
       {GifFile(0x00, {}, ImageBlock()), "gif89a" + GifFile(0x80, t2, ImageBlock()).substr(6),
        std::string(), GifFile(0x80, t2, {}), GifFile(0x80, t2, Comment + Application),
        GifFile(0x80, t2, Control(0x00, 0)),
        GifFile(0x80, t2, Bytes({0x2D}) + ImageBlock().substr(1)),
        GifFile(0x80, t2, Control(0x00, 0) + Bytes({0x21, 0x02, 1, 0, 0}))})
    EXPECT_FALSE(frameBlock(file)) << testing::PrintToString(file);
  // Cut short inside any block, a file is refused; only its trailer may be missing.
  for (const std::string& whole :
       {GifFile(0xF7, t256, Application + Comment + Control(0x01, 0, 7) + ImageBlock()),
        GifFile(0x81, ColourTable(4), Comment + Control(0x00, 0) + PlainText())}) {
    for (std::size_t length = 0; length + 1 < whole.size(); ++length)
      EXPECT_FALSE(frameBlock(whole.substr(0, length))) << length;
    EXPECT_EQ(frameBlock(whole.substr(0, whole.size() - 1)), frameBlock(whole));
  }
}

struct MergeGifFramesTest : testing::Test {
  std::string Put(const std::string& name, const std::string& bytes) {
    WriteWholeFile(Scratch.File(name), bytes);
    return Scratch.File(name);
  }
  ScratchFolder Scratch{"merge"};
  std::string Output = Scratch.File("out.gif");
  AnimatedGIF Merger;
};

const std::string LoopBlock =
    Bytes({0x21, 0xFF, 0x0B}) + "NETSCAPE2.0" + Bytes({0x03, 0x01, 0xE7, 0x03, 0x00});

TEST_F(MergeGifFramesTest, TwoFramesGiveTheWholeFileAndReplaceALongerOne) {
  // Frame files are found by the tempN.gif next to the name given, in a folder with a dot.
  std::filesystem::create_directories(Scratch.Folder / "v1.2");
  std::string first = ColourTable(4, 1), second = ColourTable(2, 50);
  Put("v1.2/temp1.gif", GifFile(0x91, first, ImageBlock()));
  Put("v1.2/temp2.gif", GifFile(0x80, second, ImageBlock()));
  Put("out.gif", std::string(5000, 'x'));
  // The third entry repeats the first pose and is neither read nor merged.
  ExportResult result = Merger.MergeGifFrames(
      {Scratch.File("v1.2/temp1.bmp"), Scratch.File("v1.2/temp2"), Scratch.File("absent.gif")}, 3,
      Output, 420, 300, 10);
  ASSERT_TRUE(result.Ok) << result.Message;
  EXPECT_EQ(ReadWholeFile(Output), "GIF89a" + Bytes({0xA4, 1, 0x2C, 1, 0x91, 0, 0}) + first +
                                       LoopBlock + Control(0, 10) + ImageBlock(0x81, first) +
                                       Control(0, 10) + ImageBlock(0x80, second) + Bytes({0x3B}));
}

TEST_F(MergeGifFramesTest, AnyUnreadableFrameSuppressesTheOutputAndMergesStartAfresh) {
  std::string good = Put("temp1.gif", GifFile(0x80, ColourTable(2), ImageBlock()));
  const std::string damaged = ReadWholeFile(good).substr(0, 30);
  for (const std::string& bad :
       {Scratch.File("absent.gif"), Put("temp4.gif", "BM not a gif"), Put("temp5.gif", damaged)})
    for (int at = 0; at < 3; ++at) {
      std::vector<std::string> files(3, good);
      files[at] = bad;
      ExportResult result = Merger.MergeGifFrames(files, 4, Output, 0, 0, 10);
      EXPECT_FALSE(result.Ok);
      EXPECT_EQ(result.Message, "An error has occured reading the files") << bad << " at " << at;
    }
  EXPECT_FALSE(Merger.MergeGifFrames({good}, 1, Output, 0, 0, 10).Ok);  // no frames to merge
  EXPECT_FALSE(std::filesystem::exists(Output));

  // A second merge starts without the previous palette.
  std::string global = Put("a.gif", GifFile(0x80, ColourTable(2), ImageBlock()));
  std::string local = Put("b.gif", GifFile(0x00, {}, ImageBlock(0x80, ColourTable(2))));
  ASSERT_TRUE(Merger.MergeGifFrames({global}, 2, Output, 0, 0, 10).Ok);
  ASSERT_TRUE(Merger.MergeGifFrames({local}, 2, Output, 0, 0, 10).Ok);
  std::string expected = "GIF89a" + Bytes({0, 0, 0, 0, 0x00, 0, 0}) + LoopBlock;
  EXPECT_EQ(ReadWholeFile(Output).substr(0, expected.size()), expected);
  // Nor does a later frame file borrow an earlier file's palette.
  std::string bare = Put("c.gif", GifFile(0x00, {}, ImageBlock()));
  EXPECT_FALSE(Merger.MergeGifFrames({global, bare}, 3, Output, 0, 0, 10).Ok);
}

}  // namespace
}  // namespace flinder
