// The caption as outlines: the contours FreeType fills for each glyph's
// bitmap, placed where FontFace::Draw blends that bitmap.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include "render/FontFace.h"
#include "render/Utf8.h"

namespace flinder {
namespace {

using Point = CaptionOutline::Point;
using Step = CaptionOutline::Step;

// Gathers one glyph's contours, shifted from its pen position on the
// baseline to the picture; FreeType's y points up, the picture's down.
struct Contours {
  CaptionOutline& Into;
  double PenX, Baseline;
  bool Open = false;

  Point At(const FT_Vector* v) const { return {PenX + v->x / 64.0, Baseline - v->y / 64.0}; }
  void Add(Step kind, std::initializer_list<const FT_Vector*> points) {
    CaptionOutline::Segment segment{kind, {}};
    std::size_t i = 0;
    for (const FT_Vector* v : points) segment.Points[i++] = At(v);
    Into.Segments.push_back(segment);
  }
  void CloseContour() {
    if (Open) Into.Segments.push_back({Step::Close, {}});
    Open = false;
  }
};

Contours& Of(void* user) {
  return *static_cast<Contours*>(user);
}

int MoveTo(const FT_Vector* to, void* user) {
  Contours& c = Of(user);
  c.CloseContour();
  c.Add(Step::Move, {to});
  c.Open = true;
  return 0;
}
int LineTo(const FT_Vector* to, void* user) {
  Of(user).Add(Step::Line, {to});
  return 0;
}
int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
  Of(user).Add(Step::Quadratic, {control, to});
  return 0;
}
int CubicTo(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
  Of(user).Add(Step::Cubic, {c1, c2, to});
  return 0;
}

}  // namespace

CaptionOutline FontFace::Outline(std::string_view text, float left, float top) {
  CaptionOutline outline;
  long long originX = 0, baseline = 0;
  if (!Origin(left, top, originX, baseline)) return outline;
  outline.Origin = {static_cast<double>(originX), static_cast<double>(baseline)};
  static const FT_Outline_Funcs steps{MoveTo, LineTo, ConicTo, CubicTo, 0, 0};
  long long pen = originX;
  for (char32_t code : DecodeUtf8(text)) {
    // The bitmap's advance, and only glyphs with pixels, as Draw has them.
    const Glyph& glyph = GlyphFor(code);
    const long long at = pen;
    pen += glyph.Advance;
    if (glyph.Coverage.empty() || !LoadOutline(code)) continue;
    FT_Outline& contours = face_->glyph->outline;
    Contours into{outline, static_cast<double>(at), static_cast<double>(baseline)};
    if (FT_Outline_Decompose(&contours, &steps, &into) != 0) continue;
    into.CloseContour();
    if (contours.flags & FT_OUTLINE_EVEN_ODD_FILL) outline.EvenOdd = true;
  }
  auto stroke = [&](const Stroke& band) {
    if (pen > originX)
      outline.Strokes.push_back({static_cast<int>(originX), static_cast<int>(baseline + band.Top),
                                 static_cast<int>(pen - originX), band.Thickness});
  };
  if (font_.FontUnderline) stroke(underline_);
  if (font_.FontStrikethru) stroke(strikethrough_);
  return outline;
}

}  // namespace flinder
