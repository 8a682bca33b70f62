#include "animation/GifAnimationEncoder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <utility>

#include "gif/GifBlocks.h"
#include "gif/GifFrameWriter.h"
#include "gif/GifLzw.h"

namespace flinder {

namespace {

// The shortest stretches of staying pixels tried as staying, the last
// meaning none: every one in colour.
constexpr std::size_t StretchChoices[] = {1, 3, 8, 32, SIZE_MAX};

std::uint64_t Eight(const std::uint8_t* at) {
  std::uint64_t word;
  std::memcpy(&word, at, sizeof word);
  return word;
}

// The first x where rows a and b differ, or `width`; most rows are the
// same, so 32 pixels are compared at once, then eight.
int FirstDifference(const std::uint8_t* a, const std::uint8_t* b, int width) {
  int x = 0;
  for (; width - x >= 32; x += 32)
    if (((Eight(a + x) ^ Eight(b + x)) | (Eight(a + x + 8) ^ Eight(b + x + 8)) |
         (Eight(a + x + 16) ^ Eight(b + x + 16)) | (Eight(a + x + 24) ^ Eight(b + x + 24))) != 0)
      break;
  for (; width - x >= 8; x += 8)
    if (const std::uint64_t differ = Eight(a + x) ^ Eight(b + x))
      return x + std::countr_zero(differ) / 8;
  while (x < width && a[x] == b[x]) ++x;
  return x;
}

// The last x where rows a and b differ; they do differ.
int LastDifference(const std::uint8_t* a, const std::uint8_t* b, int width) {
  int x = width;
  for (; x >= 8; x -= 8)
    if (const std::uint64_t differ = Eight(a + x - 8) ^ Eight(b + x - 8))
      return x - 1 - std::countl_zero(differ) / 8;
  while (a[x - 1] == b[x - 1]) --x;
  return x - 1;
}

// Writes the pixels of one candidate: those of stretches of at least
// `least` staying pixels as `stays` when `keep` is 1, the others in colour.
// Gives whether any pixel stays, and the highest index written. Masks rather
// than branches, so that the loop runs sixteen pixels at a time.
bool WriteCandidate(const std::uint8_t* __restrict pixels, const std::uint8_t* __restrict stretch,
                    std::uint8_t* __restrict written, std::size_t count, std::uint8_t keep,
                    std::uint8_t least, std::uint8_t stays, std::uint8_t& highest) {
  std::uint8_t top = 0, used = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t stay = keep & (stretch[i] >= least);
    const auto mask = static_cast<std::uint8_t>(-stay);
    const auto pixel = static_cast<std::uint8_t>((stays & mask) | (pixels[i] & ~mask));
    written[i] = pixel;
    used |= stay;
    top = top > pixel ? top : pixel;
  }
  highest = top;
  return used != 0;
}

}  // namespace

struct GifAnimationEncoder::Box {
  int Left = 0, Top = 0, Right = -1, Bottom = -1;  // inclusive; empty while Right < Left
  bool Empty() const { return Right < Left; }
  void Add(int x, int y) {
    if (Empty()) {
      Left = Right = x;
      Top = Bottom = y;
      return;
    }
    Left = std::min(Left, x);
    Right = std::max(Right, x);
    Top = std::min(Top, y);
    Bottom = std::max(Bottom, y);
  }
  void Add(const Box& other) {
    if (other.Empty()) return;
    Add(other.Left, other.Top);
    Add(other.Right, other.Bottom);
  }
};

// One frame's image, chosen in order and encoded later, with others at once.
struct GifAnimationEncoder::FrameImage : Frame {
  Box Place;
  GifDisposal Disposal = GifDisposal::LeaveInPlace;
  int Stays = -1;  // the index that stands for staying pixels, or -1
  // The box's pixels, and the stretch of staying pixels each belongs to
  // (0: it changes; lengths stop at 255).
  std::vector<std::uint8_t> Pixels;
  std::vector<std::uint8_t> Stretch;
  std::string Data;  // the LZW image data once encoded
  bool StaysUsed = false;
};

GifAnimationEncoder::GifAnimationEncoder(int width, int height, std::vector<ColourValue> palette,
                                         int transparentIndex, bool optimise, std::uint16_t delay,
                                         int loopCount)
    : width_(width),
      height_(height),
      palette_(std::move(palette)),
      transparentIndex_(transparentIndex),
      optimise_(optimise),
      delay_(delay) {
  if (width <= 0 || height <= 0 || width > 65535 || height > 65535 || palette_.empty() ||
      palette_.size() > 256 || transparentIndex >= static_cast<int>(palette_.size()))
    throw std::invalid_argument("no GIF animation of this size or palette");

  out_ = "GIF89a";
  // Readers that clear to the background colour clear to the transparent entry.
  tableBits_ =
      AppendScreenAndTable(out_, width_, height_, palette_, std::max(transparentIndex_, 0));
  AppendLoopExtension(out_, loopCount);
  canvas_.assign(static_cast<std::size_t>(width_) * height_,
                 static_cast<std::uint8_t>(std::max(transparentIndex_, 0)));
}

GifAnimationEncoder::~GifAnimationEncoder() = default;

std::unique_ptr<GifAnimationEncoder::Frame> GifAnimationEncoder::Prepare(IndexedFrame&& frame) {
  std::vector<std::uint8_t>& indexes = frame.Indexes;
  if (indexes.size() != canvas_.size()) throw std::invalid_argument("a frame of another size");
  if (first_.empty()) first_ = indexes;
  std::unique_ptr<FrameImage> image;
  if (!pending_.empty()) image = ChooseImage(indexes);
  pending_ = std::move(indexes);
  return image;
}

Result<> GifAnimationEncoder::Add(std::unique_ptr<Frame> frame) {
  auto& image = static_cast<FrameImage&>(*frame);
  WriteImage(image);
  spareRows_.push_back(std::move(image.Pixels));
  spareRows_.push_back(std::move(image.Stretch));
  return {};
}

std::string GifAnimationEncoder::TakeBytes() {
  return std::exchange(out_, std::string());
}

Result<std::string> GifAnimationEncoder::Finish() {
  if (pending_.empty()) throw std::logic_error("an animation without frames");
  std::unique_ptr<FrameImage> last = ChooseImage(first_);
  pending_.clear();
  Encode(*last);
  WriteImage(*last);
  out_ += ';';
  return TakeBytes();
}

GifAnimationEncoder::Box GifAnimationEncoder::ChangedBox(
    const std::vector<std::uint8_t>& frame) const {
  Box box;
  for (int y = 0; y < height_; ++y) {
    const std::uint8_t* row = &frame[static_cast<std::size_t>(y) * width_];
    const std::uint8_t* shown = &canvas_[static_cast<std::size_t>(y) * width_];
    // Only the row's first and last change can widen the box.
    const int x = FirstDifference(row, shown, width_);
    if (x == width_) continue;
    box.Add(x, y);
    box.Add(LastDifference(row, shown, width_), y);
  }
  return box;
}

// The opaque pixels of `frame` that are transparent in `next`: no frame can
// draw a pixel transparent, so they must be cleared after `frame` is shown.
GifAnimationEncoder::Box GifAnimationEncoder::VanishingBox(
    const std::vector<std::uint8_t>& frame, const std::vector<std::uint8_t>& next) const {
  Box box;
  if (transparentIndex_ < 0) return box;
  const auto t = static_cast<std::uint8_t>(transparentIndex_);
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) {
      const std::size_t p = static_cast<std::size_t>(y) * width_ + x;
      if (frame[p] != t && next[p] == t) box.Add(x, y);
    }
  return box;
}

// The box's pixels in order, and for each the length of the stretch of
// staying pixels it belongs to: 0 when it changes, and lengths stop at 255,
// far above the longest choice. Gives the lowest index that no changing
// pixel uses, to stand for the pixels that stay, or -1 when every entry is
// taken; entries past the palette, which pad the table to a power of two,
// are never used.
int GifAnimationEncoder::CollectPixels(const std::vector<std::uint8_t>& frame, FrameImage& image) {
  const Box& box = image.Place;
  const auto width = static_cast<std::size_t>(box.Right - box.Left + 1);
  const std::size_t count = width * static_cast<std::size_t>(box.Bottom - box.Top + 1);
  for (std::vector<std::uint8_t>* rows : {&image.Pixels, &image.Stretch}) {
    if (!spareRows_.empty()) {
      *rows = std::move(spareRows_.back());
      spareRows_.pop_back();
    }
    rows->resize(count);
  }
  std::uint8_t* pixels = image.Pixels.data();
  std::uint8_t* stretch = image.Stretch.data();
  std::array<bool, 256> used{};
  std::size_t stretchStart = 0;
  auto endStretch = [&](std::size_t end) {
    std::fill(stretch + stretchStart, stretch + end,
              static_cast<std::uint8_t>(std::min<std::size_t>(end - stretchStart, 255)));
  };
  auto change = [&](std::size_t at) {
    endStretch(at);
    stretch[at] = 0;
    stretchStart = at + 1;
    used[pixels[at]] = true;
  };
  for (int y = box.Top; y <= box.Bottom; ++y) {
    const std::size_t at = static_cast<std::size_t>(y - box.Top) * width;
    const std::uint8_t* pixel = &frame[static_cast<std::size_t>(y) * width_ + box.Left];
    const std::uint8_t* shown = &canvas_[static_cast<std::size_t>(y) * width_ + box.Left];
    std::memcpy(pixels + at, pixel, width);
    // Most of a box stays: eight pixels are compared at once.
    std::size_t x = 0;
    for (; x + 8 <= width; x += 8)
      for (std::uint64_t differ = Eight(pixel + x) ^ Eight(shown + x); differ != 0;) {
        const int byte = std::countr_zero(differ) / 8;
        change(at + x + static_cast<std::size_t>(byte));
        differ &= ~(std::uint64_t{0xFF} << (8 * byte));
      }
    for (; x < width; ++x)
      if (pixel[x] != shown[x]) change(at + x);
  }
  endStretch(count);
  const auto end = used.begin() + (1 << tableBits_);
  const auto unused = std::find(used.begin(), end, false);
  return unused == end ? -1 : static_cast<int>(unused - used.begin());
}

// Pixels that stay can be written as such or in their own colour: short
// stretches of them may break fewer runs in colour. The LZW coder tells
// which way is shortest; without a spare index they are all in colour.
void GifAnimationEncoder::Encode(Frame& frame) const {
  auto& image = static_cast<FrameImage&>(frame);
  // Each thread keeps its candidates' memory from one image to the next.
  thread_local std::vector<std::uint8_t> written;
  thread_local std::string data;
  if (written.size() < image.Pixels.size()) written.resize(image.Pixels.size());
  const std::size_t count = image.Pixels.size();
  for (const std::size_t shortest : StretchChoices) {
    if (image.Stays < 0 && shortest != SIZE_MAX) continue;
    // Stretch lengths stop at 255 and changed pixels have none: the longest
    // choice keeps every pixel in colour.
    const auto least = static_cast<std::uint8_t>(std::min<std::size_t>(shortest, 255));
    const bool none = shortest > 255;
    const auto stays = static_cast<std::uint8_t>(std::max(image.Stays, 0));
    std::uint8_t highest = 0;
    const bool used = WriteCandidate(image.Pixels.data(), image.Stretch.data(), written.data(),
                                     count, none ? 0 : 1, least, stays, highest);
    // Codes start as wide as the image's highest index needs, not the table.
    int codeSize = 2;
    while ((1 << codeSize) <= highest) ++codeSize;
    // Data as long as the shortest so far is not wanted: the coding stops there.
    data.clear();
    const bool first = image.Data.empty();
    if (!AppendLzwImageData(data, written.data(), count, codeSize,
                            first ? SIZE_MAX : image.Data.size()))
      continue;
    if (first || data.size() < image.Data.size()) {
      image.Data = data;
      image.StaysUsed = used;
    }
  }
}

std::unique_ptr<GifAnimationEncoder::FrameImage> GifAnimationEncoder::ChooseImage(
    const std::vector<std::uint8_t>& next) {
  const std::vector<std::uint8_t>& frame = pending_;
  const bool whole = !optimise_ || framesChosen_ == 0;
  auto chosen = std::make_unique<FrameImage>();
  FrameImage& image = *chosen;
  Box& box = image.Place;
  if (whole) {
    box = {0, 0, width_ - 1, height_ - 1};
  } else {
    box = ChangedBox(frame);
    // A frame that changes nothing still holds one pixel, which stays.
    if (box.Empty()) box = {0, 0, 0, 0};
  }
  image.Disposal = GifDisposal::LeaveInPlace;
  if (transparentIndex_ >= 0) {
    const Box vanishing = whole && !optimise_ ? box : VanishingBox(frame, next);
    if (!vanishing.Empty()) {
      image.Disposal = GifDisposal::RestoreToBackground;
      box.Add(vanishing);
    }
  }
  const int unused = CollectPixels(frame, image);
  image.Stays = whole || transparentIndex_ >= 0 ? transparentIndex_ : unused;

  // Outside the box the frame is what is shown already.
  const int boxWidth = box.Right - box.Left + 1;
  for (int y = box.Top; y <= box.Bottom; ++y) {
    const std::size_t row = static_cast<std::size_t>(y) * width_ + box.Left;
    if (image.Disposal == GifDisposal::RestoreToBackground)
      std::fill_n(&canvas_[row], boxWidth, static_cast<std::uint8_t>(transparentIndex_));
    else
      std::copy_n(&frame[row], boxWidth, &canvas_[row]);
  }
  ++framesChosen_;
  return chosen;
}

void GifAnimationEncoder::WriteImage(const FrameImage& image) {
  const Box& box = image.Place;
  const bool transparency = transparentIndex_ >= 0 || image.StaysUsed;
  AppendGraphicControl(out_, image.Disposal, delay_, transparency,
                       transparentIndex_ >= 0 ? transparentIndex_ : std::max(image.Stays, 0));
  AppendImageDescriptor(out_, box.Left, box.Top, box.Right - box.Left + 1,
                        box.Bottom - box.Top + 1);
  out_ += image.Data;
}

}  // namespace flinder
