#pragma once

#include <string>

namespace flinder {

// The value rounded to `decimals` places (0 to 9), as SVG and CSS read it
// and as short as it goes: "12", "-3.5", ".25"; never "-0" or a trailing zero.
std::string SvgNumber(double value, int decimals);

// The fewest decimal places, at most 9, that keep any value within `tolerance`.
int DecimalsWithin(double tolerance);

// SVG path data written as relative steps between points rounded to a
// number of decimal places: each point is rounded on its own, so the steps
// never add up their rounding. Repeated commands and the blanks a sign or a
// second decimal point makes needless are left out.
class PathData {
 public:
  explicit PathData(int decimals) : decimals_(decimals) {}

  void MoveTo(double x, double y);
  void LineTo(double x, double y);
  void QuadraticTo(double cx, double cy, double x, double y);
  void CubicTo(double c1x, double c1y, double c2x, double c2y, double x, double y);
  // Back to the contour's start, which is then the current point.
  void Close();

  const std::string& Text() const { return text_; }

 private:
  struct Units {
    long long X = 0, Y = 0;
  };
  Units Round(double x, double y) const;
  void Command(char command);
  void Number(long long units);
  // The step from the current point, which then moves to the point.
  void Step(Units to, bool move);

  int decimals_;
  std::string text_;
  Units current_, start_;
  char command_ = 0;  // what further numbers continue without a letter
  bool afterNumber_ = false, numberHasPoint_ = false;
};

}  // namespace flinder
