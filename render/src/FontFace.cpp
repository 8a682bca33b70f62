#include "render/FontFace.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>

#include "render/Utf8.h"

namespace flinder {
namespace {

constexpr double PixelsPerPoint = 96.0 / 72.0;
// Sizes outside this range come only from a damaged design file.
constexpr float SmallestPoints = 1, LargestPoints = 1000;

float PointSize(const CaptionFont& font) {
  if (!(font.FontSize >= SmallestPoints)) return SmallestPoints;  // NaN too
  return std::min(font.FontSize, LargestPoints);
}

// 26.6 fixed point to whole pixels.
int RoundPixels(FT_Pos value) {
  return static_cast<int>(std::lround(value / 64.0));
}

std::uint8_t Mix(int from, int to, int weight) {
  return static_cast<std::uint8_t>((from * (255 - weight) + to * weight + 127) / 255);
}

ColourValue Blend(ColourValue under, ColourValue over, int weight) {
  if (weight >= 255) return over;
  return MakeColour(Mix(RedOf(under), RedOf(over), weight),
                    Mix(GreenOf(under), GreenOf(over), weight),
                    Mix(BlueOf(under), BlueOf(over), weight));
}

// `over` at `weight` laid on a pixel through which the background shows by
// BackgroundShowing: the alphas add up as in the usual "over" compositing,
// and the colour is the two colours weighed by their shares of it.
ColourValue LayOver(ColourValue under, ColourValue over, int weight) {
  const int showing = BackgroundShowing(under);
  if (showing == 0 || weight >= 255) return Blend(under, over, weight);
  const int underAlpha = 255 - showing;
  // Both weighed by 255 x 255 so that integers stay exact.
  const int overShare = weight * 255, underShare = underAlpha * (255 - weight);
  const int total = overShare + underShare;
  auto mix = [&](int a, int b) { return (b * overShare + a * underShare + total / 2) / total; };
  const int alpha = (total + 127) / 255;
  return MakeColour(mix(RedOf(under), RedOf(over)), mix(GreenOf(under), GreenOf(over)),
                    mix(BlueOf(under), BlueOf(over))) |
         static_cast<ColourValue>(static_cast<std::uint32_t>(255 - alpha) << 24);
}

// Positions beyond this reach cannot bring a caption onto any raster and
// would overflow the pixel arithmetic.
constexpr double FarAway = 1e7;

}  // namespace

FontFace::FontFace(const CaptionFont& font) : FontFace(font, MatchFont(font)) {}

FontFace::FontFace(const CaptionFont& font, const FontFile& file) : font_(font) {
  // Without a face a printed line still takes its height.
  lineHeight_ = static_cast<int>(std::lround(PointSize(font_) * PixelsPerPoint));
  Open(file);
}

FontFace::~FontFace() {
  if (face_) FT_Done_Face(face_);
  if (library_) FT_Done_FreeType(library_);
}

void FontFace::Open(const FontFile& file) {
  if (file.Path.empty() || FT_Init_FreeType(&library_) != 0) {
    library_ = nullptr;
    return;
  }
  if (FT_New_Face(library_, file.Path.c_str(), file.Index, &face_) != 0) {
    face_ = nullptr;
    return;
  }
  const auto size = static_cast<FT_F26Dot6>(std::lround(PointSize(font_) * 64.0));
  if (!FT_IS_SCALABLE(face_) || FT_Set_Char_Size(face_, 0, size, 96, 96) != 0) {
    FT_Done_Face(face_);
    face_ = nullptr;
    return;
  }
  emboldenOutline_ = font_.FontBold && !(face_->style_flags & FT_STYLE_FLAG_BOLD);
  slantOutline_ = font_.FontItalic && !(face_->style_flags & FT_STYLE_FLAG_ITALIC);

  const FT_Size_Metrics& metrics = face_->size->metrics;
  ascent_ = static_cast<int>(std::ceil(metrics.ascender / 64.0));
  const int descent = static_cast<int>(std::ceil(-metrics.descender / 64.0));
  lineHeight_ = std::max(1, ascent_ + descent);
  MeasureStrokes();
}

void FontFace::MeasureStrokes() {
  const FT_Fixed scale = face_->size->metrics.y_scale;
  const int thickness = std::max(1, RoundPixels(FT_MulFix(face_->underline_thickness, scale)));
  // The underline position is the centre of the stroke, negative below the baseline.
  const double centre = -FT_MulFix(face_->underline_position, scale) / 64.0;
  underline_ = {static_cast<int>(std::lround(centre - thickness / 2.0)), thickness};
  if (underline_.Top < 1) underline_.Top = 1;

  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face_, FT_SFNT_OS2));
  if (os2 && os2->version != 0xFFFF && os2->yStrikeoutSize > 0) {
    // The OS/2 position is the top of the stroke, above the baseline.
    strikethrough_ = {-RoundPixels(FT_MulFix(os2->yStrikeoutPosition, scale)),
                      std::max(1, RoundPixels(FT_MulFix(os2->yStrikeoutSize, scale)))};
  } else {
    strikethrough_ = {-static_cast<int>(std::lround(ascent_ * 0.3)) - thickness, thickness};
  }
}

std::string FontFace::StyleName() const {
  return face_ && face_->style_name ? face_->style_name : "";
}

const FontFace::Glyph& FontFace::GlyphFor(char32_t code) {
  auto found = glyphs_.find(code);
  if (found == glyphs_.end()) found = glyphs_.emplace(code, Render(code)).first;
  return found->second;
}

bool FontFace::LoadOutline(char32_t code) const {
  const FT_UInt index = FT_Get_Char_Index(face_, code);  // 0, the missing-glyph box, is drawn too
  if (FT_Load_Glyph(face_, index, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) != 0) return false;
  FT_GlyphSlot slot = face_->glyph;
  if (emboldenOutline_) FT_GlyphSlot_Embolden(slot);
  if (slantOutline_) FT_GlyphSlot_Oblique(slot);
  return true;
}

bool FontFace::Origin(float left, float top, long long& x, long long& baseline) const {
  if (!face_ || !(std::fabs(left) < FarAway && std::fabs(top) < FarAway)) return false;
  x = std::llround(std::floor(left + 0.5));
  baseline = std::llround(std::floor(top + 0.5)) + ascent_;
  return true;
}

// A glyph that fails to load or render is kept as an empty one, so it is not
// tried again on every frame.
FontFace::Glyph FontFace::Render(char32_t code) const {
  Glyph glyph;
  if (!LoadOutline(code)) return glyph;
  FT_GlyphSlot slot = face_->glyph;
  glyph.Advance = RoundPixels(slot->advance.x);
  if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return glyph;

  const FT_Bitmap& bitmap = slot->bitmap;
  if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY || bitmap.num_grays != 256) return glyph;
  glyph.Left = slot->bitmap_left;
  glyph.Top = slot->bitmap_top;
  glyph.Width = static_cast<int>(bitmap.width);
  glyph.Rows = static_cast<int>(bitmap.rows);
  glyph.Coverage.resize(static_cast<std::size_t>(glyph.Width) * glyph.Rows);
  for (int row = 0; row < glyph.Rows; ++row) {
    const unsigned char* source = bitmap.buffer + static_cast<std::ptrdiff_t>(row) * bitmap.pitch;
    std::copy_n(source, glyph.Width, &glyph.Coverage[static_cast<std::size_t>(row) * glyph.Width]);
  }
  return glyph;
}

void FontFace::Draw(Raster& raster, std::string_view text, float left, float top,
                    ColourValue colour, bool keepCoverage) {
  long long originX = 0, baseline = 0;
  if (!Origin(left, top, originX, baseline)) return;

  long long pen = originX;
  for (char32_t code : DecodeUtf8(text)) {
    const Glyph& glyph = GlyphFor(code);
    const long long x0 = pen + glyph.Left, y0 = baseline - glyph.Top;
    pen += glyph.Advance;
    const long long fromRow = std::max(0LL, -y0),
                    toRow = std::min<long long>(glyph.Rows, raster.Height - y0);
    const long long fromCol = std::max(0LL, -x0),
                    toCol = std::min<long long>(glyph.Width, raster.Width - x0);
    for (long long row = fromRow; row < toRow; ++row) {
      const std::uint8_t* coverage = &glyph.Coverage[row * glyph.Width];
      ColourValue* pixels = &raster.At(0, static_cast<int>(y0 + row));
      for (long long col = fromCol; col < toCol; ++col) {
        if (coverage[col] == 0) continue;
        ColourValue& pixel = pixels[x0 + col];
        pixel = keepCoverage ? LayOver(pixel, colour, coverage[col])
                             : Blend(pixel, colour, coverage[col]);
      }
    }
  }

  auto stroke = [&](const Stroke& band) {
    const long long fromX = std::max(0LL, originX), toX = std::min<long long>(raster.Width, pen);
    for (int i = 0; i < band.Thickness; ++i) {
      const long long y = baseline + band.Top + i;
      if (y < 0 || y >= raster.Height || fromX >= toX) continue;
      ColourValue* row = &raster.At(0, static_cast<int>(y));
      std::fill(row + fromX, row + toX, colour);
    }
  };
  if (font_.FontUnderline) stroke(underline_);
  if (font_.FontStrikethru) stroke(strikethrough_);
}

}  // namespace flinder
