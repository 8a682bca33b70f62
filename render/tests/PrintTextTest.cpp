#include <gtest/gtest.h>

#include <algorithm>

#include "render/DrawingSurface.h"

namespace flinder {
namespace {

constexpr ColourValue Ink = MakeColour(200, 30, 60);

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

}  // namespace
}  // namespace flinder
