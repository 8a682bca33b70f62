#include "animation/ApngEncoder.h"

#include <algorithm>
#include <stdexcept>

#include "animation/FrameChange.h"
#include "animation/PngChunks.h"
#include "animation/WorkBuffers.h"

namespace flinder {
namespace {

using PixelKind = ApngEncoder::PixelKind;

constexpr std::string_view Signature = "\x89PNG\r\n\x1A\n";
constexpr std::uint8_t DisposeNone = 0, BlendSource = 0, BlendOver = 1;
// Frames whose pixels are all opaque pack laid over as RGBA or replacing as
// RGB; if so many in a row were smaller replacing, the rest are not tried.
constexpr int TrialsOfLayingOver = 4;
constexpr std::uint8_t ColourTypeRgb = 2, ColourTypePalette = 3, ColourTypeRgba = 6;
// A pixel as one number, red in the top byte; every fully clear pixel is the
// same clear black.
std::uint32_t Pack(const std::uint8_t* p) {
  if (p[3] == 0) return 0;
  return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

int BytesPerPixel(PixelKind kind) {
  return kind == PixelKind::Rgba ? 4 : kind == PixelKind::Rgb ? 3 : 1;
}

std::size_t RowBytes(int width, PixelKind kind) {
  return static_cast<std::size_t>(width) * BytesPerPixel(kind);
}

// In a rectangle laid over, the pixels that stay are clear; they may as well
// be written in their own colour where it is opaque. A stretch of them all in
// the colour of the pixel written before or after it, or above its first, is,
// so that it lengthens a run or a match instead of breaking the row into more.
void ShowStayingRunsInColour(RgbaRaster& laid, const RgbaRaster& source) {
  for (int y = 0; y < laid.Height; ++y)
    for (int x = 0; x < laid.Width;) {
      // A changed pixel laid over is never clear.
      if (Pack(laid.At(x, y)) != 0) {
        ++x;
        continue;
      }
      const std::uint32_t colour = Pack(source.At(x, y));
      bool oneColour = (colour & 0xFF) == 255;
      int end = x;
      for (; end < laid.Width && Pack(laid.At(end, y)) == 0; ++end)
        oneColour &= Pack(source.At(end, y)) == colour;
      auto written = [&](int atX, int atY) {
        return atX >= 0 && atX < laid.Width && atY >= 0 && Pack(laid.At(atX, atY)) == colour;
      };
      if (oneColour && (written(x - 1, y) || written(end, y) || written(x, y - 1)))
        for (int k = x; k < end; ++k) std::copy_n(source.At(k, y), 4, laid.At(k, y));
      x = end;
    }
}

}  // namespace

// A frame on its way into the file.
struct ApngEncoder::ApngFrame : Frame {
  FrameChange Change;
  PixelKind Kind = PixelKind::Palette;  // as packed
  RgbaRaster Source;  // the rectangle's own pixels, when the change lays it over
  std::string Data;   // the zlib stream, once encoded
  std::string Laid;   // laid over in RGBA, while Add is to choose
};

ApngEncoder::ApngEncoder(int width, int height, AnimationTiming timing)
    : width_(width), height_(height), timing_(timing) {
  if (width < 1 || height < 1) throw std::invalid_argument("an animation needs pixels");
  ReuseWorkBuffers();
}

ApngEncoder::~ApngEncoder() = default;

std::unique_ptr<ApngEncoder::Frame> ApngEncoder::Prepare(RgbaRaster&& frame) {
  if (frame.Width != width_ || frame.Height != height_)
    throw std::invalid_argument("a frame of another size");
  auto prepared = std::make_unique<ApngFrame>();
  FrameChange& change = prepared->Change;
  change = canvas_.Bytes.empty() ? WholeFrame(frame) : ChangeBetween(canvas_, frame, 1);
  RgbaRaster source(change.Pixels.Width, change.Pixels.Height);
  for (int y = 0; y < source.Height; ++y)
    std::copy_n(frame.At(change.Left, change.Top + y), 4 * source.Width, source.At(0, y));
  canvas_ = std::move(frame);
  Admit(source);
  prepared->Kind = kind_;
  // A palette frame replaces its rectangle: ffmpeg cannot lay palette
  // pixels over others. An RGB frame replaces it too, and is also tried laid
  // over in RGBA (Add keeps one) until a few in a row were smaller replacing;
  // an RGBA frame is laid over where it can be.
  if (kind_ == PixelKind::Palette || !change.Over ||
      (kind_ == PixelKind::Rgb && replacedInARow_ >= TrialsOfLayingOver)) {
    change.Over = false;
    change.Pixels = std::move(source);
  } else {
    prepared->Source = std::move(source);
  }
  return prepared;
}

void ApngEncoder::Admit(const RgbaRaster& pixels) {
  std::uint32_t last = 0;
  bool any = false;
  for (std::size_t p = 0; p < pixels.Bytes.size(); p += 4) {
    const std::uint32_t colour = Pack(&pixels.Bytes[p]);
    if (any && colour == last) continue;
    last = colour;
    any = true;
    seenAlpha_ |= (colour & 0xFF) != 255;
    if (seenAlpha_ && kind_ == PixelKind::Rgb) kind_ = PixelKind::Rgba;
    if (kind_ != PixelKind::Palette || index_.count(colour)) continue;
    // ffmpeg composes palette frames with alpha wrongly after the first.
    if (palette_.size() == 256 || seenAlpha_) {
      kind_ = PixelKind::Rgb;
      continue;
    }
    index_.emplace(colour, static_cast<std::uint8_t>(palette_.size()));
    palette_.push_back(colour);
  }
}

std::string ApngEncoder::PackedRows(const RgbaRaster& pixels, PixelKind kind) const {
  const std::size_t rowBytes = RowBytes(pixels.Width, kind);
  std::string raw((rowBytes + 1) * static_cast<std::size_t>(pixels.Height), '\0');
  std::uint32_t last = 0;
  std::uint8_t lastIndex = kind == PixelKind::Palette && index_.count(0) ? index_.at(0) : 0;
  for (int y = 0; y < pixels.Height; ++y) {
    auto* row = reinterpret_cast<std::uint8_t*>(raw.data()) + y * (rowBytes + 1) + 1;
    for (int x = 0; x < pixels.Width; ++x) {
      std::uint32_t colour = Pack(pixels.At(x, y));
      if (kind == PixelKind::Palette) {
        if (colour != last) {
          last = colour;
          lastIndex = index_.at(colour);
        }
        *row++ = lastIndex;
        continue;
      }
      for (int c = 0; c < BytesPerPixel(kind); ++c)
        *row++ = static_cast<std::uint8_t>(colour >> (24 - 8 * c));
    }
  }
  return raw;
}

void ApngEncoder::Encode(Frame& encoded) const {
  auto& frame = static_cast<ApngFrame&>(encoded);
  FrameChange& change = frame.Change;
  if (!change.Over) {
    frame.Data = Deflate(PackedRows(change.Pixels, frame.Kind));
  } else {
    ShowStayingRunsInColour(change.Pixels, frame.Source);
    frame.Laid = Deflate(PackedRows(change.Pixels, PixelKind::Rgba));
    if (frame.Kind == PixelKind::Rgb) frame.Data = Deflate(PackedRows(frame.Source, frame.Kind));
  }
  // The data holds the pixels now; the change keeps the rectangle's size.
  change.Pixels.Bytes = std::vector<std::uint8_t>();
  frame.Source = RgbaRaster();
}

Result<> ApngEncoder::Add(std::unique_ptr<Frame> added) {
  if (added->EncodeFailure) return *added->EncodeFailure;
  auto& frame = static_cast<ApngFrame&>(*added);
  if (frame.Change.Over) {
    // Once a frame laid over packs smaller than replacing in RGB, RGBA it is.
    if (frame.Kind == PixelKind::Rgb && kind_ == PixelKind::Rgb) {
      if (frame.Laid.size() < frame.Data.size())
        kind_ = PixelKind::Rgba;
      else
        ++replacedInARow_;
    }
    if (frame.Kind == PixelKind::Rgba || kind_ == PixelKind::Rgba) {
      frame.Data = std::move(frame.Laid);
      frame.Kind = PixelKind::Rgba;
    } else {
      frame.Change.Over = false;
    }
    frame.Laid = std::string();
  }
  // Owned again before the list may grow, which can fail.
  std::unique_ptr<ApngFrame> kept(static_cast<ApngFrame*>(added.release()));
  frames_.push_back(std::move(kept));
  return {};
}

RgbaRaster ApngEncoder::UnpackedRows(const ApngFrame& frame) const {
  const FrameChange& change = frame.Change;
  const int width = change.Pixels.Width, height = change.Pixels.Height;
  const std::size_t rowBytes = RowBytes(width, frame.Kind);
  const std::string raw = Inflate(frame.Data, (rowBytes + 1) * height);
  RgbaRaster pixels(width, height);
  for (int y = 0; y < height; ++y) {
    const auto* row = reinterpret_cast<const std::uint8_t*>(raw.data()) + y * (rowBytes + 1) + 1;
    for (int x = 0; x < width; ++x) {
      std::uint32_t colour = 0;
      if (frame.Kind == PixelKind::Palette) {
        colour = palette_[row[x]];
      } else {
        for (int c = 0; c < BytesPerPixel(frame.Kind); ++c) colour = colour << 8 | *row++;
        if (frame.Kind == PixelKind::Rgb) colour = colour << 8 | 0xFF;
      }
      for (int c = 0; c < 4; ++c)
        pixels.At(x, y)[c] = static_cast<std::uint8_t>(colour >> (24 - 8 * c));
    }
  }
  return pixels;
}

Result<std::string> ApngEncoder::Finish() {
  if (frames_.empty()) throw std::logic_error("an animation needs a frame");
  for (std::unique_ptr<ApngFrame>& frame : frames_) {
    if (frame->Kind == kind_) continue;
    frame->Data = Deflate(PackedRows(UnpackedRows(*frame), kind_));
    frame->Kind = kind_;
  }

  std::string out(Signature);
  std::string header;
  AppendBig32(header, static_cast<std::uint32_t>(width_));
  AppendBig32(header, static_cast<std::uint32_t>(height_));
  header += static_cast<char>(8);  // bits a sample or index
  header += static_cast<char>(kind_ == PixelKind::Palette ? ColourTypePalette
                              : kind_ == PixelKind::Rgb   ? ColourTypeRgb
                                                          : ColourTypeRgba);
  header += std::string(3, '\0');  // deflate, adaptive filters, no interlace
  AppendChunk(out, "IHDR", header);
  // A single frame is written as a plain PNG, which every reader shows.
  const bool animated = frames_.size() > 1;
  if (animated) {
    std::string control;
    AppendBig32(control, static_cast<std::uint32_t>(frames_.size()));
    AppendBig32(control, static_cast<std::uint32_t>(timing_.Plays));
    AppendChunk(out, "acTL", control);
  }
  if (kind_ == PixelKind::Palette) {
    std::string colours;
    for (std::uint32_t colour : palette_)
      for (int shift : {24, 16, 8}) colours += static_cast<char>(colour >> shift);
    AppendChunk(out, "PLTE", colours);
  }

  const auto delay = static_cast<std::uint32_t>(std::clamp(timing_.DelayMilliseconds, 0, 65535));
  std::uint32_t sequence = 0;
  for (std::size_t i = 0; i < frames_.size(); ++i) {
    const ApngFrame& frame = *frames_[i];
    if (!animated) {
      AppendChunk(out, "IDAT", frame.Data);
      break;
    }
    std::string fcTL;
    AppendBig32(fcTL, sequence++);
    AppendBig32(fcTL, static_cast<std::uint32_t>(frame.Change.Pixels.Width));
    AppendBig32(fcTL, static_cast<std::uint32_t>(frame.Change.Pixels.Height));
    AppendBig32(fcTL, static_cast<std::uint32_t>(frame.Change.Left));
    AppendBig32(fcTL, static_cast<std::uint32_t>(frame.Change.Top));
    AppendBig16(fcTL, delay);
    AppendBig16(fcTL, 1000);
    fcTL += static_cast<char>(DisposeNone);
    fcTL += static_cast<char>(frame.Change.Over ? BlendOver : BlendSource);
    AppendChunk(out, "fcTL", fcTL);
    if (i == 0) {
      AppendChunk(out, "IDAT", frame.Data);
    } else {
      std::string fdAT;
      AppendBig32(fdAT, sequence++);
      AppendChunk(out, "fdAT", fdAT + frame.Data);
    }
  }
  AppendChunk(out, "IEND", {});
  return out;
}

}  // namespace flinder
