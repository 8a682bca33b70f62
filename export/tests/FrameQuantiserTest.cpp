#include <gtest/gtest.h>

#include <set>

#include "DesignFrames.h"
#include "export/FrameQuantiser.h"

namespace flinder {
namespace {

Raster Colours(const IndexedFrame& frame) {
  Raster raster(frame.Width, frame.Height);
  for (std::size_t p = 0; p < raster.Pixels.size(); ++p)
    raster.Pixels[p] = frame.Palette.at(frame.Indexes[p]);
  return raster;
}

Raster FewColours(int count, int seed) {
  Raster raster(64, 64);
  for (std::size_t p = 0; p < raster.Pixels.size(); ++p)
    raster.Pixels[p] = MakeColour(static_cast<int>((p * 7 + seed) % count), 90, 200);
  return raster;
}

TEST(FrameQuantiserTest, FramesOfAtMost256ColoursStayExact) {
  FrameQuantiser quantiser;
  for (int seed : {0, 5, 99}) {
    Raster frame = FewColours(256, seed);
    IndexedFrame out = quantiser.Quantise(frame);
    EXPECT_EQ(out.Palette.size(), 256u);
    EXPECT_EQ(Colours(out), frame) << "seed " << seed;
  }
  EXPECT_EQ(Colours(quantiser.Quantise(Raster(3, 1, 0x123456))), Raster(3, 1, 0x123456));
}

TEST(FrameQuantiserTest, RicherFramesAreQuantisedClosely) {
  Raster frame = DesignFrame(0);
  std::set<ColourValue> distinct(frame.Pixels.begin(), frame.Pixels.end());
  ASSERT_GT(distinct.size(), 420u);

  FrameQuantiser quantiser;
  IndexedFrame out = quantiser.Quantise(frame);
  EXPECT_LE(out.Palette.size(), 256u);
  ColourError error = CompareRasters(frame, Colours(out));
  EXPECT_LE(error.Max, 40);
  EXPECT_LT(error.Mean, 0.4);
  EXPECT_GT(error.Psnr, 45);
}

TEST(FrameQuantiserTest, StillPixelsKeepTheirColourFromFrameToFrame) {
  FrameQuantiser quantiser;
  Raster previousSource, previousOutput;
  for (int step = 0; step < 12; ++step) {
    Raster frame = DesignFrame(step);
    Raster output = Colours(quantiser.Quantise(frame));
    EXPECT_GT(CompareRasters(frame, output).Psnr, 43) << "step " << step;
    if (step > 0) {
      int shimmering = 0;
      for (std::size_t p = 0; p < frame.Pixels.size(); ++p)
        if (frame.Pixels[p] == previousSource.Pixels[p] &&
            output.Pixels[p] != previousOutput.Pixels[p])
          ++shimmering;
      EXPECT_EQ(shimmering, 0) << "step " << step;
    }
    previousSource = frame;
    previousOutput = output;
  }
}

}  // namespace
}  // namespace flinder
