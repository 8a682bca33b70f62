#include <gtest/gtest.h>

#include "render/SliderThumb.h"

namespace flinder {
namespace {

constexpr ColourValue Thumb = MakeColour(64, 64, 148);
constexpr ColourValue Line = MakeColour(192, 96, 192);

// One row of the track as letters: '.' track, 'b' thumb, 'l' centre line.
std::string Row(const DrawingSurface& track, int y) {
  std::string row;
  for (int x = 0; x < track.Width(); ++x) {
    ColourValue c = track.ReadPoint(static_cast<float>(x), static_cast<float>(y));
    row += c == Thumb ? 'b' : c == Line ? 'l' : c == SliderTrackColour ? '.' : '?';
  }
  return row;
}

TEST(SliderThumb, TheThumbFollowsThePositionAndIsCutAtTheEnds) {
  DrawingSurface track(20, 9);
  track.SetBackColor(SliderTrackColour);
  DrawSliderThumb(track, 0.5f);
  EXPECT_EQ(Row(track, 0), "....................");
  EXPECT_EQ(Row(track, 1), ".......bbbbbbb......");
  EXPECT_EQ(Row(track, 4), ".......bbblbbb......");
  EXPECT_EQ(Row(track, 7), ".......bbblbbb......");
  EXPECT_EQ(Row(track, 8), "....................");

  // Redrawing clears the old thumb; at 0 and 1 only the inner half shows.
  DrawSliderThumb(track, 0);
  EXPECT_EQ(Row(track, 4), "lbbb................");
  DrawSliderThumb(track, 1);
  EXPECT_EQ(Row(track, 4), ".................bbb");
  EXPECT_EQ(Row(track, 1), ".................bbb");
}

}  // namespace
}  // namespace flinder
