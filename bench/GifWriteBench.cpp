// Time to turn one 420 x 420 frame from BMP into a one-frame GIF, as the
// export does it, its steps, and how close the palette stays to the frames.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "gif/AnimationPalette.h"
#include "gif/GifFrameWriter.h"
#include "image/BmpFile.h"
#include "image/IMGLIB1.h"

namespace flinder {
namespace {

constexpr int Size = 420;

ColourValue Blend(ColourValue a, ColourValue b, double t) {
  auto mix = [t](int x, int y) { return static_cast<int>(std::lround(x + (y - x) * t)); };
  return MakeColour(mix(RedOf(a), RedOf(b)), mix(GreenOf(a), GreenOf(b)),
                    mix(BlueOf(a), BlueOf(b)));
}

// A vertical blend of `Size` rows with a turning ten-ring square on it.
Raster Frame(int step, bool withShape = true) {
  Raster frame(Size, Size);
  double angle = step * 0.12, half = Size * 0.3, centre = Size / 2.0;
  for (int y = 0; y < Size; ++y) {
    ColourValue background =
        Blend(MakeColour(0, 255, 30), MakeColour(255, 10, 220), y / (Size - 1.0));
    for (int x = 0; x < Size; ++x) {
      double dx = x + 0.5 - centre, dy = y + 0.5 - centre;
      double distance = std::max(std::abs(dx * std::cos(angle) + dy * std::sin(angle)),
                                 std::abs(dy * std::cos(angle) - dx * std::sin(angle)));
      double coverage = withShape ? std::clamp(half - distance + 0.5, 0.0, 1.0) : 0;
      int ring = std::min(9, static_cast<int>(distance / half * 10));
      ColourValue shape = Blend(MakeColour(200, 0, 0), MakeColour(255, 255, 120), (9 - ring) / 9.0);
      frame.At(x, y) = Blend(background, shape, coverage);
    }
  }
  return frame;
}

std::string Scratch(const std::string& name) {
  return (std::filesystem::temp_directory_path() / ("flinder-bench-" + name)).string();
}

// One frame from BMP file to GIF file with the animation's palette, as the
// export converts it.
void BmpToGif(benchmark::State& state) {
  constexpr int Frames = 12;
  auto palette = std::make_shared<AnimationPalette>();
  for (int i = 0; i < Frames; ++i) {
    Raster frame = Frame(i);
    palette->AddFrame(frame);
    std::ofstream(Scratch(std::to_string(i) + ".bmp"), std::ios::binary) << EncodeBmp(frame);
  }
  palette->Build();
  IMGLIB1 images;
  images.UseAnimationPalette(palette);
  int i = 0;
  for (auto _ : state) {
    images.ImageFileName = Scratch(std::to_string(i++ % Frames) + ".bmp");
    if (!images.LoadImageFile("bmp")) {
      state.SkipWithError("cannot read a frame");
      break;
    }
    images.ImageFileName = Scratch("frame.gif");
    benchmark::DoNotOptimize(images.SaveImageFile("gif"));
  }
  for (int k = 0; k < Frames; ++k) std::filesystem::remove(Scratch(std::to_string(k) + ".bmp"));
  std::filesystem::remove(Scratch("frame.gif"));
}
BENCHMARK(BmpToGif)->Unit(benchmark::kMillisecond);

// The steps of one frame on their own.
void EncodeBmpFrame(benchmark::State& state) {
  Raster frame = Frame(0);
  for (auto _ : state) benchmark::DoNotOptimize(EncodeBmp(frame));
}
BENCHMARK(EncodeBmpFrame)->Unit(benchmark::kMillisecond);

void DecodeBmpFrame(benchmark::State& state) {
  std::string file = EncodeBmp(Frame(0));
  for (auto _ : state) benchmark::DoNotOptimize(DecodeBmp(file));
}
BENCHMARK(DecodeBmpFrame)->Unit(benchmark::kMillisecond);

void AddFrame(benchmark::State& state) {
  Raster frame = Frame(0);
  for (auto _ : state) {
    AnimationPalette palette;
    palette.AddFrame(frame);
    benchmark::DoNotOptimize(palette);
  }
}
BENCHMARK(AddFrame)->Unit(benchmark::kMillisecond);

void MapFrame(benchmark::State& state) {
  Raster frame = Frame(0);
  AnimationPalette palette;
  palette.AddFrame(frame);
  palette.Build();
  for (auto _ : state) benchmark::DoNotOptimize(palette.Map(frame));
}
BENCHMARK(MapFrame)->Unit(benchmark::kMillisecond);

void EncodeGif(benchmark::State& state) {
  Raster frame = Frame(0);
  AnimationPalette palette;
  palette.AddFrame(frame);
  palette.Build();
  IndexedFrame indexed = palette.Map(frame);
  for (auto _ : state) benchmark::DoNotOptimize(EncodeGifFrame(indexed));
}
BENCHMARK(EncodeGif)->Unit(benchmark::kMillisecond);

// Building the palette of 24 frames, and its error on them: the gradient
// alone (0) and a gradient with the shape (1).
void PaletteError(benchmark::State& state) {
  std::vector<Raster> frames;
  for (int step = 0; step < 24; ++step) frames.push_back(Frame(step, state.range(0) != 0));
  AnimationPalette palette;
  for (auto _ : state) {
    palette = AnimationPalette();
    for (const Raster& frame : frames) palette.AddFrame(frame);
    palette.Build();
  }
  int worst = 0;
  double sum = 0, squares = 0, count = 0;
  for (const Raster& frame : frames) {
    IndexedFrame out = palette.Map(frame);
    for (std::size_t p = 0; p < frame.Pixels.size(); ++p) {
      for (int shift : {0, 8, 16}) {
        int d = std::abs(((frame.Pixels[p] >> shift) & 0xFF) -
                         ((out.Palette[out.Indexes[p]] >> shift) & 0xFF));
        worst = std::max(worst, d);
        sum += d;
        squares += d * d;
      }
    }
    count += 3.0 * frame.Pixels.size();
  }
  state.counters["max"] = worst;
  state.counters["mean"] = sum / count;
  state.counters["psnr"] = 10 * std::log10(255.0 * 255.0 / (squares / count));
}
BENCHMARK(PaletteError)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace flinder
