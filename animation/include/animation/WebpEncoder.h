#pragma once

#include <string>
#include <vector>

#include "animation/AnimationTiming.h"
#include "animation/FrameChange.h"
#include "render/RgbaRaster.h"

namespace flinder {

// Writes a lossless animated WebP: the first frame whole, every later one as
// the rectangle that changed (FrameChange), each encoded by libwebp on its
// own and joined by its muxer. Every pixel that is not fully clear is kept
// exactly. The frames are encoded one by one through AddFrame, or, to spread
// the work: Prepare in frame order, Encode on any thread, Add in frame order.
class WebpEncoder {
 public:
  // WebP counts plays in 16 bits: more are stored as the most it holds.
  static constexpr int MaxPlays = 65535;

  // A frame on its way into the file.
  struct Frame {
    FrameChange Change;
    std::string Bitstream;  // once encoded
  };

  WebpEncoder(int width, int height, AnimationTiming timing);

  // A frame of the encoder's size. Throws std::runtime_error when libwebp fails.
  void AddFrame(const RgbaRaster& frame);

  Frame Prepare(const RgbaRaster& frame);
  static void Encode(Frame& frame);
  void Add(Frame&& frame);

  // The whole file.
  std::string Finish();

 private:
  int width_, height_;
  AnimationTiming timing_;
  RgbaRaster canvas_;  // the last frame prepared
  std::vector<Frame> frames_;
};

}  // namespace flinder
