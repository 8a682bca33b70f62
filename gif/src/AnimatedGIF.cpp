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
  ScreenWidth = width;
  ScreenHeight = height;
  FrameDelay = delay;
  ScreenFields.clear();
  FirstColorTable.clear();
  FrameColorTable.clear();
  FrameTableBits = 0;
  FrameSortFlag = 0;
  FrameBlocks.clear();
  FramesMerged = 0;
  HeaderWritten = false;
  Output.reset();
  MergeFailed = false;
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
      MergeFailed = true;
      continue;
    }
    std::string name = frameFiles[i - 1];
    if (ExtensionOf(name) != "gif") name = WithExtension(name, "gif");
    std::optional<std::string> bytes = ReadFileBytes(name);
    if (bytes)
      MergeFrame(*bytes);
    else
      MergeFailed = true;
  }
  return WriteMerged(outputFile);
}

void AnimatedGIF::MergeFrame(std::string_view frameFile) {
  std::optional<std::string> block = ReadGifFile(frameFile, FramesMerged == 0);
  if (block) {
    FrameBlocks.push_back(std::move(*block));
    ++FramesMerged;
  } else {
    MergeFailed = true;
  }
}

ExportResult AnimatedGIF::WriteMerged(const std::string& outputFile) {
  if (MergeFailed) return ExportResult::Failure(ReadFailureMessage);
  if (ExportResult opened = StartOutput(outputFile); !opened.Ok) return opened;
  return FinishMerged();
}

ExportResult AnimatedGIF::StartOutput(const std::string& outputFile) {
  OutputFile = outputFile;
  Written = 0;
  // A picture can be made again: replaced whole, but not flushed to the disk.
  Output.emplace(outputFile, false);
  if (std::string error = Output->Open(); !error.empty()) {
    Output.reset();
    return ExportResult::Failure("Cannot write " + outputFile + ": " + error);
  }
  return ExportResult::Success();
}

// The header needs the first frame's screen fields and palette.
bool AnimatedGIF::WriteMergedFrames() {
  if (MergeFailed || FramesMerged == 0) return true;
  if (!WriteHeaderOnce()) return false;
  for (const std::string& block : FrameBlocks)
    if (!WriteOutput(block)) return false;
  FrameBlocks.clear();
  return true;
}

ExportResult AnimatedGIF::FinishMerged() {
  ExportResult result = ExportResult::Success();
  if (MergeFailed) {
    result = ExportResult::Failure(ReadFailureMessage);
  } else {
    if (WriteHeaderOnce() && WriteMergedFrames())
      WriteOutput(std::string(1, static_cast<char>(Trailer)));
    if (std::string error = Output->Commit(); !error.empty())
      result = ExportResult::Failure("Cannot write " + OutputFile + ": " + error);
  }
  Output.reset();  // an output not committed goes with its temporary file
  return result;
}

bool AnimatedGIF::WriteHeaderOnce() {
  if (std::exchange(HeaderWritten, true)) return true;
  return WriteOutput("GIF89a" + BuildScreenDescriptor() + BuildLoopExtension(LoopCount));
}

bool AnimatedGIF::WriteOutput(std::string_view bytes) {
  if (!Output->Write(bytes)) return false;
  Written += bytes.size();
  return true;
}

std::string AnimatedGIF::BuildScreenDescriptor() const {
  std::string screen;
  AppendWord(screen, ScreenWidth);
  AppendWord(screen, ScreenHeight);
  return screen + ScreenFields + FirstColorTable;
}

std::string AnimatedGIF::BuildLoopExtension(int loopCount) {
  std::string loop = "\x21\xFF\x0BNETSCAPE2.0\x03\x01";
  AppendWord(loop, loopCount);
  loop += '\0';
  return loop;
}

std::optional<std::string> AnimatedGIF::ReadGifFile(std::string_view bytes, bool isFirstFile) {
  Frame = bytes;
  ReadPos = 0;
  FrameFault = false;
  IsFirstFile = isFirstFile;
  // A file without a global palette must not borrow the previous file's.
  FrameColorTable.clear();
  FrameTableBits = 0;
  FrameSortFlag = 0;

  if (ReadBytes(6).substr(0, 3) != "GIF") return std::nullopt;
  std::string fields = ReadScreenDescriptor();
  if (IsFirstFile) ScreenFields = fields;
  std::string blocks = ReadFrameBlocks();
  if (FrameFault) return std::nullopt;
  return blocks;
}

std::string AnimatedGIF::ReadScreenDescriptor() {
  ReadBytes(4);  // the file's own screen size is not used
  std::string fields = ReadBytes(3);
  auto packed = static_cast<std::uint8_t>(fields[0]);
  if (packed & 0x80) {
    FrameColorTable = ReadColorTable(std::size_t{1} << ((packed & 7) + 1));
    FrameTableBits = packed & 7;
    FrameSortFlag = (packed & 0x08) ? 8 : 0;
    if (IsFirstFile) FirstColorTable = FrameColorTable;
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
  } while (PeekByte(1) != Trailer && PeekByte(1) != 0x00 && !FrameFault);
  if (!frame) FrameFault = true;  // a file with nothing to show
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
    FrameFault = true;
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
  if (FrameColorTable.empty()) {
    FrameFault = true;
    return block;
  }
  int moved = 0x80 | (packed & 0x40) | (FrameSortFlag == 8 ? 0x20 : 0) | FrameTableBits;
  block += static_cast<char>(moved);
  block += FrameColorTable;
  return block;
}

std::uint8_t AnimatedGIF::PeekByte(std::size_t k) const {
  std::size_t at = ReadPos + k - 1;
  return at < Frame.size() ? static_cast<std::uint8_t>(Frame[at]) : 0;
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
  if (n > Frame.size() - ReadPos) {
    FrameFault = true;
    ReadPos = Frame.size();
    out.append(n, '\0');
    return;
  }
  out += Frame.substr(ReadPos, n);
  ReadPos += n;
}

// The chain is found first and copied at once: an image's data is mostly
// one long chain of full sub-blocks.
void AnimatedGIF::ReadSubBlocks(std::string& out) {
  std::size_t end = ReadPos;
  while (end < Frame.size() && Frame[end] != '\0') end += 1 + static_cast<std::uint8_t>(Frame[end]);
  AppendBytes(out, end + 1 - ReadPos);
}

std::string AnimatedGIF::ReadColorTable(std::size_t n) {
  return ReadBytes(3 * n);
}

std::string AnimatedGIF::DelayBytes() const {
  std::string delay;
  AppendWord(delay, FrameDelay);
  return delay;
}

}  // namespace flinder
