#include <gtest/gtest.h>

#include <algorithm>

#include "render/FontFace.h"

namespace flinder {
namespace {

constexpr ColourValue White = 0xFFFFFF;

int ChangedPixels(const Raster& raster) {
  return static_cast<int>(raster.Pixels.size() -
                          std::count(raster.Pixels.begin(), raster.Pixels.end(), White));
}

TEST(FontFace, EveryStyleResolvesToAFaceOfThatStyleAndUnknownNamesFallBack) {
  for (auto [bold, italic, style] : {std::tuple{false, false, "Regular"},
                                     {true, false, "Bold"},
                                     {false, true, "Italic"},
                                     {true, true, "Bold Italic"}}) {
    FontFace face(CaptionFont{"Arial", 12, bold, italic});
    ASSERT_TRUE(face.Loaded());
    EXPECT_EQ(face.StyleName(), style);
  }
  // An unknown name falls back to the default face, so the text still shows.
  FontFace fallback({"No Such Face At All", 11.25f, true});
  Raster raster(80, 30, White);
  fallback.Draw(raster, "Flinder", 2, 2, 0);
  EXPECT_GT(ChangedPixels(raster), 50);
  // A missing file or absurd sizes and positions draw nothing and do no harm.
  FontFace missing({"Arial", 12}, FontFile{"/nonexistent/font.ttf", 0});
  EXPECT_FALSE(missing.Loaded());
  EXPECT_EQ(missing.LineHeight(), 16);  // still a line to move down by
  FontFace tiny({"Arial", 0}), huge({"Arial", 1e9f});
  EXPECT_GT(tiny.LineHeight(), 0);
  raster = Raster(20, 20, White);
  missing.Draw(raster, "Flinder", 0, 0, 0);
  tiny.Draw(raster, "x", 1e30f, -1e30f, 0);
  huge.Draw(raster, "x", -1e6f, 0, 0);
  EXPECT_EQ(ChangedPixels(raster), 0);
}

}  // namespace
}  // namespace flinder
