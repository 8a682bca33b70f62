#pragma once

namespace flinder {

// How an animation plays: every frame shows for the same time, and the
// whole plays `Plays` times, or for ever when it is 0.
struct AnimationTiming {
  int DelayMilliseconds = 0;
  int Plays = 0;
};

}  // namespace flinder
