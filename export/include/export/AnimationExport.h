#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stop_token>
#include <string>
#include <vector>

#include "design/ExportChoices.h"
#include "design/ShapeSettings.h"
#include "export/ExportHost.h"
#include "files/Result.h"
#include "render/DrawingSurface.h"
#include "render/FrameRenderer.h"

namespace flinder {

class ExportOutput;

// What one export writes, and how.
struct ExportRequest {
  std::string OutputFileName;
  ExportFormat Format = ExportFormat::Gif;
  // Write only what changes from frame to frame (GIF; the other formats always do).
  bool Optimise = false;
  // How often the animation plays.
  LoopChoice Loop;
  // How an SVG file turns the shape.
  MotionChoice Motion = MotionChoice::Steps;
  // Every length drawn this many times larger (1 to 3).
  int Scale = 1;
  // Threads that draw and encode the frames; 0: one per core. Fewer are
  // used when their frames would not fit the export's budget (FrameBudget.h).
  int Workers = 0;
  // What the frames kept between choosing a GIF's palette and writing them
  // may take; frames beyond it are drawn again.
  std::size_t KeptFrameBytes = std::size_t{32} << 20;
  // Asked once a frame: the export then ends with nothing written, its
  // failure's Errno ECANCELED.
  std::stop_token Stop;
};

// What one export wrote.
struct ExportSummary {
  int FramesInFile = 0;
  int Width = 0, Height = 0;
  int Scale = 1;
  int Delay = 0;              // hundredths of a second, as a GIF stores it
  int DelayMilliseconds = 0;  // as WebP and APNG store it
  std::uintmax_t Bytes = 0;   // the bytes written, a FIFO's or a device's too
  // True when the file holds every frame's colours as drawn: false for a
  // GIF whose colours were more than a palette holds, and for an SVG,
  // which the viewer draws.
  bool Exact = true;
};

// Turns the design into a looping animated GIF, WebP, APNG or SVG. The poses of
// one rotation cycle are worked out first; then the frames are drawn on
// every core and handed to the host in order. A GIF's frames are kept as
// runs of equal pixels while their colours are counted; once the palette is
// chosen they are mapped to it (drawn again only past KeptFrameBytes). Every
// format's encoder then takes the frames through one loop (EncodeFrames.h),
// and the file is written as its bytes come. The output file is replaced
// only once the new one is complete: any failure, a cancel included, leaves
// it as it was and no temporary file behind. It touches only the renderer,
// surface and settings it was given and tells the host, so it may run on a
// thread of its own over copies of them; the renderer is left where drawing
// the cycle leaves it, the surface with the last frame drawn. An SVG export
// draws no frame: the poses go into the document with the shapes.
class AnimationExport {
 public:
  static constexpr int MaxFrames = 500;

  AnimationExport(ExportHost& host, FrameRenderer& renderer, DrawingSurface& surface,
                  const ShapeSettings& settings);

  // The whole export; a failure's message is the one to show the user. No
  // exception leaves it: one from the system (memory, threads) is its failure.
  Result<ExportSummary> Run(const ExportRequest& request);

  // Frames drawn and handed to the host so far, the closing frame included
  // (counted by a finished WebP or APNG export, which does not draw it).
  int ExportFrameCount = 0;

 private:
  struct FrameWorker;
  struct GifCycle;

  Result<> DrawAndWrite(ExportSummary& summary);
  // The rotation of every frame of the cycle, the closing one included.
  Result<> WorkOutPoses();
  // GIF: the frames drawn and counted, the palette, then the encoder.
  Result<> WriteGif(ExportOutput& output);
  Result<> DrawCycle(GifCycle& cycle, std::vector<FrameWorker>& workers);
  // WebP and APNG: each frame drawn once, straight into the encoder.
  Result<> WriteWebAnimation(ExportOutput& output);
  // SVG: the design's shapes once, turned by a style sheet through the
  // poses, at the summary's size and scale.
  Result<> WriteSvg(ExportOutput& output, const ExportSummary& size);
  // Hands frame `number` to the host as drawn; its failure ends the export.
  Result<> TellFrameDrawn(int number, const Raster& frame);
  bool Cancelled() const { return request_.Stop.stop_requested(); }
  Failure CancelledFailure() const;
  Failure WriteFailure(const std::string& why) const;
  // Frames in a GIF: the closing frame repeats the first pose.
  int FramesToWrite() const;
  // The pixels of one frame as drawn.
  std::size_t FrameBytes() const;

  ExportHost& host_;
  FrameRenderer& renderer_;
  DrawingSurface& surface_;
  const ShapeSettings& settings_;
  ExportRequest request_;
  int gifDelay_ = 0;       // hundredths of a second, worked out once per export
  int framesWritten_ = 0;  // in the file
  bool exact_ = true;      // the colours of every frame kept
  std::vector<double> poses_;
};

// The rotation of every frame of the design's cycle, the closing one (the
// first pose again) included; one pose when the shape does not turn. Turns
// `renderer` through the cycle. Nothing when the cycle has more than
// AnimationExport::MaxFrames frames.
std::optional<std::vector<double>> CyclePoses(FrameRenderer& renderer,
                                              const ShapeSettings& settings);

// The delay in hundredths of a second for a Delay in milliseconds, halves to even.
int GifDelay(float delayMilliseconds);

// The frame delay WebP and APNG store for a Delay in milliseconds.
int DelayMilliseconds(float delay);

// Why the design's export is one still frame ("Speed is 0"); empty when
// its shape turns.
std::string StillPictureReason(const ShapeSettings& settings);

// What to tell the user about a delay in hundredths of a second that most
// browsers do not play as written; empty for any other delay.
std::string SlowPlaybackNote(int delay);

}  // namespace flinder
