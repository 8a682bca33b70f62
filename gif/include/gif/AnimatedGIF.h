#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "design/ExportResult.h"
#include "files/ReplacementFile.h"

namespace flinder {

// Joins one-frame GIF files into one looping GIF89a file without decoding the
// images: each file's blocks are copied, its global palette becomes the
// frame's local palette, and its graphic control extension gets the frame
// delay. One merge runs at a time; each merge starts from a clean state.
class AnimatedGIF {
 public:
  // The text shown when a frame file is missing or cannot be merged.
  static constexpr const char* ReadFailureMessage = "An error has occured reading the files";

  // Merges entries 1 to frameCount - 1 of `frameFiles` (entry 1 is
  // frameFiles[0]) into `outputFile`; the last frame repeats the first pose
  // and is left out. Nothing is written when the result is a failure.
  ExportResult MergeGifFrames(const std::vector<std::string>& frameFiles, int frameCount,
                              const std::string& outputFile, std::int16_t width,
                              std::int16_t height, std::int16_t delay);

  // The same merge with the frame files' bytes given one by one, in order,
  // after ResetMergeState; nothing is written when one of them could not be
  // merged, and WriteMerged then gives ReadFailureMessage.
  void MergeFrame(std::string_view frameFile);
  ExportResult WriteMerged(const std::string& outputFile);

  // The same written as the frames come, after ResetMergeState: StartOutput
  // opens the output file (or gives why it cannot), WriteMergedFrames writes
  // what is merged so far (false when that write failed), and FinishMerged
  // ends the file and puts it in place, or gives why not and leaves nothing.
  ExportResult StartOutput(const std::string& outputFile);
  bool WriteMergedFrames();
  ExportResult FinishMerged();
  // The bytes written to the output since StartOutput: the whole file's
  // once it is finished, whatever kind of file takes them.
  std::uintmax_t BytesWritten() const { return written_; }

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

  // Clears what one merge learns from its frame files.
  void ResetMergeState(std::int16_t width, std::int16_t height, std::int16_t delay);

 private:
  bool WriteHeaderOnce();
  bool WriteOutput(std::string_view bytes);
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

  // The blocks of the frames merged and not yet written.
  std::vector<std::string> frameBlocks_;
  int framesMerged_ = 0;
  bool headerWritten_ = false;
  std::string outputFile_;
  std::optional<ReplacementFile> output_;
  std::uintmax_t written_ = 0;
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
