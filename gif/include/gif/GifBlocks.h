#pragma once

#include <cstdint>
#include <string>

namespace flinder {

// How a GIF reader leaves a frame before it draws the next one.
enum class GifDisposal : std::uint8_t { Unspecified = 0, LeaveInPlace = 1, RestoreToBackground = 2 };

// Appends a graphic control extension: how the frame is disposed of, how
// long it shows (hundredths of a second) and, when `transparent` is set,
// which palette index is not drawn.
void AppendGraphicControl(std::string& out, GifDisposal disposal, std::uint16_t delay,
                          bool transparent, int transparentIndex);

// Appends an image descriptor for a `width` x `height` image at left, top,
// without a local colour table or interlacing.
void AppendImageDescriptor(std::string& out, int left, int top, int width, int height);

// Appends the NETSCAPE2.0 application extension: browsers play the
// animation loopCount + 1 times, or for ever at 0.
void AppendLoopExtension(std::string& out, int loopCount);

}  // namespace flinder
