#pragma once
// The engine's one random number generator: a single extended-precision
// value driven through a fixed chaotic map, re-seeded now and then from the
// clock and the mouse. Every random decision of the game draws from it, so
// the number and order of draws is part of the behaviour.
#include <cstdint>

// x87 80-bit extended precision is what the sequence is defined in; on
// x86-64 Linux `long double` is exactly that format. Where `long double`
// is another format the generator still works and stays well mixed, but
// its sequences differ; start-up says so in the log.
using Extended = long double;
inline constexpr bool kExtendedIsX87 = __LDBL_MANT_DIG__ == 64;

struct RandomSource {
  Extended s = 0;
};

void SeedRandom(RandomSource& r, Extended v);
int32_t Random(RandomSource& r, int32_t lo, int32_t hi);
// What n successive Random(r, lo, hi) calls return, into out[0 .. n - 1],
// leaving r as they would; the state stays in a register for the whole run.
// Truncates with SSE3 where the processor has it and the kernel level
// (platform/cpu_features.h) allows vector paths, else in plain x87 code.
void RandomFill(RandomSource& r, int32_t lo, int32_t hi, int32_t* out, int32_t n);
// Two draws of 0..100; when both exceed 80 the state is re-seeded from the
// clock and the given position.
void StirRandom(RandomSource& r, int32_t x, int32_t y);
