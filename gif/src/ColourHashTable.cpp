#include "gif/ColourHashTable.h"

#include <utility>

namespace flinder {

void ColourHashTable::Grow() {
  std::vector<std::uint32_t> oldKeys(Keys.size() * 2, Empty), oldValues(Values.size() * 2);
  oldKeys.swap(Keys);
  oldValues.swap(Values);
  --Shift;
  for (std::size_t slot = 0; slot < oldKeys.size(); ++slot) {
    if (oldKeys[slot] == Empty) continue;
    std::size_t to = Probe(static_cast<ColourValue>(oldKeys[slot]));
    Keys[to] = oldKeys[slot];
    Values[to] = oldValues[slot];
  }
}

}  // namespace flinder
