#include "WebpReader.h"

#include <webp/demux.h>

#include <algorithm>

namespace flinder {

DecodedWebp DecodeWebp(const std::string& bytes) {
  WebPData data = {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
  WebPAnimDecoderOptions options;
  WebPAnimDecoderOptionsInit(&options);
  options.color_mode = MODE_RGBA;
  WebPAnimDecoder* decoder = WebPAnimDecoderNew(&data, &options);
  DecodedWebp decoded;
  if (!decoder) return decoded;
  WebPAnimInfo info;
  WebPAnimDecoderGetInfo(decoder, &info);
  decoded.Loops = static_cast<int>(info.loop_count);
  while (WebPAnimDecoderHasMoreFrames(decoder)) {
    std::uint8_t* pixels = nullptr;
    int time = 0;
    if (!WebPAnimDecoderGetNext(decoder, &pixels, &time)) break;
    RgbaRaster frame(static_cast<int>(info.canvas_width), static_cast<int>(info.canvas_height));
    std::copy_n(pixels, frame.Bytes.size(), frame.Bytes.begin());
    decoded.Shown.push_back(std::move(frame));
    decoded.EndTimes.push_back(time);
  }
  WebPAnimDecoderDelete(decoder);
  return decoded;
}

}  // namespace flinder
