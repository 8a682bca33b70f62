#pragma once

#include <array>
#include <vector>

namespace flinder {

// A caption as the shapes its pixels are painted from: the glyphs' contours
// and the underline and strikethrough bands, in picture coordinates (pixel
// edges, y down), so that a vector picture shows it exactly where a frame
// blends it.
struct CaptionOutline {
  struct Point {
    double X = 0, Y = 0;
  };
  // A contour starts with Move; Quadratic and Cubic end at their last point.
  enum class Step { Move, Line, Quadratic, Cubic, Close };
  struct Segment {
    Step Kind;
    std::array<Point, 3> Points;  // the used ones first: control points, then the end
  };
  struct Band {
    int Left = 0, Top = 0, Width = 0, Height = 0;
  };

  Point Origin;  // where the pen starts on the baseline
  std::vector<Segment> Segments;
  std::vector<Band> Strokes;
  // Overlapping contours fill by the even-odd rule rather than non-zero winding.
  bool EvenOdd = false;

  bool Empty() const { return Segments.empty() && Strokes.empty(); }
};

}  // namespace flinder
