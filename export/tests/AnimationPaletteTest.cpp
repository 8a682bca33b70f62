#include <gtest/gtest.h>

#include <map>
#include <set>
#include <stdexcept>

#include "DesignFrames.h"
#include "export/AnimationPalette.h"
#include "export/ColourQuantiser.h"

namespace flinder {
namespace {

Raster Colours(const IndexedFrame& frame) {
  Raster raster(frame.Width, frame.Height);
  for (std::size_t p = 0; p < raster.Pixels.size(); ++p)
    raster.Pixels[p] = frame.Palette.at(frame.Indexes[p]);
  return raster;
}

// `count` colours, each in runs of a few pixels, starting at colour `first`.
Raster FewColours(int count, int first) {
  Raster raster(64, 64);
  for (std::size_t p = 0; p < raster.Pixels.size(); ++p)
    raster.Pixels[p] = MakeColour(static_cast<int>((p / 3 + first) % count), 90, 200);
  return raster;
}

AnimationPalette BuiltFrom(const std::vector<Raster>& frames) {
  AnimationPalette palette;
  for (const Raster& frame : frames) palette.AddFrame(frame);
  palette.Build();
  return palette;
}

TEST(AnimationPaletteTest, AnimationsOfAtMost256ColoursStayExact) {
  // Each frame has 200 colours, all of them together 256.
  std::vector<Raster> frames = {FewColours(200, 0), FewColours(256, 56)};
  frames[0].Pixels[0] = MakeColour(255, 90, 200);
  AnimationPalette palette = BuiltFrom(frames);
  EXPECT_EQ(palette.Colours().size(), 256u);
  for (const Raster& frame : frames) EXPECT_EQ(Colours(palette.Map(frame)), frame);

  AnimationPalette single = BuiltFrom({Raster(3, 1, 0x123456)});
  EXPECT_EQ(single.Colours(), std::vector<ColourValue>{0x123456});
  EXPECT_EQ(Colours(single.Map(Raster(3, 1, 0x123456))), Raster(3, 1, 0x123456));
}

TEST(AnimationPaletteTest, RicherAnimationsAreQuantisedClosely) {
  // A blend of 420 rows alone has more than 256 colours; each stays within a
  // step of its own.
  Raster blend(8, 420);
  for (int y = 0; y < blend.Height; ++y)
    for (int x = 0; x < blend.Width; ++x) blend.At(x, y) = MakeColour(y * 255 / 419, y % 256, 40);
  IndexedFrame mapped = BuiltFrom({blend}).Map(blend);
  EXPECT_EQ(mapped.Palette.size(), 256u);
  EXPECT_LE(CompareRasters(blend, Colours(mapped)).Max, 2);

  std::vector<Raster> frames;
  for (int step = 0; step < 6; ++step) frames.push_back(DesignFrame(step));
  std::set<ColourValue> distinct(frames[0].Pixels.begin(), frames[0].Pixels.end());
  ASSERT_GT(distinct.size(), 420u);
  AnimationPalette palette = BuiltFrom(frames);
  EXPECT_EQ(palette.Colours().size(), 256u);
  for (const Raster& frame : frames) {
    ColourError error = CompareRasters(frame, Colours(palette.Map(frame)));
    EXPECT_LE(error.Max, 40);
    EXPECT_LT(error.Mean, 0.4);
    EXPECT_GT(error.Psnr, 45);
  }
}

TEST(AnimationPaletteTest, QuantisingUsesEveryEntryAllowed) {
  // The quantiser alone settles for fewer entries on an even blend.
  std::vector<ColourCount> blend;
  for (int i = 0; i < 300; ++i)
    blend.push_back({MakeColour(i * 255 / 299, 40 + i * 100 / 299, 200 - i * 150 / 299), 100});
  EXPECT_EQ(QuantiseColours(blend, 256).size(), 256u);
}

TEST(AnimationPaletteTest, EachColourKeepsOneOutputColourInEveryFrame) {
  std::vector<Raster> frames;
  for (int step = 0; step < 12; ++step) frames.push_back(DesignFrame(step));
  AnimationPalette palette = BuiltFrom(frames);
  std::map<ColourValue, ColourValue> output;
  int changed = 0;
  for (const Raster& frame : frames) {
    Raster mapped = Colours(palette.Map(frame));
    for (std::size_t p = 0; p < frame.Pixels.size(); ++p) {
      auto [entry, added] = output.try_emplace(frame.Pixels[p], mapped.Pixels[p]);
      if (!added && entry->second != mapped.Pixels[p]) ++changed;
    }
  }
  EXPECT_EQ(changed, 0);
}

TEST(AnimationPaletteTest, UnseenColoursTakeTheNearestEntry) {
  AnimationPalette palette =
      BuiltFrom({Raster(2, 1, MakeColour(0, 0, 0)), Raster(2, 1, MakeColour(200, 200, 200))});
  Raster other(3, 1);
  other.Pixels = {MakeColour(10, 20, 0), MakeColour(180, 255, 190), MakeColour(0, 0, 0)};
  EXPECT_EQ(Colours(palette.Map(other)).Pixels,
            (std::vector<ColourValue>{MakeColour(0, 0, 0), MakeColour(200, 200, 200),
                                      MakeColour(0, 0, 0)}));

  AnimationPalette empty;
  EXPECT_THROW(empty.Map(other), std::logic_error);
  empty.Build();
  EXPECT_EQ(empty.Map(other).Indexes, (std::vector<std::uint8_t>{0, 0, 0}));
}

}  // namespace
}  // namespace flinder
