#include <gtest/gtest.h>

#include <algorithm>

#include "render/FontFace.h"

namespace flinder {
namespace {

constexpr ColourValue White = 0xFFFFFF;

CaptionFont Font(const std::string& name, float size, bool bold = false, bool italic = false) {
  CaptionFont font;
  font.FontName = name;
  font.FontSize = size;
  font.FontBold = bold;
  font.FontItalic = italic;
  return font;
}

int ChangedPixels(const Raster& raster, ColourValue background) {
  return static_cast<int>(std::count_if(raster.Pixels.begin(), raster.Pixels.end(),
                                        [&](ColourValue p) { return p != background; }));
}

TEST(FontFace, ArialResolvesToAMetricCompatibleFaceInEveryStyle) {
  FontFace regular(Font("Arial", 12));
  FontFace bold(Font("Arial", 12, true));
  FontFace italic(Font("Arial", 12, false, true));
  FontFace both(Font("Arial", 12, true, true));
  for (const FontFace* face : {&regular, &bold, &italic, &both}) {
    ASSERT_TRUE(face->Loaded());
    EXPECT_EQ(face->FamilyName(), "Liberation Sans");
  }
  EXPECT_EQ(regular.StyleName(), "Regular");
  EXPECT_EQ(bold.StyleName(), "Bold");
  EXPECT_EQ(italic.StyleName(), "Italic");
  EXPECT_EQ(both.StyleName(), "Bold Italic");
  EXPECT_NE(MatchFont(Font("Arial", 12)).Path, MatchFont(Font("Arial", 12, true)).Path);
}

TEST(FontFace, SizesAreTakenAtNinetySixPixelsPerInch) {
  // A 12-point line is 16 pixels of em plus the face's ascent and descent
  // margins; twice the size gives about twice the height.
  FontFace twelve(Font("Arial", 12)), twentyFour(Font("Arial", 24));
  EXPECT_GE(twelve.LineHeight(), 17);
  EXPECT_LE(twelve.LineHeight(), 20);
  EXPECT_NEAR(twentyFour.LineHeight(), 2 * twelve.LineHeight(), 2);

  // The capital H of a sans face is about 0.72 em: 11 or 12 pixels at 16.
  Raster raster(40, 40, White);
  twelve.Draw(raster, "H", 5, 5, 0);
  int top = 40, bottom = -1;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x)
      if (raster.At(x, y) != White) top = std::min(top, y), bottom = std::max(bottom, y);
  EXPECT_GE(bottom - top + 1, 11);
  EXPECT_LE(bottom - top + 1, 12);
}

TEST(FontFace, UnknownNameFallsBackToTheDefaultFaceAndStillDraws) {
  FontFace face(Font("No Such Face At All", 11.25f, true));
  ASSERT_TRUE(face.Loaded());
  Raster raster(80, 30, White);
  face.Draw(raster, "Flinder", 2, 2, 0);
  EXPECT_GT(ChangedPixels(raster, White), 50);
}

TEST(FontFace, MissingFontFileDrawsNothingButKeepsALineHeight) {
  FontFace face(Font("Arial", 12), FontFile{"/nonexistent/font.ttf", 0});
  EXPECT_FALSE(face.Loaded());
  EXPECT_EQ(face.LineHeight(), 16);
  Raster raster(40, 20, White);
  face.Draw(raster, "Flinder", 0, 0, 0);
  EXPECT_EQ(ChangedPixels(raster, White), 0);
}

TEST(FontFace, ABoldAskedOfARegularOnlyFaceIsMadeUp) {
  // The regular file asked for bold comes out heavier than drawn regular.
  const FontFile file = MatchFont(Font("Arial", 12));
  FontFace plain(Font("Arial", 12), file), heavy(Font("Arial", 12, true), file);
  Raster a(80, 30, White), b(80, 30, White);
  plain.Draw(a, "llll", 2, 2, 0);
  heavy.Draw(b, "llll", 2, 2, 0);
  EXPECT_GT(ChangedPixels(b, White), ChangedPixels(a, White));
}

TEST(FontFace, AbsurdSizesAndPositionsAreHarmless) {
  Raster raster(20, 20, White);
  FontFace tiny(Font("Arial", 0)), huge(Font("Arial", 1e9f));
  EXPECT_GT(tiny.LineHeight(), 0);
  tiny.Draw(raster, "x", 1e30f, -1e30f, 0);
  huge.Draw(raster, "x", -1e6f, 0, 0);
  EXPECT_EQ(ChangedPixels(raster, White), 0);
}

}  // namespace
}  // namespace flinder
