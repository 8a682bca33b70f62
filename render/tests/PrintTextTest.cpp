#include <gtest/gtest.h>

#include <algorithm>

#include "render/DrawingSurface.h"

namespace flinder {
namespace {

constexpr ColourValue Ink = MakeColour(200, 30, 60);

// A surface whose every pixel differs from its neighbours, so a pixel that
// changes cannot pass unnoticed.
DrawingSurface Patterned(int w, int h) {
  DrawingSurface s(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) s.Row(y)[x] = MakeColour((x * 7) % 256, (y * 11) % 256, 90);
  s.SetForeColor(Ink);
  return s;
}

bool Between(int value, int a, int b) {
  return std::min(a, b) <= value && value <= std::max(a, b);
}

TEST(PrintText, BlendsOnlyGlyphPixelsTowardsForeColor) {
  DrawingSurface s = Patterned(120, 40);
  const Raster before = s.Capture();
  s.SetCurrentPosition(10, 8);
  s.PrintText("Flinder");
  const Raster& after = s.Capture();
  int changed = 0, partial = 0, lineHeight = static_cast<int>(s.CurrentY()) - 8;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 120; ++x) {
      ColourValue was = before.At(x, y), now = after.At(x, y);
      if (was == now) continue;
      ++changed;
      partial += now != Ink;
      // Every changed pixel lies inside the line box and between its old
      // colour and the ink.
      EXPECT_TRUE(y >= 8 && y < 8 + lineHeight && x >= 9) << x << "," << y;
      EXPECT_TRUE(Between(RedOf(now), RedOf(was), RedOf(Ink)) &&
                  Between(GreenOf(now), GreenOf(was), GreenOf(Ink)) &&
                  Between(BlueOf(now), BlueOf(was), BlueOf(Ink)))
          << x << "," << y;
    }
  EXPECT_GT(changed, 80);
  EXPECT_GT(partial, 10);  // anti-aliased edges
}

TEST(PrintText, MovesToTheStartOfTheNextLine) {
  DrawingSurface s = Patterned(60, 60);
  s.SetFont(CaptionFont{"Arial", 12, false});
  s.SetCurrentPosition(13.5f, 4.25f);
  s.PrintText("Ab");
  EXPECT_EQ(s.CurrentX(), 0);
  const float line = s.CurrentY() - 4.25f;
  EXPECT_GE(line, 17);
  EXPECT_LE(line, 20);
  // Blank text draws nothing and still moves down a line.
  const Raster before = s.Capture();
  s.PrintText("   ");
  EXPECT_EQ(s.Capture(), before);
  EXPECT_EQ(s.CurrentY(), 4.25f + 2 * line);
}

TEST(PrintText, ClipsAtTheRasterEdges) {
  // The same text drawn across the corner of a small surface and well inside
  // a larger one leaves the same pixels where the two overlap.
  const std::string caption = "Clipped Wg";
  DrawingSurface small(40, 12), large(120, 52);
  small.SetBackColor(0);
  large.SetBackColor(0);
  small.SetForeColor(Ink);
  large.SetForeColor(Ink);
  small.SetCurrentPosition(-6, -5);
  small.PrintText(caption);
  large.SetCurrentPosition(14, 15);
  large.PrintText(caption);
  int inked = 0;
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 40; ++x) {
      EXPECT_EQ(small.ReadPoint(x, y), large.ReadPoint(x + 20, y + 20)) << x << "," << y;
      inked += small.ReadPoint(x, y) != 0;
    }
  EXPECT_GT(inked, 20);
  // Text at the far corner draws nothing and does not wrap round.
  DrawingSurface corner(40, 12);
  corner.SetBackColor(0);
  corner.SetForeColor(Ink);
  corner.SetCurrentPosition(39.6f, 11.6f);
  corner.PrintText(caption);
  EXPECT_EQ(corner.Capture(), Raster(40, 12, 0));
}

TEST(PrintText, UnderlineAndStrikethroughAreSolidStrokesAcrossTheText) {
  auto strokeRows = [](bool underline, bool strikethru) {
    DrawingSurface s(100, 40);
    s.SetBackColor(0);
    s.SetForeColor(Ink);
    CaptionFont font;
    font.FontUnderline = underline;
    font.FontStrikethru = strikethru;
    s.SetFont(font);
    s.SetCurrentPosition(10, 5);
    s.PrintText("    ");  // spaces: only the strokes show
    std::vector<int> rows;
    for (int y = 0; y < 40; ++y) {
      if (s.ReadPoint(10, y) != Ink) continue;
      rows.push_back(y);
      EXPECT_EQ(s.ReadPoint(9, y), 0);
      EXPECT_EQ(s.ReadPoint(20, y), Ink);
    }
    return rows;
  };
  const std::vector<int> under = strokeRows(true, false), strike = strokeRows(false, true);
  ASSERT_FALSE(under.empty());
  ASSERT_FALSE(strike.empty());
  EXPECT_LT(strike.back(), under.front());
  EXPECT_TRUE(strokeRows(false, false).empty());
}

TEST(PrintText, AFontChangeTakesEffectAtTheNextPrint) {
  auto print = [](DrawingSurface& s, const CaptionFont& font) {
    s.SetBackColor(0);
    s.SetForeColor(Ink);
    s.SetFont(font);
    s.SetCurrentPosition(2, 2);
    s.PrintText("Flinder");
    return s.Capture();
  };
  DrawingSurface s(90, 30), fresh(90, 30);
  CaptionFont bold, italic;
  italic.FontBold = false;
  italic.FontItalic = true;
  const Raster first = print(s, bold);
  const Raster second = print(s, italic);
  EXPECT_NE(first, second);
  EXPECT_EQ(second, print(fresh, italic));
}

}  // namespace
}  // namespace flinder
