#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "design/ShapeSettings.h"
#include "render/CaptionOutline.h"
#include "render/FontMatch.h"
#include "render/Raster.h"

struct FT_LibraryRec_;
struct FT_FaceRec_;

namespace flinder {

// One caption font opened with FreeType at 96 pixels per inch (12 points are
// 16 pixels), keeping the bitmap of every glyph it has drawn, so printing the
// same caption again costs little more than blending its pixels.
class FontFace {
 public:
  // The face fontconfig matches for the font.
  explicit FontFace(const CaptionFont& font);
  FontFace(const CaptionFont& font, const FontFile& file);
  ~FontFace();
  FontFace(const FontFace&) = delete;
  FontFace& operator=(const FontFace&) = delete;

  const CaptionFont& Font() const { return font_; }
  // False when the font file could not be opened; such a face draws nothing.
  bool Loaded() const { return face_ != nullptr; }
  std::string StyleName() const;
  // Pixels from the top of one text line to the top of the next.
  int LineHeight() const { return lineHeight_; }

  // Blends the text into the raster with the top-left corner of its line box
  // at (left, top): each glyph pixel moves towards `colour` by its coverage,
  // underline and strikethrough strokes are solid, every other pixel stays.
  // Whatever falls off the raster is dropped. `keepCoverage`: over pixels
  // where background shows, the glyph is laid over as straight alpha.
  void Draw(Raster& raster, std::string_view text, float left, float top, ColourValue colour,
            bool keepCoverage = false);
  // The shapes Draw paints for the same text and corner: each glyph's
  // outline as loaded for its bitmap, at the same pen positions, and the
  // strokes; nothing when Draw would paint nothing.
  CaptionOutline Outline(std::string_view text, float left, float top);
  // Where Draw puts the pen's start on the baseline for that corner; false
  // when it paints nothing there (no font, or a corner too far away).
  bool Origin(float left, float top, long long& x, long long& baseline) const;

 private:
  struct Glyph {
    int Left = 0, Top = 0;  // bitmap corner from the pen position on the baseline
    int Width = 0, Rows = 0;
    int Advance = 0;
    std::vector<std::uint8_t> Coverage;
  };
  // A horizontal band of solid rows, `top` counted down from the baseline.
  struct Stroke {
    int Top = 0, Thickness = 0;
  };

  void Open(const FontFile& file);
  // Loads the glyph's outline into the face's slot as Render draws it; false when it cannot.
  bool LoadOutline(char32_t code) const;
  void MeasureStrokes();
  const Glyph& GlyphFor(char32_t code);
  Glyph Render(char32_t code) const;

  CaptionFont font_;
  FT_LibraryRec_* library_ = nullptr;
  FT_FaceRec_* face_ = nullptr;
  // Bold or italic asked of a face that lacks it is made up from the outline.
  bool emboldenOutline_ = false, slantOutline_ = false;
  int ascent_ = 0, lineHeight_ = 0;
  Stroke underline_, strikethrough_;
  std::unordered_map<char32_t, Glyph> glyphs_;
};

}  // namespace flinder
