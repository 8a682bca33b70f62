#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "design/ExportChoices.h"
#include "design/ExportResult.h"
#include "design/ShapeSettings.h"
#include "export/ExportHost.h"
#include "gif/AnimationPalette.h"
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
  std::uintmax_t Bytes = 0;   // the size of the file written
};

// Turns the current design into a looping animated GIF, WebP or APNG. For a
// GIF, one rotation cycle
// is drawn frame by frame, each frame saved as tempN.bmp in the temporary
// folder, converted to tempN.gif and merged into the output file; the
// temporary files are removed whatever happens. A size-optimised export, or
// one of a transparent design, draws the cycle twice instead: once for the
// palette, once more to encode the frames straight into the file. The output
// file is replaced only once the new one is complete, and any failure ends
// the export with one message and the preview and windows as they were.
// WebP and APNG are drawn once, frame by frame on every core, with real alpha
// for a transparent design.
class AnimatedGifExport {
 public:
  static constexpr int MaxFrames = 500;

  AnimatedGifExport(ExportHost& host, FrameRenderer& renderer, DrawingSurface& surface,
                    const ShapeSettings& settings, std::string temporaryFolder);

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

  // Frame files of the current export, entry 1 at index 0.
  std::vector<std::string> FrameFiles;
  int ExportFrameCount = 0;

  // The whole export: ChooseOutputFile, then Run.
  ExportSummary ExportAnimatedGif();
  // Asks for the output file when none is known or AskFileName is set;
  // false when the dialog was cancelled.
  bool ChooseOutputFile();
  // Draws, converts and writes the cycle into the known output file. It
  // touches only the renderer, surface and settings it was given and tells
  // the host, so it may run on a thread of its own over copies of them.
  ExportSummary Run();

 private:
  ExportResult RenderCycle(bool keepFrameFiles);
  ExportResult ConvertAndMergeFrames();
  ExportResult EncodeCycle();
  // WebP and APNG (WebAnimationExport.cpp).
  ExportResult EncodeWebAnimation(ExportFormat format);
  // Chooses the palette's colours; a quantiser failure is the export's message.
  ExportResult BuildPalette(AnimationPalette& palette) const;
  void ShowFinishedCaption();
  std::string FrameFileName(int number, const char* extension) const;
  void RemoveTemporaryFiles();

  ExportHost& host_;
  FrameRenderer& renderer_;
  DrawingSurface& surface_;
  const ShapeSettings& settings_;
  std::string temporaryFolder_;
  AnimationPalette palette_;  // the colours of the frames drawn so far
  int gifDelay_ = 0;          // hundredths of a second, worked out once per export
  int framesWritten_ = 0;     // by a WebP or APNG export
};

// The delay in hundredths of a second for a Delay in milliseconds, halves to even.
int GifDelay(float delayMilliseconds);

// The frame delay WebP and APNG store for a Delay in milliseconds.
int DelayMilliseconds(float delay);

// What to tell the user about a delay in hundredths of a second that most
// browsers do not play as written; empty for any other delay.
std::string SlowPlaybackNote(int delay);

}  // namespace flinder
