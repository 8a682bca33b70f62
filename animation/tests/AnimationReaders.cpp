#include "AnimationReaders.h"

#include <png.h>
#include <webp/demux.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>

namespace flinder {
namespace {

std::uint32_t Big32(const std::string& s, std::size_t at) {
  auto b = [&](std::size_t i) {
    return static_cast<std::uint32_t>(static_cast<std::uint8_t>(s[at + i]));
  };
  return b(0) << 24 | b(1) << 16 | b(2) << 8 | b(3);
}

std::string Big32Bytes(std::size_t value) {
  std::string bytes(4, '\0');
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>(value >> (24 - 8 * i));
  return bytes;
}

// A chunk as a file holds it: length, type, body and CRC.
std::string Chunk(const std::string& type, const std::string& body) {
  const std::string typed = type + body;
  const auto crc = crc32(0, reinterpret_cast<const Bytef*>(typed.data()), typed.size());
  return Big32Bytes(body.size()) + typed + Big32Bytes(crc);
}

// libpng's reading of one frame's data: a still PNG of the frame's size with the file's
// header and palette chunks.
std::optional<RgbaRaster> Pixels(std::string header, const std::string& palette,
                                 const std::string& data, int width, int height) {
  header.replace(0, 8, Big32Bytes(width) + Big32Bytes(height));
  const std::string file = "\x89PNG\r\n\x1A\n" + Chunk("IHDR", header) + palette +
                           Chunk("IDAT", data) + Chunk("IEND", "");
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, file.data(), file.size())) return std::nullopt;
  image.format = PNG_FORMAT_RGBA;
  RgbaRaster out(width, height);
  if (!png_image_finish_read(&image, nullptr, out.Bytes.data(), 0, nullptr)) return std::nullopt;
  return out;
}

// Draws the rectangle on the canvas as the APNG rules say.
void Compose(RgbaRaster& canvas, const RgbaRaster& frame, const ApngFrameControl& c) {
  for (int y = 0; y < c.Height; ++y)
    for (int x = 0; x < c.Width; ++x) {
      const std::uint8_t* src = frame.At(x, y);
      std::uint8_t* dst = canvas.At(c.Left + x, c.Top + y);
      if (c.Blend == 0 || src[3] == 255 || dst[3] == 0) {
        std::copy_n(src, 4, dst);
        continue;
      }
      const double sa = src[3] / 255.0, da = dst[3] / 255.0, a = sa + da * (1 - sa);
      for (int k = 0; k < 3; ++k)
        dst[k] = static_cast<std::uint8_t>((src[k] * sa + dst[k] * da * (1 - sa)) / a + 0.5);
      dst[3] = static_cast<std::uint8_t>(a * 255 + 0.5);
    }
}

}  // namespace

std::optional<DecodedApng> DecodeApng(const std::string& bytes) {
  if (bytes.compare(0, 8, "\x89PNG\r\n\x1A\n") != 0) return std::nullopt;
  DecodedApng decoded;
  RgbaRaster canvas;
  std::string header, palette, data;
  std::optional<ApngFrameControl> pending;
  auto finishFrame = [&]() -> bool {
    if (!pending) return true;
    auto pixels = Pixels(header, palette, data, pending->Width, pending->Height);
    if (!pixels || pending->Left + pending->Width > canvas.Width ||
        pending->Top + pending->Height > canvas.Height)
      return false;
    const RgbaRaster before = canvas;
    Compose(canvas, *pixels, *pending);
    decoded.Shown.push_back(canvas);
    if (pending->Dispose == 1)
      for (int y = 0; y < pending->Height; ++y)
        for (int x = 0; x < pending->Width; ++x)
          std::fill_n(canvas.At(pending->Left + x, pending->Top + y), 4, 0);
    if (pending->Dispose == 2) canvas = before;
    decoded.Controls.push_back(*pending);
    pending.reset();
    data.clear();
    return true;
  };
  for (std::size_t at = 8; at + 12 <= bytes.size();) {
    const std::uint32_t length = Big32(bytes, at);
    if (at + 12 + length > bytes.size()) return std::nullopt;
    const std::string type = bytes.substr(at + 4, 4), body = bytes.substr(at + 8, length);
    const auto crc = crc32(0, reinterpret_cast<const Bytef*>(bytes.data() + at + 4), length + 4);
    if (crc != Big32(bytes, at + 8 + length)) return std::nullopt;
    at += 12 + length;
    if (type == "IHDR") {
      header = body;
      decoded.ColourType = static_cast<std::uint8_t>(body[9]);
      canvas = RgbaRaster(static_cast<int>(Big32(body, 0)), static_cast<int>(Big32(body, 4)));
    } else if (type == "acTL") {
      decoded.Plays = static_cast<int>(Big32(body, 4));
    } else if (type == "PLTE" || type == "tRNS") {
      palette += Chunk(type, body);
    } else if (type == "fcTL") {
      if (!finishFrame()) return std::nullopt;
      auto at = [&](std::size_t i) { return static_cast<int>(Big32(body, i)); };
      pending = ApngFrameControl{at(4),        at(8),        at(12),   at(16),
                                 at(20) >> 16, at(22) >> 16, body[24], body[25]};
    } else if (type == "IDAT") {
      data += body;
    } else if (type == "fdAT") {
      data += body.substr(4);
    } else if (type == "IEND") {
      if (decoded.Plays < 0 && !pending)  // a still PNG: its image is the one frame
        pending = ApngFrameControl{canvas.Width, canvas.Height, 0, 0, 0, 0, 0, 0};
      if (!finishFrame()) return std::nullopt;
      return decoded;
    }
  }
  return std::nullopt;
}

DecodedWebp DecodeWebp(const std::string& bytes) {
  WebPData data = {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
  WebPAnimDecoderOptions options;
  WebPAnimDecoderOptionsInit(&options);
  options.color_mode = MODE_RGBA;
  WebPAnimDecoder* decoder = WebPAnimDecoderNew(&data, &options);
  DecodedWebp decoded;
  if (!decoder) return decoded;
  WebPAnimInfo info;
  WebPAnimDecoderGetInfo(decoder, &info);
  decoded.Loops = static_cast<int>(info.loop_count);
  while (WebPAnimDecoderHasMoreFrames(decoder)) {
    std::uint8_t* pixels = nullptr;
    int time = 0;
    if (!WebPAnimDecoderGetNext(decoder, &pixels, &time)) break;
    RgbaRaster frame(static_cast<int>(info.canvas_width), static_cast<int>(info.canvas_height));
    std::copy_n(pixels, frame.Bytes.size(), frame.Bytes.begin());
    decoded.Shown.push_back(std::move(frame));
    decoded.EndTimes.push_back(time);
  }
  WebPAnimDecoderDelete(decoder);
  return decoded;
}

}  // namespace flinder
