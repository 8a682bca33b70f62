// The SVG side of the export: no frame is drawn; the document holds the
// shapes once and the poses of the frames the other formats write.
#include <cmath>

#include "ExportOutput.h"
#include "animation/SvgAnimation.h"
#include "export/AnimationExport.h"
#include "render/ShapeOutline.h"

namespace flinder {

Result<> AnimationExport::WriteSvg(ExportOutput& output, const ExportSummary& size) {
  if (Cancelled()) return CancelledFailure();
  const int frames = FramesToWrite();
  SvgPicture picture;
  picture.Width = size.Width;
  picture.Height = size.Height;
  picture.Scale = size.Scale;
  picture.Title = !settings_.CurrentShape.empty() ? settings_.CurrentShape
                  : settings_.ShowText            ? settings_.Text
                                                  : std::string();
  // A frame turns the shape from its pose before drawing it, as a worker draws it.
  FrameRenderer turned = renderer_;
  turned.SetObserver(nullptr);
  for (int k = 0; k < frames; ++k) {
    turned.Angle = poses_[static_cast<std::size_t>(k)];
    turned.Turn(settings_);
    picture.Poses.push_back(turned.Angle);
  }
  const int vertices = VertexCount(static_cast<int>(settings_.SliderVal(Sides)), settings_.Star);
  // The shape turns against its Speed's sign (NextRotation).
  picture.CycleTurn = std::copysign(SymmetryPeriod(vertices, settings_.Star), -settings_.SliderVal(Speed));
  picture.Timing = {DelayMilliseconds(settings_.SliderVal(Delay)), request_.Loop.Plays()};
  picture.Motion = request_.Motion;
  const std::string document = SvgAnimation(settings_, picture);
  if (Cancelled()) return CancelledFailure();
  // A failed write is told by the output's Commit.
  output.Write(document);
  host_.FramesConverted(frames, frames);
  framesWritten_ = frames;
  ExportFrameCount = static_cast<int>(poses_.size());
  return {};
}

}  // namespace flinder
