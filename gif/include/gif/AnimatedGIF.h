#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "files/Result.h"

namespace flinder {

// Joins one-frame GIF files into one looping GIF89a file without decoding the
// images: each file's blocks are copied, its global palette becomes the
// frame's local palette, and its graphic control extension gets the frame
// delay. One merge runs at a time; each merge starts from a clean state.
class AnimatedGIF {
 public:
  // The text shown when a frame file cannot be merged.
  static constexpr const char* ReadFailureMessage = "An error has occured reading the files";

  // Clears what one merge learns from its frame files.
  void ResetMergeState(std::int16_t width, std::int16_t height, std::int16_t delay);
  // Takes the next frame file's bytes, in order.
  void MergeFrame(std::string_view frameFile);
  // The merged file's bytes made since the last call: the header with the
  // first frame's screen fields and palette, then the frames' blocks.
  std::string TakeMerged();
  // The file's last bytes, or ReadFailureMessage when a frame file could not
  // be merged (the bytes taken before are then no file).
  Result<std::string> FinishMerged();

  // The frame block of one frame file: its last picture (an image or plain
  // text) with what precedes it. Nothing when the bytes are not a GIF this
  // merger can take: no signature, a block cut short by the end, no picture,
  // or a picture of neither kind. `isFirstFile` makes its screen fields and
  // palette the output's.
  std::optional<std::string> ReadGifFile(std::string_view bytes, bool isFirstFile);

  std::string BuildScreenDescriptor() const;
  // The NETSCAPE2.0 block: browsers play the animation loopCount + 1 times,
  // or for ever at 0.
  static std::string BuildLoopExtension(int loopCount);

  // What the merged file's loop block says (999 unless told otherwise).
  int LoopCount = 999;

 private:
  std::string ReadScreenDescriptor();
  std::string ReadFrameBlocks();
  std::string ReadExtension();
  std::string ReadApplicationExtension();
  std::string ReadCommentExtension();
  std::string ReadGraphicBlock();
  std::string RewriteGraphicControl();
  std::string NewGraphicControl() const;
  void ReadRenderingBlock(std::string& block);
  void ReadPlainTextExtension(std::string& block);
  void ReadImage(std::string& block);
  std::string ReadImageDescriptor();

  std::uint8_t PeekByte(std::size_t k = 1) const;
  std::string ReadBytes(std::size_t n = 1);
  void AppendBytes(std::string& out, std::size_t n);
  std::uint8_t ReadByte();
  // Appends a chain of sub-blocks, with the empty one that ends it.
  void ReadSubBlocks(std::string& out);
  std::string ReadColorTable(std::size_t n);

  std::string DelayBytes() const;

  // The bytes merged and not yet taken.
  std::string merged_;
  int framesMerged_ = 0;
  bool mergeFailed_ = false;

  // The open frame file and the position of its next unread byte.
  std::string_view frame_;
  std::size_t readPos_ = 0;
  // Set when the open frame file turns out to be unusable.
  bool frameFault_ = false;

  std::int16_t screenWidth_ = 0;
  std::int16_t screenHeight_ = 0;
  std::int16_t frameDelay_ = 0;
  bool isFirstFile_ = false;
  std::string screenFields_;
  std::string firstColorTable_;
  std::string frameColorTable_;
  int frameTableBits_ = 0;
  int frameSortFlag_ = 0;
};

}  // namespace flinder
