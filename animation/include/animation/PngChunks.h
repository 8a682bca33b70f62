#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace flinder {

// PNG stores numbers most significant byte first.
void AppendBig16(std::string& out, std::uint32_t value);
void AppendBig32(std::string& out, std::uint32_t value);

// One chunk: length, type, data and the CRC of type and data.
void AppendChunk(std::string& out, std::string_view type, std::string_view data);

// The zlib stream of `raw`; throws std::bad_alloc when zlib has no memory.
std::string Deflate(std::string_view raw);
// The `size` bytes a zlib stream of ours holds; anything else is a fault of ours.
std::string Inflate(std::string_view packed, std::size_t size);

}  // namespace flinder
