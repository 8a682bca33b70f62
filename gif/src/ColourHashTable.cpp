#include "gif/ColourHashTable.h"

#include <utility>

namespace flinder {

void ColourHashTable::Grow() {
  std::vector<std::uint32_t> oldKeys(keys_.size() * 2, Empty), oldValues(values_.size() * 2);
  oldKeys.swap(keys_);
  oldValues.swap(values_);
  --shift_;
  for (std::size_t slot = 0; slot < oldKeys.size(); ++slot) {
    if (oldKeys[slot] == Empty) continue;
    std::size_t to = Probe(static_cast<ColourValue>(oldKeys[slot]));
    keys_[to] = oldKeys[slot];
    values_[to] = oldValues[slot];
  }
}

}  // namespace flinder
