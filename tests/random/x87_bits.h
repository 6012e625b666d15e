#pragma once
// Test helpers for holding SoftExtended to the processor's x87 arithmetic,
// where `long double` is that format, and for drawing operands of every
// kind of encoding.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ostream>
#include <random>
#include <string>

#include "random/random_source.h"
#include "random/soft_extended.h"

namespace x87test {

struct Bits {
  uint16_t signExp;
  uint64_t mantissa;
  bool operator==(const Bits&) const = default;
};

inline std::string Show(const Bits& b) {
  char text[40];
  std::snprintf(text, sizeof text, "%04x:%016llx", b.signExp, static_cast<unsigned long long>(b.mantissa));
  return text;
}
inline void PrintTo(const Bits& b, std::ostream* out) { *out << Show(b); }

inline Bits BitsOf(const SoftExtended& x) { return {x.SignExp(), x.Mantissa()}; }
inline SoftExtended Soft(const Bits& b) { return SoftExtended::FromBits(b.signExp, b.mantissa); }

#if defined(VX_X87_LONG_DOUBLE)
inline Bits BitsOf(long double x) {
  Bits b{};
  std::memcpy(&b.mantissa, &x, sizeof b.mantissa);
  std::memcpy(&b.signExp, reinterpret_cast<const char*>(&x) + sizeof b.mantissa, sizeof b.signExp);
  return b;
}
inline long double Hard(const Bits& b) {
  long double x = 0;
  std::memcpy(&x, &b.mantissa, sizeof b.mantissa);
  std::memcpy(reinterpret_cast<char*>(&x) + sizeof b.mantissa, &b.signExp, sizeof b.signExp);
  return x;
}
#endif

// Operands of every kind: a sign and exponent field of its kind and a
// mantissa whose low bits are often cleared, so that sums and products land
// exactly on or just beside the rounding point.
class OperandSource {
 public:
  explicit OperandSource(uint64_t seed) : gen_(seed) {}

  uint64_t Next() { return gen_(); }
  uint64_t Below(uint64_t n) { return gen_() % n; }

  uint64_t Mantissa() {
    uint64_t m = gen_() | (uint64_t{1} << 63);
    switch (Below(6)) {
      case 0:  // few significant bits
        return m & ~((uint64_t{1} << Below(64)) - 1);
      case 1:  // the top bit and a few bits at the very bottom: only a sticky bit
        return (uint64_t{1} << 63) | (gen_() & ((uint64_t{1} << Below(8)) - 1));
      case 2:  // a double and a tail at or beside its rounding point
        return (m & ~uint64_t{0x7ff}) | (0x3ff + Below(3));
      case 3:
        return ~uint64_t{0} - Below(4);
      default:
        return m;
    }
  }

  Bits Operand() {
    const uint16_t sign = Below(2) != 0 ? 0x8000 : 0;
    switch (Below(16)) {
      case 0:  // any bits at all: unnormals, pseudo-denormals, pseudo-NaNs
        return {static_cast<uint16_t>(gen_()), gen_()};
      case 1:  // anywhere in the exponent range
        return {static_cast<uint16_t>(sign | (1 + Below(0x7ffe))), Mantissa()};
      case 2:  // denormals and pseudo-denormals
        return {sign, Below(2) != 0 ? Mantissa() >> Below(64) : Mantissa()};
      case 3:  // just above the denormals
        return {static_cast<uint16_t>(sign | (1 + Below(66))), Mantissa()};
      case 4:  // just below overflow
        return {static_cast<uint16_t>(sign | (0x7ffe - Below(66))), Mantissa()};
      case 5: {  // zeros, infinities, NaNs quiet and signalling, the indefinite
        const Bits specials[] = {{sign, 0},
                                 {static_cast<uint16_t>(sign | 0x7fff), uint64_t{1} << 63},
                                 {static_cast<uint16_t>(sign | 0x7fff), 0xc000000000000000 | (gen_() >> 2)},
                                 {static_cast<uint16_t>(sign | 0x7fff), 0x8000000000000001 | (gen_() >> 2)},
                                 {0xffff, 0xc000000000000000}};
        return specials[Below(5)];
      }
      case 6:  // doubles' extremes: their subnormals and largest values
        return {static_cast<uint16_t>(sign | (0x3bcd - 60 + Below(120))), Mantissa()};
      case 7:
        return {static_cast<uint16_t>(sign | (0x43fe - 4 + Below(8))), Mantissa()};
      default:  // near 1, where most of the generator's values lie
        return {static_cast<uint16_t>(sign | (0x3fff - 70 + Below(140))), Mantissa()};
    }
  }

 private:
  std::mt19937_64 gen_;
};

}  // namespace x87test
