// drawn-frames DESIGNS NAME FORMAT SCALE OUTPUT.rgba
//
// Exports design NAME of the design file DESIGNS as FORMAT (webp or apng) at
// SCALE into OUTPUT.rgba.anim, and writes the frames the export drew, as a
// WebP or APNG file should show them, into OUTPUT.rgba: one after the other
// as red, green, blue and alpha bytes (straight alpha; a clear pixel is
// 0 0 0 0). Prints "frames F size WxH". The reference the bench scripts hold
// other decoders to.
#include <cstdio>
#include <string>
#include <vector>

#include "design/DesignFile.h"
#include "files/FileAccess.h"
#include "design/ShapeRecord.h"
#include "export/AnimationExport.h"
#include "render/RgbaRaster.h"

namespace {

using namespace flinder;

struct KeepFrames : HeadlessExportHost {
  std::vector<Raster> Frames;
  Result<> FrameDrawn(int, const Raster& frame) override {
    Frames.push_back(frame);
    return {};
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 6) {
    std::fprintf(stderr, "usage: drawn-frames DESIGNS NAME FORMAT SCALE OUTPUT.rgba\n");
    return 2;
  }
  const std::string output = argv[5];
  ShapeSettings settings;
  if (!DesignFile(argv[1]).LoadShape(settings, argv[2])) return 1;
  DrawingSurface surface(static_cast<int>(settings.SliderVal(Width)),
                         static_cast<int>(settings.SliderVal(Height)));
  FrameRenderer renderer;
  KeepFrames host;
  const std::optional<ExportFormat> format = FormatNamed(argv[3]);
  if (!format) {
    std::fprintf(stderr, "drawn-frames: no format %s\n", argv[3]);
    return 2;
  }
  ExportRequest request;
  request.OutputFileName = output + ".anim";
  request.Format = *format;
  request.Scale = std::stoi(argv[4]);
  const Result<ExportSummary> exported =
      AnimationExport(host, renderer, surface, settings).Run(request);
  if (!exported) {
    std::fprintf(stderr, "drawn-frames: %s\n", exported.Message().c_str());
    return 1;
  }
  const ExportSummary& summary = *exported;
  std::string bytes;
  for (const Raster& frame : host.Frames) {
    const RgbaRaster rgba = StraightRgba(frame);
    bytes.append(rgba.Bytes.begin(), rgba.Bytes.end());
  }
  if (!WriteFileBytes(output, bytes)) return 1;
  std::printf("frames %zu size %dx%d\n", host.Frames.size(), summary.Width, summary.Height);
  return 0;
}
