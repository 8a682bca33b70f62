#include "gif/GifBlocks.h"

#include "gif/LittleEndian.h"

namespace flinder {

void AppendGraphicControl(std::string& out, GifDisposal disposal, std::uint16_t delay,
                          bool transparent, int transparentIndex) {
  out += "\x21\xF9\x04";  // extension, label, block size
  out += static_cast<char>((static_cast<int>(disposal) << 2) | (transparent ? 1 : 0));
  AppendWord(out, delay);
  out += static_cast<char>(transparentIndex);
  out += '\0';
}

void AppendImageDescriptor(std::string& out, int left, int top, int width, int height) {
  out += ',';
  AppendWord(out, left);
  AppendWord(out, top);
  AppendWord(out, width);
  AppendWord(out, height);
  out += '\0';
}

void AppendLoopExtension(std::string& out, int loopCount) {
  out += "\x21\xFF\x0BNETSCAPE2.0\x03\x01";
  AppendWord(out, loopCount);
  out += '\0';
}

}  // namespace flinder
