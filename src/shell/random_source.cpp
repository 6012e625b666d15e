#include "shell/random_source.h"

#include <cmath>

#include "shell/engine.h"

namespace {

// The upper bound of the state: exponent field 0x400a, mantissa
// 0xe0b7a46ed677c800, that is 0xe0b7a46ed677c800 / 2^52.
const Extended kMax = std::ldexp(static_cast<Extended>(0xe0b7a46ed677c800ULL), 11 - 63);
constexpr double kA = 18.03467678544576;
constexpr double kB = 2786.45665445654;

}  // namespace

void SeedRandom(RandomSource& r, Extended v) {
  r.s = v;
  for (int i = 0; i < 301; ++i) {
    if (!(r.s > static_cast<Extended>(3595.0))) break;  // also stops on NaN
    r.s = static_cast<Extended>(static_cast<double>(std::sqrt(r.s)));
  }
}

int32_t Random(RandomSource& r, int32_t lo, int32_t hi) {
  Extended x = r.s;
  if (x > kMax) x = kMax;
  if (x < 1) x = 1;
  const Extended t = static_cast<Extended>(kA) / (x / static_cast<Extended>(kB));
  const Extended f = t - static_cast<Extended>(std::floor(static_cast<double>(t)));
  r.s = f * kMax;
  if (r.s > kMax) r.s = kMax;
  if (r.s < 1) r.s = 1;
  const Extended span = static_cast<Extended>(static_cast<int64_t>(hi) - static_cast<int64_t>(lo) + 1);
  Extended v = r.s * span / kMax + static_cast<Extended>(lo);
  if (v < lo) v = lo;
  if (v > hi) v = hi;
  return static_cast<int32_t>(v);
}

void StirRandom(RandomSource& r, int32_t x, int32_t y) {
  if (Random(r, 0, 100) > 80 && Random(r, 0, 100) > 80) {
    SeedRandom(r, static_cast<Extended>(static_cast<double>(EngineClock()) + x / 1.356 + y / 2.9761));
  }
}
