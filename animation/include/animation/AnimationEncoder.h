#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "files/Result.h"

namespace flinder {

// What the encoder of every animation format offers, so that one loop drives
// them all. Frames go in as `Pixels`, in frame order, through three steps, of
// which only the costly middle one may run on any thread:
//   Prepare, in frame order: what the frame adds to the file, worked out
//     against the frames before it. An encoder that looks one frame ahead
//     gives the frame before, and nothing for the first;
//   Encode, on any thread, for several prepared frames at once while
//     neither Prepare nor Add runs;
//   Add, in frame order: the encoded frame joins the file.
// TakeBytes gives what is ready for the file so far, Finish the rest.
template <typename Pixels>
class AnimationEncoder {
 public:
  // A frame on its way into the file, of the encoder's own kind.
  class Frame {
   public:
    virtual ~Frame() = default;
    // Set by an Encode that failed; Add then gives it.
    std::optional<Failure> EncodeFailure;
  };

  AnimationEncoder() = default;
  virtual ~AnimationEncoder() = default;
  AnimationEncoder(const AnimationEncoder&) = delete;
  AnimationEncoder& operator=(const AnimationEncoder&) = delete;

  virtual std::unique_ptr<Frame> Prepare(Pixels&& pixels) = 0;
  virtual void Encode(Frame& frame) const = 0;
  virtual Result<> Add(std::unique_ptr<Frame> frame) = 0;
  // The file's bytes made since the last call.
  virtual std::string TakeBytes() { return {}; }
  // The file's last bytes, once every frame is in; at least one is.
  virtual Result<std::string> Finish() = 0;

  // One frame through the three steps on this thread.
  Result<> AddFrame(Pixels pixels) {
    std::unique_ptr<Frame> frame = Prepare(std::move(pixels));
    if (!frame) return {};
    Encode(*frame);
    return Add(std::move(frame));
  }
};

}  // namespace flinder
