#pragma once

#include <algorithm>
#include <cstddef>
#include <thread>

namespace flinder {

// What the frames held at once by an export's workers (each worker's
// surface, the frames in flight, a stretch being encoded) may take beyond
// those of two workers. The number of workers, and with it the frames in
// flight, follows from it and the frame size, not from the cores alone:
// large frames get two workers on any machine and small ones one per core,
// so an export's memory does not grow with the cores.
constexpr std::size_t FramesInFlightBytes = std::size_t{8} << 20;

// The workers an export uses: `asked` (0: one per core), but no more than
// FramesInFlightBytes hold at `bytesPerWorker` each, unless two would not.
inline int UsefulWorkers(int asked, std::size_t bytesPerWorker) {
  const int wanted =
      asked > 0 ? asked : std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
  const std::size_t fit = FramesInFlightBytes / std::max<std::size_t>(bytesPerWorker, 1);
  return static_cast<int>(std::min<std::size_t>(wanted, std::max<std::size_t>(fit, 2)));
}

}  // namespace flinder
