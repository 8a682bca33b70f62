#include "animation/MergedGifEncoder.h"

#include <optional>
#include <utility>

#include "gif/GifFrameWriter.h"

namespace flinder {

// A frame on its way into the file: its pixels, then its one-frame GIF.
struct MergedGifEncoder::FrameFile : Frame {
  int Number = 0;
  IndexedFrame Pixels;
  std::string Gif;
};

MergedGifEncoder::MergedGifEncoder(int width, int height, std::uint16_t delay, int loopCount) {
  merger_.LoopCount = loopCount;
  merger_.ResetMergeState(static_cast<std::int16_t>(width), static_cast<std::int16_t>(height),
                          static_cast<std::int16_t>(delay));
}

MergedGifEncoder::~MergedGifEncoder() = default;

std::unique_ptr<MergedGifEncoder::Frame> MergedGifEncoder::Prepare(IndexedFrame&& frame) {
  auto file = std::make_unique<FrameFile>();
  file->Number = ++framesPrepared_;
  file->Pixels = std::move(frame);
  return file;
}

void MergedGifEncoder::Encode(Frame& frame) const {
  auto& file = static_cast<FrameFile&>(frame);
  std::optional<std::string> gif = EncodeGifFrame(file.Pixels);
  file.Pixels = IndexedFrame();
  if (gif)
    file.Gif = std::move(*gif);
  else
    file.EncodeFailure =
        Failure{"frame " + std::to_string(file.Number) + " cannot be encoded as GIF"};
}

Result<> MergedGifEncoder::Add(std::unique_ptr<Frame> frame) {
  if (frame->EncodeFailure) return *frame->EncodeFailure;
  merger_.MergeFrame(static_cast<const FrameFile&>(*frame).Gif);
  return {};
}

std::string MergedGifEncoder::TakeBytes() {
  return merger_.TakeMerged();
}

Result<std::string> MergedGifEncoder::Finish() {
  return merger_.FinishMerged();
}

}  // namespace flinder
