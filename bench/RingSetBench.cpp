// One full ring set of the largest star (24 vertices, ten rings, pen width 6)
// on the largest preview surface.
#include <benchmark/benchmark.h>

#include "render/DrawingSurface.h"
#include "render/ShapeOutline.h"

namespace flinder {
namespace {

ShapeSettings LargestStar() {
  ShapeSettings s;
  s.SetSlider(Sides, 1.0f);   // 23 sides, a 24-vertex star
  s.SetSlider(Radius, 1.0f);  // 100 pixels
  s.SetSlider(StarDepth, 0.4f);
  s.SetSlider(Detail, 1.0f);  // pen width 6
  s.Star = true;
  return s;
}

void RingSet(benchmark::State& state) {
  const ShapeSettings settings = LargestStar();
  DrawingSurface surface(420, 420);
  surface.SetDrawWidth(static_cast<int>(settings.SliderVal(Detail)));
  double angle = 0;
  for (auto _ : state) {
    angle = NextRotation(angle, 1.0f, SymmetryPeriod(24, true)).Angle;
    ShapeOutline outline(settings, angle);
    outline.BeginPass();
    int ring = 0;
    for (double t : RingScales()) {
      outline.ComputeRing(t, 210, 210);
      surface.SetForeColor(MakeColour(20 * ring, 100, 200 - 10 * ring));
      outline.DrawRing(surface);
      ++ring;
    }
    benchmark::DoNotOptimize(surface.Capture().Pixels.data());
  }
}
BENCHMARK(RingSet)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace flinder
