#pragma once

#include <cstdint>
#include <vector>

#include "design/ColourValue.h"

namespace flinder {

// A map from colours to 32-bit numbers, open addressing with linear probing.
// Lookups are a multiply, a shift and usually one compare, which keeps the
// per-run work of counting and mapping frames small.
class ColourHashTable {
 public:
  // The number stored for `colour`, added as 0 when the colour is new.
  std::uint32_t& operator[](ColourValue colour) {
    std::size_t slot = Probe(colour);
    if (keys_[slot] == Empty) {
      if (2 * (count_ + 1) > keys_.size()) {
        Grow();
        slot = Probe(colour);
      }
      keys_[slot] = static_cast<std::uint32_t>(colour);
      values_[slot] = 0;
      ++count_;
    }
    return values_[slot];
  }

  // The number stored for `colour`, or nothing when it was never added.
  const std::uint32_t* Find(ColourValue colour) const {
    std::size_t slot = Probe(colour);
    return keys_[slot] == Empty ? nullptr : &values_[slot];
  }

  std::size_t Size() const { return count_; }

  // Calls f(colour, number) for every entry.
  template <typename F>
  void ForEach(F f) const {
    for (std::size_t slot = 0; slot < keys_.size(); ++slot)
      if (keys_[slot] != Empty) f(static_cast<ColourValue>(keys_[slot]), values_[slot]);
  }

 private:
  // No colour has bits above the 24th set.
  static constexpr std::uint32_t Empty = 0xFFFFFFFF;

  std::size_t Probe(ColourValue colour) const {
    const auto key = static_cast<std::uint32_t>(colour);
    const std::size_t mask = keys_.size() - 1;
    std::size_t slot = (key * 0x9E3779B1u) >> shift_;
    while (keys_[slot] != Empty && keys_[slot] != key) slot = (slot + 1) & mask;
    return slot;
  }

  void Grow();

  int shift_ = 32 - 10;
  std::size_t count_ = 0;
  std::vector<std::uint32_t> keys_ = std::vector<std::uint32_t>(1024, Empty);
  std::vector<std::uint32_t> values_ = std::vector<std::uint32_t>(1024);
};

}  // namespace flinder
