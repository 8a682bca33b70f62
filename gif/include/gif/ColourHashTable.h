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
    if (Keys[slot] == Empty) {
      if (2 * (Count + 1) > Keys.size()) {
        Grow();
        slot = Probe(colour);
      }
      Keys[slot] = static_cast<std::uint32_t>(colour);
      Values[slot] = 0;
      ++Count;
    }
    return Values[slot];
  }

  // The number stored for `colour`, or nothing when it was never added.
  const std::uint32_t* Find(ColourValue colour) const {
    std::size_t slot = Probe(colour);
    return Keys[slot] == Empty ? nullptr : &Values[slot];
  }

  std::size_t Size() const { return Count; }

  // Calls f(colour, number) for every entry.
  template <typename F>
  void ForEach(F f) const {
    for (std::size_t slot = 0; slot < Keys.size(); ++slot)
      if (Keys[slot] != Empty) f(static_cast<ColourValue>(Keys[slot]), Values[slot]);
  }

 private:
  // No colour has bits above the 24th set.
  static constexpr std::uint32_t Empty = 0xFFFFFFFF;

  std::size_t Probe(ColourValue colour) const {
    const auto key = static_cast<std::uint32_t>(colour);
    const std::size_t mask = Keys.size() - 1;
    std::size_t slot = (key * 0x9E3779B1u) >> Shift;
    while (Keys[slot] != Empty && Keys[slot] != key) slot = (slot + 1) & mask;
    return slot;
  }

  void Grow();

  int Shift = 32 - 10;
  std::size_t Count = 0;
  std::vector<std::uint32_t> Keys = std::vector<std::uint32_t>(1024, Empty);
  std::vector<std::uint32_t> Values = std::vector<std::uint32_t>(1024);
};

}  // namespace flinder
