#include "random/random_source.h"

#include <cmath>
#include <cstring>

#include "platform/cpu_features.h"
#include "platform/platform.h"
#include "random/random_steps.h"

namespace {

#if defined(VX_HARDWARE_EXTENDED)
const Extended kMax = static_cast<Extended>(kRandomMax);

// The extended count of lo .. hi.
Extended SpanOf(int32_t lo, int32_t hi) {
  return static_cast<Extended>(static_cast<int64_t>(hi) - static_cast<int64_t>(lo) + 1);
}

// One draw with the state held by the caller. The arithmetic is the
// defined one (RandomStep) but for the whole part of t, which stays in the
// x87 registers: t lies in 13.9 .. 50253, and t - 0.5 (exact) rounded to the nearest integer is
// floor(t) except for a whole t, which may come out one less. So the
// fraction is right whenever it is at most 1 - 2^-30, and then floor(t) also
// equals the defined floor((double)t): rounding t to double can carry it up
// to the next integer only from within 2^-37 below it. The rest (a whole t,
// or one just below an integer) take the defined route.
// kChop: truncate by TruncateDraw rather than by the cast.
template <bool kChop = false>
[[gnu::always_inline]] inline int32_t Draw(Extended& s, Extended span, int32_t lo, int32_t hi) {
  Extended x = s;
  if (x > kMax) x = kMax;
  if (!(x >= 1)) x = 1;
  const Extended t = static_cast<Extended>(kRandomA) / (x / static_cast<Extended>(kRandomB));
  Extended f = t - __builtin_rintl(t - 0.5L);
  if (__builtin_expect(f > 1 - 0x1p-30L, 0))
    f = t - static_cast<Extended>(std::floor(static_cast<double>(t)));
  s = f * kMax;
  if (s > kMax) s = kMax;
  if (s < 1) s = 1;
  Extended v = s * span / kMax + static_cast<Extended>(lo);
  if (v < lo) v = lo;
  if (v > hi) v = hi;
  if constexpr (kChop) return TruncateDraw(v);
  return static_cast<int32_t>(v);
}

[[gnu::always_inline]] inline void FillDraws(RandomSource& r, int32_t lo, int32_t hi, int32_t* out,
                                             int32_t n) {
  const Extended span = SpanOf(lo, hi);
  Extended s = r.s;
  for (int32_t i = 0; i < n; ++i) out[i] = Draw(s, span, lo, hi);
  r.s = s;
}

// Compiled for SSE3, the conversion to int32 truncates with fisttp instead of
// switching the x87 rounding mode around fistp.
[[gnu::target("sse3")]] void FillDrawsSse3(RandomSource& r, int32_t lo, int32_t hi, int32_t* out, int32_t n) {
  FillDraws(r, lo, hi, out, n);
}

bool UseSse3() { return cpu::KernelLevelAtLeast(cpu::KernelLevel::kSse2) && cpu::ProcessorFeatures().sse3; }
#endif

}  // namespace

void SeedRandom(RandomSource& r, Extended v) { SeedStep(r.s, v); }

// One draw at a time (a level's start makes a few thousand): the batch's
// arithmetic, with the truncation to int32 done without switching the x87
// rounding mode (TruncateDraw), at every kernel level. In a batch, where the
// state never leaves the registers, the cast's fisttp is faster still.
int32_t Random(RandomSource& r, int32_t lo, int32_t hi) {
#if defined(VX_HARDWARE_EXTENDED)
  return Draw<true>(r.s, SpanOf(lo, hi), lo, hi);
#else
  return RandomStep(r.s, lo, hi);
#endif
}

void RandomFill(RandomSource& r, int32_t lo, int32_t hi, int32_t* out, int32_t n) {
#if defined(VX_HARDWARE_EXTENDED)
  if (UseSse3()) {
    FillDrawsSse3(r, lo, hi, out, n);
    return;
  }
  FillDraws(r, lo, hi, out, n);
#else
  for (int32_t i = 0; i < n; ++i) out[i] = RandomStep(r.s, lo, hi);
#endif
}

void StirRandom(RandomSource& r, int32_t x, int32_t y) {
  const int32_t held = r.heldMs;
  StirStep(r.s, x, y, [held] {
    return static_cast<int32_t>(static_cast<uint32_t>(platform::Current().StateClockMs()) -
                                static_cast<uint32_t>(held));
  });
}

Extended ExtendedFromBits(uint16_t signExp, uint64_t mantissa) {
#if defined(VX_HARDWARE_EXTENDED)
  Extended x = 0;
  std::memcpy(&x, &mantissa, sizeof mantissa);
  std::memcpy(reinterpret_cast<char*>(&x) + sizeof mantissa, &signExp, sizeof signExp);
  return x;
#else
  return SoftExtended::FromBits(signExp, mantissa);
#endif
}

std::string RandomStateText(const Extended& s) {
#if defined(VX_HARDWARE_EXTENDED)
  uint64_t mantissa;
  uint16_t signExp;
  std::memcpy(&mantissa, &s, sizeof mantissa);
  std::memcpy(&signExp, reinterpret_cast<const char*>(&s) + sizeof mantissa, sizeof signExp);
  return X87HexText(signExp, mantissa);
#else
  return X87HexText(s.SignExp(), s.Mantissa());
#endif
}
