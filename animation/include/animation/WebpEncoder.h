#pragma once

#include <memory>
#include <string>

#include "animation/AnimationTiming.h"
#include "render/RgbaRaster.h"

struct WebPAnimEncoder;

namespace flinder {

// Writes a lossless animated WebP through libwebp's animation encoder, which
// stores each frame as the part that changed and merges a frame equal to the
// one before into its delay. Every pixel that is not fully clear is kept
// exactly.
class WebpEncoder {
 public:
  WebpEncoder(int width, int height, AnimationTiming timing);
  ~WebpEncoder();
  WebpEncoder(const WebpEncoder&) = delete;
  WebpEncoder& operator=(const WebpEncoder&) = delete;

  // A frame of the encoder's size. Throws std::runtime_error when libwebp fails.
  void AddFrame(const RgbaRaster& frame);

  // The whole file.
  std::string Finish();

 private:
  struct Deleter {
    void operator()(WebPAnimEncoder* encoder) const;
  };
  int Width, Height;
  AnimationTiming Timing;
  int Frames = 0;
  std::unique_ptr<WebPAnimEncoder, Deleter> Encoder;
};

}  // namespace flinder
