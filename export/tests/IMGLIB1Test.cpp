#include <gtest/gtest.h>

#include "DesignFrames.h"
#include "GifTestFiles.h"
#include "export/AnimatedGIF.h"
#include "export/BmpFile.h"
#include "export/IMGLIB1.h"

namespace flinder {
namespace {

TEST(GetFileFilterTest, ExtensionsChooseTypeAndFilter) {
  int type = 99;
  std::string extension = "Gif";
  EXPECT_EQ(GetFileFilter(extension, type), "GIF (*.gif)|*.gif");
  EXPECT_EQ(extension, "gif");
  EXPECT_EQ(type, GifImage);

  extension = "0";
  EXPECT_EQ(GetFileFilter(extension, type).substr(0, 45),
            "Images (*.jpg;*.gif;*.pcx;*.bmp;*.png;*.tif)|");
  EXPECT_EQ(type, AnyImageType);

  extension = "abc";
  EXPECT_EQ(GetFileFilter(extension, type), "");
  EXPECT_EQ(type, AnyImageType);
}

class IMGLIB1Test : public testing::Test {
 protected:
  // Loads `raster` into the module through a BMP file.
  void Load(const Raster& raster) {
    WriteWholeFile(Scratch.File("source.bmp"), EncodeBmp(raster));
    Images.ImageFileName = Scratch.File("source.bmp");
    ASSERT_TRUE(Images.LoadImageFile("bmp"));
  }

  ScratchFolder Scratch{"imglib"};
  IMGLIB1 Images;
};

TEST_F(IMGLIB1Test, BmpFramesBecomeLosslessOneImageGifs) {
  Raster frame(30, 20);
  for (std::size_t p = 0; p < frame.Pixels.size(); ++p)
    frame.Pixels[p] = MakeColour(static_cast<int>(p % 200), static_cast<int>(p % 200 / 3), 9);
  Load(frame);
  EXPECT_EQ(Images.CurrentImage(), frame);

  Images.ImageFileName = Scratch.File("temp1.gif");
  ASSERT_TRUE(Images.SaveImageFile("gif").Ok);
  std::string gif = ReadWholeFile(Scratch.File("temp1.gif"));
  EXPECT_EQ(static_cast<std::uint8_t>(gif[10]) & 0x87, 0x87);  // global table of 256 entries
  std::optional<DecodedGif> decoded = DecodeGif(gif);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->GlobalTableSize, 256);
  ASSERT_EQ(decoded->Images.size(), 1u);
  EXPECT_EQ(decoded->Images[0], frame);

  // Two colours still make a valid table.
  Load(Raster(5, 5, MakeColour(1, 2, 3)));
  Images.ImageFileName = Scratch.File("plain.gif");
  ASSERT_TRUE(Images.SaveImageFile("gif").Ok);
  decoded = DecodeGif(ReadWholeFile(Scratch.File("plain.gif")));
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->GlobalTableSize, 2);
  EXPECT_EQ(decoded->Images[0], Raster(5, 5, MakeColour(1, 2, 3)));
}

TEST_F(IMGLIB1Test, RicherPicturesWithoutAnAnimationPaletteAreQuantised) {
  Raster frame = DesignFrame(2);
  Load(frame);
  Images.ImageFileName = Scratch.File("alone.gif");
  ASSERT_TRUE(Images.SaveImageFile("gif").Ok);
  std::optional<DecodedGif> decoded = DecodeGif(ReadWholeFile(Scratch.File("alone.gif")));
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->GlobalTableSize, 256);
  EXPECT_GT(CompareRasters(frame, decoded->Images.at(0)).Psnr, 45);
}

TEST_F(IMGLIB1Test, ConvertedFramesMergeIntoAnAnimationWithAStillBackground) {
  std::vector<std::string> frameFiles;
  std::vector<Raster> frames;
  auto palette = std::make_shared<AnimationPalette>();
  for (int i = 1; i <= 3; ++i) {
    frames.push_back(DesignFrame(i));
    palette->AddFrame(frames.back());
  }
  palette->Build();
  Images.UseAnimationPalette(palette);
  for (int i = 1; i <= 3; ++i) {
    Load(frames[i - 1]);
    Images.ImageFileName = Scratch.File("temp" + std::to_string(i) + ".gif");
    ASSERT_TRUE(Images.SaveImageFile("gif").Ok);
    frameFiles.push_back(Images.ImageFileName);
  }
  AnimatedGIF merger;
  ASSERT_TRUE(merger.MergeGifFrames(frameFiles, 3, Scratch.File("out.gif"), 0, 0, 10).Ok);

  std::optional<DecodedGif> decoded = DecodeGif(ReadWholeFile(Scratch.File("out.gif")));
  ASSERT_TRUE(decoded);
  ASSERT_EQ(decoded->Images.size(), 2u);
  EXPECT_EQ(decoded->Delays, (std::vector<int>{10, 10}));
  for (std::size_t p = 0; p < frames[0].Pixels.size(); ++p)
    if (frames[0].Pixels[p] == frames[1].Pixels[p]) {
      ASSERT_EQ(decoded->Images[0].Pixels[p], decoded->Images[1].Pixels[p]) << "pixel " << p;
    }
}

TEST_F(IMGLIB1Test, SaveTakesTheTypeFromTheNameOrTheArgument) {
  Load(Raster(4, 3, MakeColour(9, 8, 7)));

  Images.ImageFileName = Scratch.File("noext");
  EXPECT_TRUE(Images.SaveImageFile("GIF").Ok);
  EXPECT_EQ(Images.ImageFileName, Scratch.File("noext.gif"));
  EXPECT_TRUE(DecodeGif(ReadWholeFile(Scratch.File("noext.gif"))));

  Images.ImageFileName = Scratch.File("picture.abc");
  EXPECT_TRUE(Images.SaveImageFile("bmp").Ok);
  EXPECT_TRUE(DecodeBmp(ReadWholeFile(Scratch.File("picture.abc"))));

  // The type falls back to JPEG, which is not provided.
  Images.ImageFileName = Scratch.File("picture.xyz");
  ExportResult jpeg = Images.SaveImageFile("xyz");
  EXPECT_FALSE(jpeg.Ok);
  EXPECT_EQ(jpeg.Message, "");
  EXPECT_FALSE(std::filesystem::exists(Scratch.File("picture.xyz")));

  for (auto [name, extension] : {std::pair{"bare", ""}, std::pair{"any.0", "gif"}}) {
    Images.ImageFileName = Scratch.File(name);
    EXPECT_EQ(Images.SaveImageFile(extension).Message,
              "File Not Saved!, Please specify a valid file type.")
        << name;
  }
}

TEST_F(IMGLIB1Test, LoadKeepsThePreviousPictureOnAnyFailure) {
  Raster first(2, 2, MakeColour(1, 1, 1));
  Load(first);

  WriteWholeFile(Scratch.File("broken.bmp"), "BM");
  WriteWholeFile(Scratch.File("picture.png"), EncodeBmp(Raster(2, 2)));
  for (const char* name : {"broken.bmp", "missing.bmp", "picture.png", "noext", ""}) {
    Images.ImageFileName = *name ? Scratch.File(name) : "";
    EXPECT_FALSE(Images.LoadImageFile("bmp")) << name;
  }
  EXPECT_EQ(Images.CurrentImage(), first);

  // The extension comes from the file name, not from a dot in a folder name.
  std::filesystem::create_directories(Scratch.Folder() / "a.b");
  Raster second(3, 1, MakeColour(4, 5, 6));
  WriteWholeFile(Scratch.File("a.b/temp1.bmp"), EncodeBmp(second));
  Images.ImageFileName = Scratch.File("a.b/temp1.bmp");
  EXPECT_TRUE(Images.LoadImageFile("jpg"));
  EXPECT_EQ(Images.CurrentImage(), second);
}

}  // namespace
}  // namespace flinder
