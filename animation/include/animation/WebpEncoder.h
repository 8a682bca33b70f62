#pragma once

#include <memory>
#include <string>
#include <vector>

#include "animation/AnimationEncoder.h"
#include "animation/AnimationTiming.h"
#include "render/RgbaRaster.h"

namespace flinder {

// Writes a lossless animated WebP: the first frame whole, every later one as
// the rectangle that changed (FrameChange), each encoded by libwebp on its
// own and joined by its muxer. Every pixel that is not fully clear is kept
// exactly.
class WebpEncoder : public AnimationEncoder<RgbaRaster> {
 public:
  // WebP counts plays in 16 bits: more are stored as the most it holds.
  static constexpr int MaxPlays = 65535;

  WebpEncoder(int width, int height, AnimationTiming timing);
  ~WebpEncoder() override;

  // A frame of the encoder's size.
  std::unique_ptr<Frame> Prepare(RgbaRaster&& frame) override;
  void Encode(Frame& frame) const override;
  Result<> Add(std::unique_ptr<Frame> frame) override;
  Result<std::string> Finish() override;

 private:
  struct WebpFrame;

  int width_, height_;
  AnimationTiming timing_;
  RgbaRaster canvas_;  // the last frame prepared
  std::vector<std::unique_ptr<WebpFrame>> frames_;
};

}  // namespace flinder
