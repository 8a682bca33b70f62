// export-floor DESIGNS NAME
//
// The floor under an export's time on this machine: the best of five times
// to draw one cycle's frames of the design on every core, and to LZW-code
// the frames the file holds (all but the closing one), mapped to their
// palette, on every core, each step alone. Prints "frames N draw_ms D lzw_ms L"
// with N the frames drawn.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "design/DesignFile.h"
#include "design/ShapeRecord.h"
#include "export/AnimationExport.h"
#include "export/OrderedFramePool.h"
#include "gif/AnimationPalette.h"
#include "gif/GifLzw.h"

namespace flinder {
namespace {

struct Worker {
  DrawingSurface Surface;
  FrameRenderer Renderer;
};

template <typename Step>
double BestMilliseconds(Step step) {
  double best = 1e9;
  for (int run = 0; run < 5; ++run) {
    const auto start = std::chrono::steady_clock::now();
    step();
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    best = std::min(best, took.count());
  }
  return best;
}

int Floor(const std::string& designs, const std::string& name) {
  ShapeSettings settings;
  if (Result<> loaded = DesignFile(designs).LoadShape(settings, name); !loaded) {
    std::fprintf(stderr, "export-floor: %s\n", loaded.Message().c_str());
    return 1;
  }
  const DrawingSurface start(static_cast<int>(settings.SliderVal(Width)),
                             static_cast<int>(settings.SliderVal(Height)));
  FrameRenderer renderer;
  std::vector<double> poses;
  renderer.CycleRunning = true;
  while (renderer.CycleRunning && poses.size() < AnimationExport::MaxFrames) {
    poses.push_back(renderer.Angle);
    renderer.Turn(settings);
  }
  const int frames = static_cast<int>(poses.size());

  const OrderedFramePool pool;
  std::vector<Worker> workers;
  for (int w = 0; w < pool.Workers(); ++w) workers.push_back({start.OwnCopy(), FrameRenderer()});
  auto ignore = [](int, int) { return true; };
  const double draw = BestMilliseconds([&] {
    pool.Run<int>(
        frames,
        [&](int worker, int n) {
          Worker& own = workers[static_cast<std::size_t>(worker)];
          own.Renderer.Angle = poses[static_cast<std::size_t>(n - 1)];
          own.Renderer.DrawFrame(own.Surface, settings);
          return 0;
        },
        ignore);
  });

  AnimationPalette palette;
  std::vector<ColourRuns> runs;
  DrawingSurface surface = start.OwnCopy();
  for (double pose : poses) {
    renderer.Angle = pose;
    renderer.DrawFrame(surface, settings);
    palette.AddFrame(runs.emplace_back(surface.Capture()));
  }
  palette.Build();
  std::vector<std::vector<std::uint8_t>> indexes;
  for (const ColourRuns& frame : runs) indexes.push_back(palette.Map(frame).Indexes);
  int codeSize = 2;
  while ((std::size_t{1} << codeSize) < palette.Colours().size()) ++codeSize;
  const double lzw = BestMilliseconds([&] {
    pool.Run<int>(
        std::max(frames - 1, 1),
        [&](int, int n) {
          const std::vector<std::uint8_t>& frame = indexes[static_cast<std::size_t>(n - 1)];
          std::string data;
          AppendLzwImageData(data, frame.data(), frame.size(), codeSize);
          return static_cast<int>(data.size());
        },
        ignore);
  });
  std::printf("frames %d draw_ms %.2f lzw_ms %.2f\n", frames, draw, lzw);
  return 0;
}

}  // namespace
}  // namespace flinder

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: export-floor DESIGNS NAME\n");
    return 2;
  }
  return flinder::Floor(argv[1], argv[2]);
}
