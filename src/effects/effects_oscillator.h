#pragma once
// The small oscillator that drives the shimmer: the areas' phases and the
// ripple kernels' row and column chains step it alike.
#include <algorithm>
#include <cstdint>

// One step of an oscillator: value += speed (held to 32 bits); a value past
// ±1700 stops the speed; then the speed turns towards zero by 3.
inline void StepOscillator(int32_t& value, int32_t& speed) {
  value = static_cast<int32_t>(std::clamp<int64_t>(int64_t{value} + speed, INT32_MIN, INT32_MAX));
  if (value > 1700 || value < -1700) speed = 0;
  if (value < 1) {
    speed += 3;
  } else {
    speed -= 3;
  }
}
