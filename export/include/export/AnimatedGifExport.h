#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "design/ExportChoices.h"
#include "design/ExportResult.h"
#include "design/ShapeSettings.h"
#include "export/ExportHost.h"
#include "gif/AnimationPalette.h"
#include "gif/ColourRuns.h"
#include "render/DrawingSurface.h"
#include "render/FrameRenderer.h"

namespace flinder {

// What one export produced.
struct ExportSummary {
  bool Ok = false;
  ExportFormat Format = ExportFormat::Gif;
  int FramesInGif = 0;  // the frames in the file, whatever its format
  int Width = 0, Height = 0;
  int Scale = 1;
  int Delay = 0;              // hundredths of a second, as a GIF stores it
  int DelayMilliseconds = 0;  // as WebP and APNG store it
  std::uintmax_t Bytes = 0;   // the bytes written, a FIFO's or a device's too
};

// Turns the current design into a looping animated GIF, WebP or APNG. The poses of one
// rotation cycle are worked out first; then the frames are drawn on every
// core and handed to the host in order, while their colours are counted and
// the frames kept as runs of equal pixels. Once the palette is chosen, the
// kept frames become one-frame GIFs on every core, merged in order into the
// output file; a size-optimised export, or one of a transparent design,
// encodes them straight into the file instead. Nothing goes through the disk
// but the output, and no frame is drawn twice unless the kept frames would
// pass KeptFrameBytes. The output file is replaced only once the new one is
// complete, and any failure ends the export with one message and the
// preview and windows as they were. WebP and APNG frames are drawn and
// encoded on every core too, once each, with real alpha for a transparent
// design.
class AnimatedGifExport {
 public:
  static constexpr int MaxFrames = 500;

  AnimatedGifExport(ExportHost& host, FrameRenderer& renderer, DrawingSurface& surface,
                    const ShapeSettings& settings);

  // The file the next export writes; kept between exports like the save
  // dialog's file name.
  std::string OutputFileName;
  // Ask for the file even when its name is known (Save As, another design);
  // a name chosen in the dialog clears it.
  bool AskFileName = false;
  // Write only what changes from frame to frame (an export preference).
  bool Optimise = false;
  // The format to write; none: the one the output file's extension names.
  std::optional<ExportFormat> Format;
  // How often the animation plays.
  LoopChoice Loop;
  // Every length drawn this many times larger (1 to 3); the preview's
  // surface and scale are back afterwards.
  int Scale = 1;

  // The format the export writes: Format, else the output file's, else GIF.
  ExportFormat OutputFormat() const;

  // Frames drawn and handed to the host so far, the closing frame included
  // (counted by a finished WebP or APNG export, which does not draw it).
  int ExportFrameCount = 0;
  // Threads that draw and encode the frames; 0: one per core. Fewer are
  // used when their frames would not fit the export's budget (FrameBudget.h).
  int Workers = 0;
  // What the frames kept between choosing the palette and writing them may
  // take; frames beyond it are drawn again.
  std::size_t KeptFrameBytes = std::size_t{32} << 20;

  // The whole export: ChooseOutputFile, then Run.
  ExportSummary ExportAnimatedGif();
  // Asks for the output file when none is known or AskFileName is set;
  // false when the dialog was cancelled.
  bool ChooseOutputFile();
  // Draws, converts and writes the cycle into the known output file. It
  // touches only the renderer, surface and settings it was given and tells
  // the host, so it may run on a thread of its own over copies of them.
  ExportSummary Run();

  // One worker's surface and renderer (FrameWorker.h), named by the format files.
  struct FrameWorker;

 private:
  // The rotation of every frame of the cycle, the closing one included; the
  // renderer is left where drawing the cycle would leave it.
  ExportResult WorkOutPoses();
  // Everything Run does between showing and hiding the progress; the
  // summary gets the picture's size and scale.
  ExportResult DrawAndWrite(ExportSummary& summary);
  ExportResult DrawCycle(std::vector<FrameWorker>& workers);
  ColourRuns KeptOrDrawn(FrameWorker& worker, int number);
  ExportResult ConvertAndMergeFrames(std::vector<FrameWorker>& workers);
  ExportResult EncodeCycle(std::vector<FrameWorker>& workers);
  // WebP and APNG (WebAnimationExport.cpp).
  ExportResult EncodeWebAnimation(ExportFormat format);
  // Chooses the palette's colours; a quantiser failure is the export's message.
  ExportResult BuildPalette(AnimationPalette& palette) const;
  void ShowFinishedCaption();
  // Hands frame `number` to the host as drawn; a refusal without a message
  // of its own stops the export.
  ExportResult TellFrameDrawn(int number, const Raster& frame);
  // Shows the finished caption and writes the whole file.
  ExportResult WriteFinishedFile(const std::string& bytes);
  // Frames in the file: the closing frame repeats the first pose.
  int FramesToWrite() const { return std::max(ExportFrameCount - 1, 1); }
  // The pixels of one frame as drawn.
  std::size_t FrameBytes() const {
    return static_cast<std::size_t>(surface_.Width()) * surface_.Height() * sizeof(ColourValue);
  }

  ExportHost& host_;
  FrameRenderer& renderer_;
  DrawingSurface& surface_;
  const ShapeSettings& settings_;
  AnimationPalette palette_;  // the colours of the frames drawn so far
  int gifDelay_ = 0;          // hundredths of a second, worked out once per export
  int framesWritten_ = 0;     // by a WebP or APNG export
  std::uintmax_t bytesWritten_ = 0;
  std::vector<double> poses_;
  // The frames drawn, as runs; empty where they would pass KeptFrameBytes.
  std::vector<ColourRuns> kept_;
};

// The delay in hundredths of a second for a Delay in milliseconds, halves to even.
int GifDelay(float delayMilliseconds);

// The frame delay WebP and APNG store for a Delay in milliseconds.
int DelayMilliseconds(float delay);

// What to tell the user about a delay in hundredths of a second that most
// browsers do not play as written; empty for any other delay.
std::string SlowPlaybackNote(int delay);

}  // namespace flinder
