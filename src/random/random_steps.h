#pragma once
// The generator's arithmetic, written once for any type with the x87
// extended format's semantics: `long double` where it is that format, and
// SoftExtended everywhere. The game computes in `Extended` only; the tests
// run both side by side.
#include <cmath>
#include <cstdint>

#include "random/soft_extended.h"

// The upper bound of the state, M: the extended value with exponent field
// 0x400a and mantissa 0xe0b7a46ed677c800, whose low 11 bits are zero, so it
// is this double exactly.
inline constexpr double kRandomMax = 0x1.c16f48ddacef9p+11;
inline constexpr double kRandomA = 18.03467678544576;
inline constexpr double kRandomB = 2786.45665445654;
// States above this are square-rooted when seeding.
inline constexpr double kRandomSeedLimit = 3595.0;

inline long double ExtendedSqrt(long double x) { return std::sqrt(x); }
inline SoftExtended ExtendedSqrt(const SoftExtended& x) { return Sqrt(x); }
inline bool IsNan(long double x) { return std::isnan(x); }

// s = v; while s exceeds the seeding limit (at most 301 times), s becomes
// its extended square root rounded to double.
template <class T>
void SeedStep(T& s, T v) {
  s = v;
  for (int i = 0; i < 301; ++i) {
    if (!(s > static_cast<T>(kRandomSeedLimit))) break;  // also stops on NaN
    s = static_cast<T>(static_cast<double>(ExtendedSqrt(s)));
  }
}

// The whole part of a draw's value (within int32: the draws clamp it to
// lo .. hi first), as the cast gives it.
template <class T>
int32_t TruncateDraw(const T& v) {
  return static_cast<int32_t>(v);
}

#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__)) && __LDBL_MANT_DIG__ == 64
// The cast of an x87 value switches the unit's rounding mode to truncation
// and back around its fistp; each switch stalls the unit, and a level's
// start draws a few thousand numbers one at a time. Here the unit rounds in
// whatever mode it is in, which lands within one of v, and the result moves
// one toward zero where it went past v: the cast's value without a switch,
// and (beyond int32, or NaN) the same INT32_MIN the cast's fistp stores.
inline int32_t TruncateDraw(long double v) {
  int64_t n;
  __asm__("fistpll %0" : "=m"(n) : "t"(v) : "st");
  const long double back = static_cast<long double>(n);
  if (v >= 0 && back > v) --n;
  if (v < 0 && back < v) ++n;
  return n < INT32_MIN || n > INT32_MAX ? INT32_MIN : static_cast<int32_t>(n);
}
#endif

// One draw of lo .. hi: s <- frac(A / (s / B)) * M, kept within 1 .. M, and
// the result lo plus the state's share of the range.
template <class T>
int32_t RandomStep(T& s, int32_t lo, int32_t hi) {
  const T max = static_cast<T>(kRandomMax);
  const T one = static_cast<T>(1);
  T x = s;
  if (x > max) x = max;
  if (!(x >= one)) x = one;  // also a NaN state, which would otherwise stay NaN
  const T t = static_cast<T>(kRandomA) / (x / static_cast<T>(kRandomB));
  const T f = t - static_cast<T>(std::floor(static_cast<double>(t)));
  s = f * max;
  if (s > max) s = max;
  if (s < one) s = one;
  const T span = static_cast<T>(static_cast<int64_t>(hi) - static_cast<int64_t>(lo) + 1);
  const T tlo = static_cast<T>(lo);
  const T thi = static_cast<T>(hi);
  T v = s * span / max + tlo;
  if (v < tlo) v = tlo;
  if (v > thi) v = thi;
  return TruncateDraw(v);
}

// Two draws of 0..100; when both exceed 80, s is re-seeded from the clock
// (read only then) and the position, the seed summed in double precision.
template <class T, class ClockMs>
void StirStep(T& s, int32_t x, int32_t y, ClockMs clockMs) {
  if (RandomStep(s, 0, 100) > 80 && RandomStep(s, 0, 100) > 80) {
    SeedStep(s, static_cast<T>(static_cast<double>(clockMs()) + x / 1.356 + y / 2.9761));
  }
}
