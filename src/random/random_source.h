#pragma once
// The engine's one random number generator: a single extended-precision
// value driven through a fixed chaotic map, re-seeded now and then from the
// clock and the mouse. Every random decision of the game draws from it, so
// the number and order of draws is part of the behaviour.
#include <cstdint>
#include <string>

#include "random/soft_extended.h"

// x87 80-bit extended precision is what the sequence is defined in. On x86
// `long double` is exactly that format and the processor computes it;
// elsewhere (binary128 on aarch64, double in WebAssembly) SoftExtended
// computes the same bits. VX_SOFT_EXTENDED forces the software type on x86.
#if (defined(__x86_64__) || defined(__i386__)) && __LDBL_MANT_DIG__ == 64
#define VX_X87_LONG_DOUBLE 1
#endif
#if defined(VX_X87_LONG_DOUBLE) && !defined(VX_SOFT_EXTENDED)
#define VX_HARDWARE_EXTENDED 1
using Extended = long double;
#else
using Extended = SoftExtended;
#endif

struct RandomSource {
  Extended s = 0;
  // Milliseconds the game stood still outside its own screens (under the
  // options): the stir takes the clock without them, so such a visit leaves
  // the draws as they would have been.
  int32_t heldMs = 0;
};

void SeedRandom(RandomSource& r, Extended v);
int32_t Random(RandomSource& r, int32_t lo, int32_t hi);
// What n successive Random(r, lo, hi) calls return, into out[0 .. n - 1],
// leaving r as they would; the state stays in a register for the whole run.
// On the x87 type it truncates with SSE3 where the processor has it and the
// kernel level (platform/cpu_features.h) allows vector paths, else in plain
// x87 code; with the software type it is Random n times.
void RandomFill(RandomSource& r, int32_t lo, int32_t hi, int32_t* out, int32_t n);
// Two draws of 0..100; when both exceed 80 the state is re-seeded from the
// clock (less `heldMs`) and the given position.
void StirRandom(RandomSource& r, int32_t x, int32_t y);

// The extended value with this sign and exponent field and mantissa.
Extended ExtendedFromBits(uint16_t signExp, uint64_t mantissa);
// The state as glibc's "%La" prints an x87 value (what std::hexfloat gave
// for the hardware type), the same text on every target.
std::string RandomStateText(const Extended& s);
