#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "design/ColourValue.h"
#include "gif/BatchWorkers.h"

namespace flinder {

// Writes a looping GIF89a straight from an animation's frames, given as
// indexes into one palette: one global colour table, then per frame a
// graphic control block (delay, disposal, transparency) and an image.
//
// Plain, every frame is whole. Optimised, every frame after the first holds
// only the rectangle where the picture changes, with the pixels that stay as
// they were written as a transparent index, so that the LZW codes get long
// runs; the frame is left in place for the next one to draw over.
//
// With a transparent entry (a transparent design), a frame whose opaque
// pixels turn transparent in the next frame is cleared ("restore to
// background") over a rectangle that holds them; the last frame looks ahead
// to the first, which follows it when the animation loops.
class GifAnimationEncoder {
 public:
  // `transparentIndex` is the palette entry of background pixels, or -1;
  // `delay` is in hundredths of a second, `loopCount` goes to the loop block
  // (AnimatedGIF::BuildLoopExtension). The palette holds 1 to 256 colours.
  // Up to four `threads` encode the images (0: one per core).
  GifAnimationEncoder(int width, int height, std::vector<ColourValue> palette, int transparentIndex,
                      bool optimise, std::uint16_t delay, int loopCount = 999, int threads = 0);

  // The next frame: Width x Height indexes, row by row. Gives back the
  // memory of a frame it no longer needs, for the caller's next frame; empty
  // until there is one.
  std::vector<std::uint8_t> AddFrame(std::vector<std::uint8_t> indexes);
  // The whole file; at least one frame was added.
  std::string Finish();

 private:
  struct Box {
    int Left = 0, Top = 0, Right = -1, Bottom = -1;  // inclusive; empty while Right < Left
    bool Empty() const { return Right < Left; }
    void Add(int x, int y);
    void Add(const Box& other);
  };
  // One frame's image, chosen in order and encoded later, with others at once.
  struct FrameImage {
    Box Place;
    int Disposal = 0;
    int Stays = -1;  // the index that stands for staying pixels, or -1
    // The box's pixels, and the stretch of staying pixels each belongs to
    // (0: it changes; lengths stop at 255).
    std::vector<std::uint8_t> Pixels;
    std::vector<std::uint8_t> Stretch;
    std::string Data;  // the LZW image data once encoded
    bool StaysUsed = false;
  };

  void ChooseImage(const std::vector<std::uint8_t>& next);
  Box ChangedBox(const std::vector<std::uint8_t>& frame) const;
  Box VanishingBox(const std::vector<std::uint8_t>& frame,
                   const std::vector<std::uint8_t>& next) const;
  int CollectPixels(const std::vector<std::uint8_t>& frame, FrameImage& image);
  static void Encode(FrameImage& image);
  void StartEncoding();
  void WriteEncodedImages();
  void WriteImage(const FrameImage& image);

  // The shortest stretches of staying pixels tried as staying, the last
  // meaning none: every one in colour.
  static constexpr std::size_t StretchChoices[] = {1, 3, 8, 32, SIZE_MAX};
  // How many chosen images are encoded together: up to 16, while their
  // pixels take less than BatchBytes (two batches are held at once).
  static constexpr std::size_t Batch = 16;
  static constexpr std::size_t BatchBytes = std::size_t{16} << 20;

  int width_, height_;
  std::vector<ColourValue> palette_;
  int tableBits_ = 1;
  int transparentIndex_;
  bool optimise_;
  std::uint16_t delay_;
  int threads_;

  std::string out_;
  int framesChosen_ = 0;
  std::vector<std::uint8_t> first_;    // needed again by the last frame
  std::vector<std::uint8_t> pending_;  // added, not yet chosen
  // What a reader shows before the pending frame; the transparent index
  // stands for a cleared pixel.
  std::vector<std::uint8_t> canvas_;
  std::vector<FrameImage> chosen_;    // not yet being encoded
  std::size_t chosenBytes_ = 0;       // their pixels and stretches
  std::vector<FrameImage> encoding_;  // being encoded, not yet written
  // Declared after what their jobs use, so that they end first.
  std::unique_ptr<BatchWorkers> encoders_;
  // The memory of images written, for the pixels of the next ones.
  std::vector<std::vector<std::uint8_t>> spareRows_;
};

}  // namespace flinder
