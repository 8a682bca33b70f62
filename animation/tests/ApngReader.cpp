#include "ApngReader.h"

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace flinder {
namespace {

std::uint32_t Big32(const std::string& s, std::size_t at) {
  auto b = [&](std::size_t i) {
    return static_cast<std::uint32_t>(static_cast<std::uint8_t>(s[at + i]));
  };
  return b(0) << 24 | b(1) << 16 | b(2) << 8 | b(3);
}

std::optional<std::string> Inflate(const std::string& packed, std::size_t expected) {
  std::string raw(expected, '\0');
  uLongf size = static_cast<uLongf>(expected);
  if (uncompress(reinterpret_cast<Bytef*>(raw.data()), &size,
                 reinterpret_cast<const Bytef*>(packed.data()),
                 static_cast<uLong>(packed.size())) != Z_OK ||
      size != expected)
    return std::nullopt;
  return raw;
}

struct Header {
  int Width = 0, Height = 0, BitDepth = 0, ColourType = 0;
  std::vector<std::uint8_t> Palette, Alphas;
  int Channels() const { return ColourType == 6 ? 4 : ColourType == 2 ? 3 : 1; }
};

// Undoes the filters and unpacks a rectangle's pixels to RGBA.
std::optional<RgbaRaster> Pixels(const Header& h, const std::string& packed, int width,
                                 int height) {
  const std::size_t bits = static_cast<std::size_t>(h.BitDepth) * h.Channels();
  const std::size_t rowBytes = (width * bits + 7) / 8, bpp = std::max<std::size_t>(1, bits / 8);
  auto raw = Inflate(packed, (rowBytes + 1) * height);
  if (!raw) return std::nullopt;
  RgbaRaster out(width, height);
  std::vector<std::uint8_t> row(rowBytes), above(rowBytes, 0);
  for (int y = 0; y < height; ++y) {
    const auto* in = reinterpret_cast<const std::uint8_t*>(raw->data()) + y * (rowBytes + 1);
    const int filter = in[0];
    for (std::size_t i = 0; i < rowBytes; ++i) {
      const int a = i >= bpp ? row[i - bpp] : 0, b = above[i], c = i >= bpp ? above[i - bpp] : 0;
      const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
      const int paeth = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      const int predicted[5] = {0, a, b, (a + b) / 2, paeth};
      if (filter > 4) return std::nullopt;
      row[i] = static_cast<std::uint8_t>(in[1 + i] + predicted[filter]);
    }
    for (int x = 0; x < width; ++x) {
      std::uint8_t* px = out.At(x, y);
      if (h.ColourType == 3) {
        const int bit = x * h.BitDepth;
        const int index = (row[bit / 8] >> (8 - h.BitDepth - bit % 8)) & ((1 << h.BitDepth) - 1);
        if (3 * index + 2 >= static_cast<int>(h.Palette.size())) return std::nullopt;
        for (int c = 0; c < 3; ++c) px[c] = h.Palette[3 * index + c];
        px[3] = index < static_cast<int>(h.Alphas.size()) ? h.Alphas[index] : 255;
      } else {
        for (int c = 0; c < h.Channels(); ++c) px[c] = row[x * h.Channels() + c];
        if (h.ColourType == 2) px[3] = 255;
      }
    }
    std::swap(row, above);
  }
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
  Header h;
  RgbaRaster canvas;
  std::string data;
  std::optional<ApngFrameControl> pending;
  auto finishFrame = [&]() -> bool {
    if (!pending) return true;
    auto pixels = Pixels(h, data, pending->Width, pending->Height);
    if (!pixels || pending->Left + pending->Width > h.Width ||
        pending->Top + pending->Height > h.Height)
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
      h.Width = static_cast<int>(Big32(body, 0));
      h.Height = static_cast<int>(Big32(body, 4));
      h.BitDepth = static_cast<std::uint8_t>(body[8]);
      h.ColourType = static_cast<std::uint8_t>(body[9]);
      decoded.BitDepth = h.BitDepth;
      decoded.ColourType = h.ColourType;
      canvas = RgbaRaster(h.Width, h.Height);
    } else if (type == "acTL") {
      decoded.Plays = static_cast<int>(Big32(body, 4));
    } else if (type == "PLTE") {
      h.Palette.assign(body.begin(), body.end());
    } else if (type == "tRNS") {
      h.Alphas.assign(body.begin(), body.end());
    } else if (type == "fcTL") {
      if (!finishFrame()) return std::nullopt;
      auto u16 = [&](std::size_t i) { return static_cast<int>(Big32(body, i) >> 16); };
      pending = ApngFrameControl{static_cast<int>(Big32(body, 4)),
                                 static_cast<int>(Big32(body, 8)),
                                 static_cast<int>(Big32(body, 12)),
                                 static_cast<int>(Big32(body, 16)),
                                 u16(20),
                                 u16(22),
                                 static_cast<std::uint8_t>(body[24]),
                                 static_cast<std::uint8_t>(body[25])};
    } else if (type == "IDAT") {
      data += body;
    } else if (type == "fdAT") {
      data += body.substr(4);
    } else if (type == "IEND") {
      if (decoded.Plays < 0 && !pending)  // a still PNG: its image is the one frame
        pending = ApngFrameControl{h.Width, h.Height, 0, 0, 0, 0, 0, 0};
      if (!finishFrame()) return std::nullopt;
      return decoded;
    }
  }
  return std::nullopt;
}

}  // namespace flinder
