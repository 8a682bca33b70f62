#include "animation/PngChunks.h"

#include <zlib.h>

#include <new>
#include <stdexcept>

namespace flinder {

void AppendBig16(std::string& out, std::uint32_t value) {
  out += static_cast<char>((value >> 8) & 0xFF);
  out += static_cast<char>(value & 0xFF);
}

void AppendBig32(std::string& out, std::uint32_t value) {
  AppendBig16(out, value >> 16);
  AppendBig16(out, value & 0xFFFF);
}

void AppendChunk(std::string& out, std::string_view type, std::string_view data) {
  AppendBig32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t start = out.size();
  out += type;
  out += data;
  const auto* bytes = reinterpret_cast<const Bytef*>(out.data() + start);
  AppendBig32(out,
              static_cast<std::uint32_t>(crc32(0, bytes, static_cast<uInt>(out.size() - start))));
}

std::string Deflate(std::string_view raw) {
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  std::string packed(size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(packed.data()), &size,
                reinterpret_cast<const Bytef*>(raw.data()), static_cast<uLong>(raw.size()),
                Z_DEFAULT_COMPRESSION) != Z_OK)
    throw std::bad_alloc();  // zlib fails on our own rows only for want of memory
  // Made for the worst case; the frames' data is kept until the file is whole.
  packed.resize(size);
  packed.shrink_to_fit();
  return packed;
}

std::string Inflate(std::string_view packed, std::size_t size) {
  std::string raw(size, '\0');
  uLongf length = static_cast<uLongf>(size);
  if (uncompress(reinterpret_cast<Bytef*>(raw.data()), &length,
                 reinterpret_cast<const Bytef*>(packed.data()),
                 static_cast<uLong>(packed.size())) != Z_OK ||
      length != size)
    throw std::logic_error("a picture packed here does not unpack");
  return raw;
}

}  // namespace flinder
