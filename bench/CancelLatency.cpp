// cancel-latency DESIGNS NAME FORMAT SCALE
//
// How soon an export stops once it is asked to, against one frame's time.
// The design is exported whole once on one core, for the time a frame takes
// there (the whole export's time over its frames); then, on every core, again and again, each time asked to
// stop at one point of the cycle (a frame drawn, a frame in the file), and
// the time from the stop to the export's end is taken. Prints
// "frame_ms F worst_cancel_ms C median_cancel_ms M".
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <stop_token>
#include <string>
#include <vector>

#include "design/DesignFile.h"
#include "design/ShapeRecord.h"
#include "export/AnimationExport.h"

using namespace flinder;
using Clock = std::chrono::steady_clock;

namespace {

// Asks for the stop at drawn frame `atDrawn` or written frame `atWritten`.
struct StoppingHost : ExportHost {
  std::stop_source* Stop = nullptr;
  int AtDrawn = 0, AtWritten = 0;
  Clock::time_point Asked;
  Result<> FrameDrawn(int number, const Raster&) override {
    if (number == AtDrawn) Ask();
    return {};
  }
  void FramesConverted(int done, int) override {
    if (done == AtWritten) Ask();
  }
  void Ask() {
    Asked = Clock::now();
    Stop->request_stop();
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: cancel-latency DESIGNS NAME FORMAT SCALE\n");
    return 2;
  }
  Result<IniDocument> designs = DesignFile(argv[1]).DocumentToRead();
  const std::optional<ExportFormat> format = FormatNamed(argv[3]);
  if (!designs || !format) {
    std::fprintf(stderr, "cancel-latency: no such design file or format\n");
    return 2;
  }
  ShapeSettings settings;
  ReadShape(*designs, settings, argv[2]);
  const std::string output =
      (std::filesystem::temp_directory_path() / "cancel-latency.out").string();
  auto run = [&](StoppingHost& host, std::stop_source& stop, int workers) {
    DrawingSurface surface(static_cast<int>(settings.SliderVal(Width)),
                           static_cast<int>(settings.SliderVal(Height)));
    FrameRenderer renderer;
    ExportRequest request;
    request.OutputFileName = output;
    request.Format = *format;
    request.Scale = std::stoi(argv[4]);
    request.Stop = stop.get_token();
    request.Workers = workers;
    host.Stop = &stop;
    AnimationExport exporter(host, renderer, surface, settings);
    Result<ExportSummary> result = exporter.Run(request);
    return std::pair(result.Ok() ? result->FramesInFile : 0, exporter.ExportFrameCount);
  };

  StoppingHost whole;
  std::stop_source never;
  const Clock::time_point start = Clock::now();
  const auto [frames, drawn] = run(whole, never, 1);
  const double frameMs =
      std::chrono::duration<double, std::milli>(Clock::now() - start).count() / std::max(frames, 1);

  std::vector<double> waits;
  for (int at = 2; at < drawn; at += std::max(1, drawn / 12))
    for (bool written : {false, true}) {
      StoppingHost host;
      (written ? host.AtWritten : host.AtDrawn) = at;
      std::stop_source stop;
      run(host, stop, 0);
      if (stop.stop_requested())
        waits.push_back(std::chrono::duration<double, std::milli>(Clock::now() - host.Asked).count());
    }
  std::filesystem::remove(output);
  std::sort(waits.begin(), waits.end());
  std::printf("frame_ms %.2f worst_cancel_ms %.2f median_cancel_ms %.2f\n", frameMs, waits.back(),
              waits[waits.size() / 2]);
  return 0;
}
