#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace flinder {

// PNG stores numbers most significant byte first.
void AppendBig16(std::string& out, std::uint32_t value);
void AppendBig32(std::string& out, std::uint32_t value);

// One chunk: length, type, data and the CRC of type and data.
void AppendChunk(std::string& out, std::string_view type, std::string_view data);

// The zlib stream of `raw`.
std::string Deflate(std::string_view raw);

}  // namespace flinder
