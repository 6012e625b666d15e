#include "random/random_source.h"

#include <cmath>

#include "platform/cpu_features.h"
#include "platform/platform.h"

namespace {

// The upper bound of the state: exponent field 0x400a, mantissa
// 0xe0b7a46ed677c800, that is 0xe0b7a46ed677c800 / 2^52.
const Extended kMax = std::ldexp(static_cast<Extended>(0xe0b7a46ed677c800ULL), 11 - 63);
constexpr double kA = 18.03467678544576;
constexpr double kB = 2786.45665445654;

// One draw with the state held by the caller. The arithmetic is Random's
// but for the whole part of t, which stays in the x87 registers: t lies in
// 13.9 .. 50253, and t - 0.5 (exact) rounded to the nearest integer is
// floor(t) except for a whole t, which may come out one less. So the
// fraction is right whenever it is at most 1 - 2^-30, and then floor(t) also
// equals the defined floor((double)t): rounding t to double can carry it up
// to the next integer only from within 2^-37 below it. The rest (a whole t,
// or one just below an integer) take the defined route.
[[gnu::always_inline]] inline int32_t Draw(Extended& s, Extended span, int32_t lo, int32_t hi) {
  Extended x = s;
  if (x > kMax) x = kMax;
  if (!(x >= 1)) x = 1;
  const Extended t = static_cast<Extended>(kA) / (x / static_cast<Extended>(kB));
  Extended f = t - __builtin_rintl(t - 0.5L);
  if (__builtin_expect(f > 1 - 0x1p-30L, 0))
    f = t - static_cast<Extended>(std::floor(static_cast<double>(t)));
  s = f * kMax;
  if (s > kMax) s = kMax;
  if (s < 1) s = 1;
  Extended v = s * span / kMax + static_cast<Extended>(lo);
  if (v < lo) v = lo;
  if (v > hi) v = hi;
  return static_cast<int32_t>(v);
}

[[gnu::always_inline]] inline void FillDraws(RandomSource& r, int32_t lo, int32_t hi, int32_t* out,
                                             int32_t n) {
  const Extended span = static_cast<Extended>(static_cast<int64_t>(hi) - static_cast<int64_t>(lo) + 1);
  Extended s = r.s;
  for (int32_t i = 0; i < n; ++i) out[i] = Draw(s, span, lo, hi);
  r.s = s;
}

#if defined(__x86_64__) || defined(__i386__)
// Compiled for SSE3, the conversion to int32 truncates with fisttp instead of
// switching the x87 rounding mode around fistp.
[[gnu::target("sse3")]] void FillDrawsSse3(RandomSource& r, int32_t lo, int32_t hi, int32_t* out, int32_t n) {
  FillDraws(r, lo, hi, out, n);
}

bool UseSse3() { return cpu::KernelLevelAtLeast(cpu::KernelLevel::kSse2) && cpu::ProcessorFeatures().sse3; }
#endif

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
  if (!(x >= 1)) x = 1;  // also a NaN state, which would otherwise stay NaN
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

void RandomFill(RandomSource& r, int32_t lo, int32_t hi, int32_t* out, int32_t n) {
#if defined(__x86_64__) || defined(__i386__)
  if (UseSse3()) {
    FillDrawsSse3(r, lo, hi, out, n);
    return;
  }
#endif
  FillDraws(r, lo, hi, out, n);
}

void StirRandom(RandomSource& r, int32_t x, int32_t y) {
  if (Random(r, 0, 100) > 80 && Random(r, 0, 100) > 80) {
    SeedRandom(r, static_cast<Extended>(static_cast<double>(platform::Current().ClockMs()) + x / 1.356 +
                                        y / 2.9761));
  }
}
