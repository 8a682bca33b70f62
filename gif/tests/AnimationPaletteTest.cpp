#include <gtest/gtest.h>

#include <algorithm>

#include "gif/AnimationPalette.h"
#include "gif/ColourQuantiser.h"

namespace flinder {
namespace {

constexpr ColourValue Grey(int level) {
  return MakeColour(level, level, level);
}

// Each entry ends at the rounded weighted mean of the colours it stands for:
// three pixels of 0 and one of 11, 7 or 3 make 2.75, 1.75 and 0.75.
TEST(ColourQuantiser, EntriesAreRoundedWeightedMeans) {
  const std::vector<ColourCount> histogram = {
      {MakeColour(0, 0, 0), 3}, {MakeColour(11, 7, 3), 1}, {MakeColour(250, 250, 250), 1000}};
  std::vector<ColourValue> palette = QuantiseColours(histogram, 2);
  std::sort(palette.begin(), palette.end());
  EXPECT_EQ(palette, (std::vector<ColourValue>{MakeColour(3, 2, 1), MakeColour(250, 250, 250)}));
}

// The colour that changes in most frames comes first, even when another
// colour has more pixels; every colour still maps to its own entry.
TEST(AnimationPalette, OrderByUsePutsTheMostChangingColourFirst) {
  const ColourValue still = Grey(10), growing = Grey(200), rare = Grey(90);
  std::vector<Raster> frames;
  for (int i = 0; i < 4; ++i) {
    Raster frame(8, 8, still);
    for (int x = 0; x <= i; ++x) frame.At(x, 0) = growing;  // grows by one each frame
    if (i == 2) frame.At(7, 7) = rare;
    frames.push_back(frame);
  }
  AnimationPalette palette;
  for (std::size_t i = 0; i < frames.size(); ++i) {
    palette.AddFrame(frames[i]);
    if (i > 0) palette.AddChanges(frames[i - 1], frames[i]);
  }
  palette.Build();
  palette.OrderByUse();
  ASSERT_EQ(palette.Colours().size(), 3u);
  EXPECT_EQ(palette.Colours()[0], growing);
  EXPECT_EQ(palette.Colours()[1], still);  // changed to once, like rare, but more pixels
  const IndexedFrame mapped = palette.Map(frames[2]);
  for (std::size_t p = 0; p < mapped.Indexes.size(); ++p)
    EXPECT_EQ(palette.Colours()[mapped.Indexes[p]], frames[2].Pixels[p]);
}

}  // namespace
}  // namespace flinder
