#include "gif/GifLzw.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

namespace flinder {

namespace {

// The table is cleared before code 4095 is handed out, as widely used
// encoders do, so that decoders which never expect the last code cope.
constexpr unsigned CodeLimit = 4095;

// Table entries are (prefix code << 8 | pixel) << 12 | code. Twice as many
// slots as codes keep probes short, and the 32 KiB stay in the L1 cache.
constexpr int HashBits = 13;
constexpr std::size_t HashMask = (std::size_t{1} << HashBits) - 1;
constexpr std::uint32_t EmptySlot = 0xFFFFFFFF;  // prefix 4095 never occurs

// Packs codes, lowest bit first, into one stretch of bytes, which Finish
// cuts into numbered sub-blocks: counting bytes into blocks for every code
// would cost more than the codes.
class CodeWriter {
 public:
  // Room for `count` pixels' codes: no code is wider than 12 bits, and each
  // one stands for at least one pixel, besides the clear and end codes.
  explicit CodeWriter(std::size_t count) {
    const std::size_t room = count * 3 / 2 + (count / (CodeLimit - 258) + 4) * 2 + 8;
    if (Bytes.size() < room) Bytes.resize(room);
    at_ = Bytes.data();
  }

  void Put(unsigned code, int width) {
    pending_ |= static_cast<std::uint64_t>(code) << pendingBits_;
    pendingBits_ += width;
    while (pendingBits_ >= 8) {
      *at_++ = static_cast<std::uint8_t>(pending_);
      pending_ >>= 8;
      pendingBits_ -= 8;
    }
  }

  std::size_t Written() const { return static_cast<std::size_t>(at_ - Bytes.data()); }

  void Finish(std::string& out) {
    if (pendingBits_ > 0) *at_++ = static_cast<std::uint8_t>(pending_);
    const std::size_t length = Written();
    out.reserve(out.size() + length + length / 255 + 2);
    for (std::size_t block = 0; block < length; block += 255) {
      const std::size_t size = std::min<std::size_t>(255, length - block);
      out += static_cast<char>(size);
      out.append(reinterpret_cast<const char*>(Bytes.data() + block), size);
    }
    out += '\0';
  }

 private:
  // Kept by the thread from one image to the next.
  static thread_local std::vector<std::uint8_t> Bytes;
  std::uint8_t* at_;
  std::uint64_t pending_ = 0;
  int pendingBits_ = 0;
};

thread_local std::vector<std::uint8_t> CodeWriter::Bytes;

// The fewest code bytes that make the data at least `giveUpAt` bytes of a
// string that held `start` before it: a length byte, the codes, a count for
// every block of 255 begun and the closing block.
std::size_t CodeBytesReaching(std::size_t giveUpAt, std::size_t start) {
  if (giveUpAt == SIZE_MAX) return SIZE_MAX;
  if (giveUpAt <= start + 2) return 0;
  const std::size_t codes = giveUpAt - start - 2;
  std::size_t n = codes - codes / 256;
  while (n + (n + 254) / 255 < codes) ++n;
  while (n > 0 && (n - 1) + (n + 253) / 255 >= codes) --n;
  return n;
}

// How many of the pixels from `at` on equal `value`.
std::size_t RunLength(const std::uint8_t* at, const std::uint8_t* end, std::uint8_t value) {
  const std::uint8_t* p = at;
  const std::uint64_t pattern = 0x0101010101010101u * value;
  while (end - p >= 8) {
    std::uint64_t word;
    std::memcpy(&word, p, 8);
    if (word != pattern)
      return static_cast<std::size_t>(p - at) + std::countr_zero(word ^ pattern) / 8;
    p += 8;
  }
  while (p != end && *p == value) ++p;
  return static_cast<std::size_t>(p - at);
}

}  // namespace

bool AppendLzwImageData(std::string& out, const std::uint8_t* pixels, std::size_t count,
                        int minCodeSize, std::size_t giveUpAt) {
  const std::size_t giveUpCodes = CodeBytesReaching(giveUpAt, out.size());
  out += static_cast<char>(minCodeSize);
  CodeWriter writer(count);
  const unsigned clearCode = 1u << minCodeSize, endCode = clearCode + 1;
  // The tables are the thread's, kept from one image to the next.
  thread_local std::vector<std::uint32_t> table;
  table.assign(HashMask + 1, EmptySlot);
  // Strings of one repeated pixel value skip the hash table: RunCodes[v][k]
  // is the code of k + 2 pixels of value v. Only runs make such strings, and
  // only runs look them up.
  thread_local std::vector<std::vector<std::uint16_t>> runCodes;
  runCodes.resize(clearCode);
  for (auto& codes : runCodes) codes.clear();
  unsigned nextCode = endCode + 1;
  int width = minCodeSize + 1;

  // A code is written at the current width; once the next code to hand out
  // no longer fits, the codes after it are one bit wider.
  auto emit = [&](unsigned code) {
    writer.Put(code, width);
    if (nextCode >= (1u << width)) ++width;
  };
  // After the last code that fits, the table starts again.
  auto restartWhenFull = [&]() {
    if (nextCode < CodeLimit) return false;
    emit(clearCode);
    table.assign(table.size(), EmptySlot);
    for (auto& codes : runCodes) codes.clear();
    nextCode = endCode + 1;
    width = minCodeSize + 1;
    return true;
  };

  emit(clearCode);
  if (count > 0) {
    const std::uint8_t* end = pixels + count;
    const std::uint8_t* at = pixels + 1;
    // The string matched so far; when it is one value repeated, its length.
    unsigned prefix = pixels[0];
    std::size_t runLength = 1;
    while (at != end) {
      const unsigned pixel = *at;
      if (runLength > 0 && pixel == pixels[at - pixels - 1]) {
        // Take the whole run: the longest known string of this value, then
        // a new, one longer code, and again from a single pixel.
        std::size_t run = RunLength(at, end, static_cast<std::uint8_t>(pixel));
        at += run;
        std::size_t wanted = runLength + run;
        std::vector<std::uint16_t>* codes = &runCodes[pixel];
        while (wanted > codes->size() + 1) {
          std::size_t longest = codes->size() + 1;
          emit(longest == 1 ? pixel : codes->back());
          if (!restartWhenFull()) codes->push_back(static_cast<std::uint16_t>(nextCode++));
          wanted -= longest;
        }
        prefix = wanted == 1 ? pixel : (*codes)[wanted - 2];
        runLength = wanted;
        if (writer.Written() >= giveUpCodes) return false;
        continue;
      }
      ++at;
      const std::uint32_t key = prefix << 8 | pixel;
      std::size_t slot = (key * 0x9E3779B1u) >> (32 - HashBits);
      std::uint32_t entry;
      while ((entry = table[slot]) != EmptySlot && entry >> 12 != key) slot = (slot + 1) & HashMask;
      if (entry != EmptySlot) {
        prefix = entry & 0xFFF;
        runLength = 0;
        continue;
      }
      emit(prefix);
      if (writer.Written() >= giveUpCodes) return false;
      prefix = pixel;
      runLength = 1;
      if (!restartWhenFull()) table[slot] = key << 12 | nextCode++;
    }
    emit(prefix);
  }
  emit(endCode);
  if (writer.Written() >= giveUpCodes) return false;
  writer.Finish(out);
  return true;
}

}  // namespace flinder
