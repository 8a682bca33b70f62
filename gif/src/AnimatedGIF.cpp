#include "gif/AnimatedGIF.h"

#include <utility>

#include "files/FileAccess.h"
#include "files/FileNameParts.h"
#include "gif/LittleEndian.h"

namespace flinder {

namespace {

constexpr std::uint8_t ExtensionIntroducer = 0x21;
constexpr std::uint8_t ApplicationLabel = 0xFF;
constexpr std::uint8_t CommentLabel = 0xFE;
constexpr std::uint8_t GraphicControlLabel = 0xF9;
constexpr std::uint8_t PlainTextLabel = 0x01;
constexpr std::uint8_t ImageSeparator = 0x2C;
constexpr std::uint8_t Trailer = 0x3B;

}  // namespace

void AnimatedGIF::ResetMergeState(std::int16_t width, std::int16_t height, std::int16_t delay) {
  screenWidth_ = width;
  screenHeight_ = height;
  frameDelay_ = delay;
  screenFields_.clear();
  firstColorTable_.clear();
  frameColorTable_.clear();
  frameTableBits_ = 0;
  frameSortFlag_ = 0;
  frameBlocks_.clear();
  framesMerged_ = 0;
  headerWritten_ = false;
  output_.reset();
  mergeFailed_ = false;
}

ExportResult AnimatedGIF::MergeGifFrames(const std::vector<std::string>& frameFiles, int frameCount,
                                         const std::string& outputFile, std::int16_t width,
                                         std::int16_t height, std::int16_t delay) {
  ResetMergeState(width, height, delay);
  if (frameCount < 2)
    return ExportResult::Failure("No frames to write to " + outputFile +
                                 ": the animation has no frame before it repeats.");

  for (int i = 1; i <= frameCount - 1; ++i) {
    if (static_cast<std::size_t>(i) > frameFiles.size()) {
      mergeFailed_ = true;
      continue;
    }
    std::string name = frameFiles[i - 1];
    if (ExtensionOf(name) != "gif") name = WithExtension(name, "gif");
    Result<std::string> bytes = ReadFileBytes(name);
    if (bytes)
      MergeFrame(*bytes);
    else
      mergeFailed_ = true;
  }
  return WriteMerged(outputFile);
}

void AnimatedGIF::MergeFrame(std::string_view frameFile) {
  std::optional<std::string> block = ReadGifFile(frameFile, framesMerged_ == 0);
  if (block) {
    frameBlocks_.push_back(std::move(*block));
    ++framesMerged_;
  } else {
    mergeFailed_ = true;
  }
}

ExportResult AnimatedGIF::WriteMerged(const std::string& outputFile) {
  if (mergeFailed_) return ExportResult::Failure(ReadFailureMessage);
  if (ExportResult opened = StartOutput(outputFile); !opened.Ok) return opened;
  return FinishMerged();
}

ExportResult AnimatedGIF::StartOutput(const std::string& outputFile) {
  outputFile_ = outputFile;
  written_ = 0;
  // A picture can be made again: replaced whole, but not flushed to the disk.
  output_.emplace(outputFile, false);
  if (Result<> opened = output_->Open(); !opened) {
    output_.reset();
    return ExportResult::Failure("Cannot write " + outputFile + ": " + opened.Message());
  }
  return ExportResult::Success();
}

// The header needs the first frame's screen fields and palette.
bool AnimatedGIF::WriteMergedFrames() {
  if (mergeFailed_ || framesMerged_ == 0) return true;
  if (!WriteHeaderOnce()) return false;
  for (const std::string& block : frameBlocks_)
    if (!WriteOutput(block)) return false;
  frameBlocks_.clear();
  return true;
}

ExportResult AnimatedGIF::FinishMerged() {
  ExportResult result = ExportResult::Success();
  if (mergeFailed_) {
    result = ExportResult::Failure(ReadFailureMessage);
  } else {
    if (WriteHeaderOnce() && WriteMergedFrames())
      WriteOutput(std::string(1, static_cast<char>(Trailer)));
    if (Result<> committed = output_->Commit(); !committed)
      result = ExportResult::Failure("Cannot write " + outputFile_ + ": " + committed.Message());
  }
  output_.reset();  // an output not committed goes with its temporary file
  return result;
}

bool AnimatedGIF::WriteHeaderOnce() {
  if (std::exchange(headerWritten_, true)) return true;
  return WriteOutput("GIF89a" + BuildScreenDescriptor() + BuildLoopExtension(LoopCount));
}

bool AnimatedGIF::WriteOutput(std::string_view bytes) {
  if (!output_->Write(bytes)) return false;
  written_ += bytes.size();
  return true;
}

std::string AnimatedGIF::BuildScreenDescriptor() const {
  std::string screen;
  AppendWord(screen, screenWidth_);
  AppendWord(screen, screenHeight_);
  return screen + screenFields_ + firstColorTable_;
}

std::string AnimatedGIF::BuildLoopExtension(int loopCount) {
  std::string loop = "\x21\xFF\x0BNETSCAPE2.0\x03\x01";
  AppendWord(loop, loopCount);
  loop += '\0';
  return loop;
}

std::optional<std::string> AnimatedGIF::ReadGifFile(std::string_view bytes, bool isFirstFile) {
  frame_ = bytes;
  readPos_ = 0;
  frameFault_ = false;
  isFirstFile_ = isFirstFile;
  // A file without a global palette must not borrow the previous file's.
  frameColorTable_.clear();
  frameTableBits_ = 0;
  frameSortFlag_ = 0;

  if (ReadBytes(6).substr(0, 3) != "GIF") return std::nullopt;
  std::string fields = ReadScreenDescriptor();
  if (isFirstFile_) screenFields_ = fields;
  std::string blocks = ReadFrameBlocks();
  if (frameFault_) return std::nullopt;
  return blocks;
}

std::string AnimatedGIF::ReadScreenDescriptor() {
  ReadBytes(4);  // the file's own screen size is not used
  std::string fields = ReadBytes(3);
  auto packed = static_cast<std::uint8_t>(fields[0]);
  if (packed & 0x80) {
    frameColorTable_ = ReadColorTable(std::size_t{1} << ((packed & 7) + 1));
    frameTableBits_ = packed & 7;
    frameSortFlag_ = (packed & 0x08) ? 8 : 0;
    if (isFirstFile_) firstColorTable_ = frameColorTable_;
  }
  return fields;
}

// Every pass consumes at least one byte of the file or ends in a fault, and a
// read past its end is a fault: no input keeps the loop running.
std::string AnimatedGIF::ReadFrameBlocks() {
  std::optional<std::string> frame;
  do {
    // Application and comment blocks around the picture are not kept.
    if (PeekByte(1) == ExtensionIntroducer &&
        (PeekByte(2) == ApplicationLabel || PeekByte(2) == CommentLabel))
      ReadExtension();
    else
      frame = ReadGraphicBlock();
  } while (PeekByte(1) != Trailer && PeekByte(1) != 0x00 && !frameFault_);
  if (!frame) frameFault_ = true;  // a file with nothing to show
  return frame.value_or(std::string());
}

std::string AnimatedGIF::ReadExtension() {
  return PeekByte(2) == ApplicationLabel ? ReadApplicationExtension() : ReadCommentExtension();
}

std::string AnimatedGIF::ReadApplicationExtension() {
  std::string block = ReadBytes(3);  // introducer, label, block size
  block += ReadBytes(8);             // application identifier
  block += ReadBytes(3);             // authentication code
  ReadSubBlocks(block);
  return block;
}

std::string AnimatedGIF::ReadCommentExtension() {
  std::string block = ReadBytes(2);
  ReadSubBlocks(block);
  return block;
}

std::string AnimatedGIF::ReadGraphicBlock() {
  std::string block;
  if (PeekByte(1) == ExtensionIntroducer && PeekByte(2) == GraphicControlLabel)
    block = RewriteGraphicControl();
  else if (PeekByte(1) != ExtensionIntroducer)
    block = NewGraphicControl();
  if (PeekByte(1) == ExtensionIntroducer && PeekByte(2) == CommentLabel)
    block += ReadCommentExtension();
  ReadRenderingBlock(block);
  return block;
}

std::string AnimatedGIF::RewriteGraphicControl() {
  std::string block = ReadBytes(3);
  // Disposal "restore to background"; only the user-input and transparency
  // flags survive.
  block += static_cast<char>(0x08 + (ReadByte() & 0x03));
  ReadBytes(2);
  block += DelayBytes();
  block += ReadBytes(2);  // transparent index, terminator
  return block;
}

std::string AnimatedGIF::NewGraphicControl() const {
  return std::string("\x21\xF9\x04\x00", 4) + DelayBytes() + std::string(2, '\0');
}

void AnimatedGIF::ReadRenderingBlock(std::string& block) {
  if (PeekByte(1) == ImageSeparator) {
    ReadImage(block);
  } else if (PeekByte(1) == ExtensionIntroducer && PeekByte(2) == PlainTextLabel) {
    ReadPlainTextExtension(block);
  } else {
    // Any other block here would be copied as a picture it is not.
    frameFault_ = true;
  }
}

void AnimatedGIF::ReadPlainTextExtension(std::string& block) {
  block += ReadBytes(15);
  ReadSubBlocks(block);
}

void AnimatedGIF::ReadImage(std::string& block) {
  block += ReadImageDescriptor();
  AppendBytes(block, 1);  // minimum code size
  ReadSubBlocks(block);
}

std::string AnimatedGIF::ReadImageDescriptor() {
  std::string block = ReadBytes(9);  // separator, left, top, width, height
  std::uint8_t packed = ReadByte();
  if (packed & 0x80) {
    block += static_cast<char>(packed);
    block += ReadColorTable(std::size_t{1} << ((packed & 7) + 1));
    return block;
  }
  // The merged frames have no common palette, so the file's global palette
  // travels with the image. An image with no palette at all cannot be merged.
  if (frameColorTable_.empty()) {
    frameFault_ = true;
    return block;
  }
  int moved = 0x80 | (packed & 0x40) | (frameSortFlag_ == 8 ? 0x20 : 0) | frameTableBits_;
  block += static_cast<char>(moved);
  block += frameColorTable_;
  return block;
}

std::uint8_t AnimatedGIF::PeekByte(std::size_t k) const {
  std::size_t at = readPos_ + k - 1;
  return at < frame_.size() ? static_cast<std::uint8_t>(frame_[at]) : 0;
}

std::uint8_t AnimatedGIF::ReadByte() {
  return static_cast<std::uint8_t>(ReadBytes(1)[0]);
}

// A block cut short by the end of the file is a damaged frame: its missing
// bytes read as 0, and the file is refused.
std::string AnimatedGIF::ReadBytes(std::size_t n) {
  std::string bytes;
  AppendBytes(bytes, n);
  return bytes;
}

void AnimatedGIF::AppendBytes(std::string& out, std::size_t n) {
  if (n > frame_.size() - readPos_) {
    frameFault_ = true;
    readPos_ = frame_.size();
    out.append(n, '\0');
    return;
  }
  out += frame_.substr(readPos_, n);
  readPos_ += n;
}

// The chain is found first and copied at once: an image's data is mostly
// one long chain of full sub-blocks.
void AnimatedGIF::ReadSubBlocks(std::string& out) {
  std::size_t end = readPos_;
  while (end < frame_.size() && frame_[end] != '\0')
    end += 1 + static_cast<std::uint8_t>(frame_[end]);
  AppendBytes(out, end + 1 - readPos_);
}

std::string AnimatedGIF::ReadColorTable(std::size_t n) {
  return ReadBytes(3 * n);
}

std::string AnimatedGIF::DelayBytes() const {
  std::string delay;
  AppendWord(delay, frameDelay_);
  return delay;
}

}  // namespace flinder
