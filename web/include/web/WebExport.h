#pragma once

#include <stop_token>
#include <string>
#include <vector>

#include "design/ExportChoices.h"
#include "design/ShapeSettings.h"
#include "export/ExportHost.h"
#include "files/Result.h"
#include "render/DrawingSurface.h"
#include "render/FrameRenderer.h"
#include "web/WebPicture.h"

namespace flinder {

// What one web export writes, and how.
struct WebExportRequest {
  std::string Folder;  // made when missing
  std::string Stem;    // every file's name before its suffix and extension
  std::string Alt;     // the picture's alt text
  LoopChoice Loop;
  MotionChoice Motion = MotionChoice::Steps;
  WebScales Scales;
  int Workers = 0;  // as ExportRequest::Workers
  std::stop_token Stop;
};

// What one web export wrote: the picture's files and the HTML that serves
// them (also written as STEM.html).
struct WebExportSummary {
  WebPicture Picture;
  std::string Html;
};

// The alt text of a design's picture: its caption where one is shown, else
// its name, else the program's.
std::string WebAltText(const ShapeSettings& settings, const std::string& name);

// Writes one design for the web, every file at once or none: STEM.svg,
// STEM.webp (and STEM@2x.webp, STEM@3x.webp as the scales ask), STEM.gif
// (size-optimised), STEM-still.png (the first frame, and its scale copies)
// and STEM.html. The frames of each scale are drawn once for all the raster
// files made from them (an opaque design's GIF, WebP and still share them;
// a transparent design's WebP and still have real alpha, which the GIF's
// frames lack). The files are made beside the folder's own and moved in
// together once all are complete; any failure, a cancel included, leaves
// the folder as it was. The host hears of the frames of every file, counted
// over the whole export. Like AnimationExport, it may run on a thread of its
// own over copies of the renderer, surface and settings.
Result<WebExportSummary> RunWebExport(ExportHost& host, FrameRenderer& renderer,
                                      DrawingSurface& surface, const ShapeSettings& settings,
                                      const WebExportRequest& request);

}  // namespace flinder
