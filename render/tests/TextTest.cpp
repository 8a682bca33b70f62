#include <gtest/gtest.h>

#include <algorithm>

#include "render/DrawingSurface.h"
#include "render/FontFace.h"
#include "render/Utf8.h"

namespace flinder {
namespace {

constexpr ColourValue Ink = MakeColour(200, 30, 60);

int InkedPixels(const Raster& raster) {
  return static_cast<int>(std::count_if(raster.Pixels.begin(), raster.Pixels.end(),
                                        [](ColourValue c) { return c != 0; }));
}

// Ink on black, the text's top-left corner at (x, y).
DrawingSurface Printed(int w, int h, float x, float y, std::string_view text,
                       const CaptionFont& font = {}) {
  DrawingSurface s(w, h);
  s.SetBackColor(0);
  s.SetForeColor(Ink);
  s.SetFont(font);
  s.SetCurrentPosition(x, y);
  s.PrintText(text);
  return s;
}

TEST(PrintText, BlendsOnlyGlyphPixelsAndMovesToTheNextLine) {
  // Every pixel differs from its neighbours: no changed pixel passes unnoticed.
  DrawingSurface s(120, 60);
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 120; ++x) s.Row(y)[x] = MakeColour((x * 7) % 256, (y * 11) % 256, 90);
  s.SetForeColor(Ink);
  s.SetFont({"Arial", 12, false});
  const Raster before = s.Capture();
  s.SetCurrentPosition(10.5f, 8.25f);
  s.PrintText("Flinder");
  EXPECT_EQ(s.CurrentX(), 0);
  const float line = s.CurrentY() - 8.25f;  // 16 pixels of em (not 12) and the margins
  EXPECT_GE(line, 17);
  EXPECT_LE(line, 20);
  const Raster after = s.Capture();
  auto between = [](int v, int a, int b) { return std::min(a, b) <= v && v <= std::max(a, b); };
  int changed = 0, partial = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 120; ++x) {
      ColourValue was = before.At(x, y), now = after.At(x, y);
      if (was == now) continue;
      ++changed;
      partial += now != Ink;
      // Inside the line box, and between the old colour and the ink.
      EXPECT_TRUE(y >= 8 && y < 8 + line && x >= 9) << x << "," << y;
      for (auto part : {RedOf, GreenOf, BlueOf})
        EXPECT_TRUE(between(part(now), part(was), part(Ink))) << x << "," << y;
    }
  EXPECT_GT(changed, 80);
  EXPECT_GT(partial, 10);  // anti-aliased edges
}

TEST(PrintText, ClipsAtTheRasterEdges) {
  // Across the corner of a small surface and well inside a larger one, the
  // same text leaves the same pixels where the two overlap.
  const std::string caption = "Clipped Wg";
  DrawingSurface small = Printed(40, 12, -6, -5, caption),
                 large = Printed(120, 52, 14, 15, caption);
  int inked = 0;
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 40; ++x) {
      EXPECT_EQ(small.ReadPoint(x, y), large.ReadPoint(x + 20, y + 20)) << x << "," << y;
      inked += small.ReadPoint(x, y) != 0;
    }
  EXPECT_GT(inked, 20);
  // Text at the far corner draws nothing and does not wrap round.
  EXPECT_EQ(Printed(40, 12, 39.6f, 11.6f, caption).Capture(), Raster(40, 12, 0));
}

TEST(PrintText, UnderlineAndStrikethroughAreSolidStrokesAcrossTheText) {
  CaptionFont font;
  font.FontUnderline = font.FontStrikethru = true;
  DrawingSurface s = Printed(100, 40, 10, 5, "    ", font);  // spaces: only strokes show
  std::vector<int> rows;
  for (int y = 0; y < 40; ++y)
    if (s.ReadPoint(10, y) == Ink) {
      rows.push_back(y);
      EXPECT_EQ(s.ReadPoint(9, y), 0);
      EXPECT_EQ(s.ReadPoint(20, y), Ink);
    }
  ASSERT_FALSE(rows.empty());
  EXPECT_GT(rows.back() - rows.front() + 1, static_cast<int>(rows.size()));  // two bands
  // The strikethrough is the upper one; a font change shows at the next print.
  font.FontUnderline = false;
  s.SetFont(font);
  s.Clear();
  s.SetCurrentPosition(10, 5);
  s.PrintText("    ");
  EXPECT_EQ(s.ReadPoint(10, rows.front()), Ink);
  EXPECT_EQ(s.ReadPoint(10, rows.back()), 0);
  EXPECT_EQ(Printed(100, 40, 10, 5, "    ").Capture(), Raster(100, 40, 0));
  // A stroke wider than the surface stops at its right edge: the first
  // column of the rows below stays untouched.
  font.FontUnderline = true;
  DrawingSurface narrow = Printed(30, 40, 4, 5, "                ", font);
  for (int y : rows) EXPECT_EQ(narrow.ReadPoint(29, y), Ink);
  for (int y = 0; y < 40; ++y) EXPECT_EQ(narrow.ReadPoint(0, y), 0) << y;
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
  Raster raster(80, 30, 0);
  fallback.Draw(raster, "Flinder", 2, 2, Ink);
  EXPECT_GT(InkedPixels(raster), 50);
  // A missing file or absurd sizes and positions draw nothing and do no harm.
  FontFace missing({"Arial", 12}, FontFile{"/nonexistent/font.ttf", 0});
  EXPECT_FALSE(missing.Loaded());
  EXPECT_EQ(missing.LineHeight(), 16);  // still a line to move down by
  FontFace tiny({"Arial", 0}), huge({"Arial", 1e9f});
  EXPECT_GT(tiny.LineHeight(), 0);
  raster = Raster(20, 20, 0);
  missing.Draw(raster, "Flinder", 0, 0, Ink);
  tiny.Draw(raster, "x", 1e30f, -1e30f, Ink);
  huge.Draw(raster, "x", -1e6f, 0, Ink);
  EXPECT_EQ(InkedPixels(raster), 0);
}

TEST(DecodeUtf8, DecodesGoodSequencesAndReplacesEachBadByte) {
  EXPECT_EQ(DecodeUtf8("A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80"), U"A\u00E9\u20AC\U0001F600");
  // A stray continuation byte, a truncated sequence, an overlong slash and a
  // surrogate each become U+FFFD; the letters around them survive.
  EXPECT_EQ(DecodeUtf8("a\x80z"), U"a\uFFFDz");
  EXPECT_EQ(DecodeUtf8("a\xE2\x82"), U"a\uFFFD\uFFFD");
  EXPECT_EQ(DecodeUtf8("\xC0\xAF!"), U"\uFFFD\uFFFD!");
  EXPECT_EQ(DecodeUtf8("\xED\xA0\x80"), U"\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(DecodeUtf8("\xE2\x82x"), U"\uFFFD\uFFFDx");
}

}  // namespace
}  // namespace flinder
