#include "random/soft_extended.h"

#include <cstring>
#include <ostream>
#include <utility>

namespace {

__extension__ typedef unsigned __int128 U128;

constexpr int kBias = 16383;
constexpr uint16_t kMaxExp = 0x7fff;
constexpr uint64_t kTop = uint64_t{1} << 63;
constexpr uint64_t kQuiet = uint64_t{1} << 62;
// What an invalid operation gives: the x87 "real indefinite".
constexpr SoftExtended kIndefinite = SoftExtended::FromBits(0xffff, 0xc000000000000000);

// An operand as the x87 unit reads it.
enum class Kind { kZero, kFinite, kInf, kNaN, kInvalid };

struct Unpacked {
  Kind kind;
  bool negative;
  // For kFinite: the value is mantissa / 2^63 * 2^exp with the top bit of
  // mantissa set (denormals normalised here).
  int32_t exp;
  uint64_t mantissa;
};

Unpacked Unpack(const SoftExtended& x) {
  const bool negative = (x.SignExp() & 0x8000) != 0;
  const int32_t field = x.SignExp() & kMaxExp;
  uint64_t m = x.Mantissa();
  if (field == kMaxExp) {
    // Without the integer bit this is a pseudo-infinity or pseudo-NaN, which
    // the unit rejects like any other unsupported encoding.
    if ((m & kTop) == 0) return {Kind::kInvalid, negative, 0, m};
    return {(m << 1) == 0 ? Kind::kInf : Kind::kNaN, negative, 0, m};
  }
  if (field != 0 && (m & kTop) == 0) return {Kind::kInvalid, negative, 0, m};  // unnormal
  if (m == 0) return {Kind::kZero, negative, 0, 0};
  // Denormals and pseudo-denormals share the scale of the exponent field 1.
  int32_t exp = (field == 0 ? 1 : field) - kBias;
  const int shift = __builtin_clzll(m);
  return {Kind::kFinite, negative, exp - shift, m << shift};
}

U128 ShiftRightSticky(U128 v, int32_t n) {
  if (n <= 0) return v;
  if (n >= 128) return v != 0 ? 1 : 0;
  const U128 lost = v & ((U128{1} << n) - 1);
  return (v >> n) | (lost != 0 ? 1 : 0);
}

// Keeps the top 128 - drop bits of v, rounded to the nearest, ties to even.
U128 RoundOff(U128 v, int drop) {
  const U128 kept = v >> drop;
  const U128 rest = v & ((U128{1} << drop) - 1);
  const U128 half = U128{1} << (drop - 1);
  return kept + ((rest > half || (rest == half && (kept & 1) != 0)) ? 1 : 0);
}

// The nearest extended value to sig / 2^127 * 2^exp, where the lowest bit of
// sig also stands for any nonzero bits below it. Results below the normal
// range are rounded on the denormal grid; those above it become infinite.
SoftExtended Pack(bool negative, int32_t exp, U128 sig) {
  const uint16_t sign = negative ? 0x8000 : 0;
  if (sig == 0) return SoftExtended::FromBits(sign, 0);
  const uint64_t high = static_cast<uint64_t>(sig >> 64);
  const int shift = high != 0 ? __builtin_clzll(high) : 64 + __builtin_clzll(static_cast<uint64_t>(sig));
  sig <<= shift;
  int32_t field = exp - shift + kBias;
  if (field <= 0) {
    sig = ShiftRightSticky(sig, 1 - field);
    field = 0;
  }
  U128 m = RoundOff(sig, 64);
  if ((m >> 64) != 0) {  // carried out of the mantissa
    m = kTop;
    ++field;
  }
  if (field == 0 && (m & kTop) != 0) field = 1;  // a denormal rounded up to the smallest normal
  if (field >= kMaxExp) return SoftExtended::FromBits(sign | kMaxExp, kTop);
  return SoftExtended::FromBits(static_cast<uint16_t>(sign | field), static_cast<uint64_t>(m));
}

// A NaN result from NaN operands: quieted, the quiet one taken over a
// signalling one, else the one with the larger mantissa.
SoftExtended PropagateNaN(const SoftExtended& a, const SoftExtended& b) {
  const Unpacked ua = Unpack(a);
  const Unpacked ub = Unpack(b);
  const SoftExtended qa = SoftExtended::FromBits(a.SignExp(), a.Mantissa() | kQuiet);
  const SoftExtended qb = SoftExtended::FromBits(b.SignExp(), b.Mantissa() | kQuiet);
  if (ua.kind != Kind::kNaN) return qb;
  if (ub.kind != Kind::kNaN) return qa;
  const bool aQuiet = (a.Mantissa() & kQuiet) != 0;
  const bool bQuiet = (b.Mantissa() & kQuiet) != 0;
  if (aQuiet != bQuiet) return aQuiet ? qa : qb;
  if (a.Mantissa() != b.Mantissa()) return a.Mantissa() > b.Mantissa() ? qa : qb;
  return (a.SignExp() & 0x8000) == 0 ? qa : qb;
}

SoftExtended Add(const SoftExtended& a, const SoftExtended& b, bool subtract) {
  Unpacked ua = Unpack(a);
  Unpacked ub = Unpack(b);
  if (ua.kind == Kind::kInvalid || ub.kind == Kind::kInvalid) return kIndefinite;
  if (ua.kind == Kind::kNaN || ub.kind == Kind::kNaN) return PropagateNaN(a, b);
  ub.negative ^= subtract;
  if (ua.kind == Kind::kInf || ub.kind == Kind::kInf) {
    if (ua.kind == Kind::kInf && ub.kind == Kind::kInf && ua.negative != ub.negative) return kIndefinite;
    return SoftExtended::FromBits((ua.kind == Kind::kInf ? ua : ub).negative ? 0xffff : 0x7fff, kTop);
  }
  if (ua.kind == Kind::kZero && ub.kind == Kind::kZero) {
    return SoftExtended::FromBits(ua.negative && ub.negative ? 0x8000 : 0, 0);
  }
  if (ua.kind == Kind::kZero) return Pack(ub.negative, ub.exp, U128{ub.mantissa} << 64);
  if (ub.kind == Kind::kZero) return Pack(ua.negative, ua.exp, U128{ua.mantissa} << 64);
  if (ua.exp < ub.exp || (ua.exp == ub.exp && ua.mantissa < ub.mantissa)) std::swap(ua, ub);
  // |a| >= |b|. One bit of headroom for the carry; b's bits beyond the 127
  // kept ones only matter as a sticky bit, since a cancellation of more than
  // one place leaves b unshifted or shifted by one, which is exact.
  const U128 sa = U128{ua.mantissa} << 63;
  const U128 sb = ShiftRightSticky(U128{ub.mantissa} << 63, ua.exp - ub.exp);
  if (ua.negative == ub.negative) return Pack(ua.negative, ua.exp + 1, sa + sb);
  const U128 diff = sa - sb;
  if (diff == 0) return SoftExtended::FromBits(0, 0);  // x - x is +0 when rounding to nearest
  return Pack(ua.negative, ua.exp + 1, diff);
}

}  // namespace

SoftExtended SoftExtended::FromInt(bool negative, uint64_t magnitude) {
  if (magnitude == 0) return {};
  return Pack(negative, 63, U128{magnitude} << 64);
}

SoftExtended::SoftExtended(double v) {
  uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  const uint16_t sign = (bits >> 63) != 0 ? 0x8000 : 0;
  const int32_t field = static_cast<int32_t>((bits >> 52) & 0x7ff);
  const uint64_t fraction = bits & ((uint64_t{1} << 52) - 1);
  if (field == 0x7ff) {
    // Infinity, or a NaN with its payload kept and made quiet.
    *this = FromBits(sign | kMaxExp, kTop | (fraction << 11) | (fraction != 0 ? kQuiet : 0));
    return;
  }
  if (field == 0) {
    if (fraction == 0) {
      *this = FromBits(sign, 0);
      return;
    }
    *this = Pack(sign != 0, -1022 - 52 + 63, U128{fraction} << 64);
    return;
  }
  *this = FromBits(static_cast<uint16_t>(sign | (field - 1023 + kBias)), kTop | (fraction << 11));
}

SoftExtended::operator double() const {
  const Unpacked u = Unpack(*this);
  uint64_t bits = u.negative ? uint64_t{1} << 63 : 0;
  constexpr uint64_t kInfBits = uint64_t{0x7ff} << 52;
  switch (u.kind) {
    case Kind::kZero:
      break;
    case Kind::kInvalid:
      bits = 0xfff8000000000000;
      break;
    case Kind::kInf:
      bits |= kInfBits;
      break;
    case Kind::kNaN:
      bits |= kInfBits | (uint64_t{1} << 51) | ((mantissa_ >> 11) & ((uint64_t{1} << 52) - 1));
      break;
    case Kind::kFinite: {
      int32_t field = u.exp + 1023;
      U128 sig = U128{u.mantissa} << 64;
      if (field <= 0) {
        sig = ShiftRightSticky(sig, 1 - field);
        field = 0;
      }
      uint64_t m = static_cast<uint64_t>(RoundOff(sig, 75));
      if ((m >> 53) != 0) {
        m >>= 1;
        ++field;
      }
      if (field == 0 && (m >> 52) != 0) field = 1;
      if (field >= 0x7ff) {
        bits |= kInfBits;
      } else {
        bits |= (static_cast<uint64_t>(field) << 52) | (m & ((uint64_t{1} << 52) - 1));
      }
      break;
    }
  }
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

SoftExtended::operator int32_t() const {
  const Unpacked u = Unpack(*this);
  if (u.kind == Kind::kZero) return 0;
  if (u.kind != Kind::kFinite) return INT32_MIN;
  if (u.exp < 0) return 0;
  if (u.exp > 31) return INT32_MIN;
  const uint64_t whole = u.mantissa >> (63 - u.exp);
  if (u.negative) return whole <= uint64_t{1} << 31 ? static_cast<int32_t>(0 - whole) : INT32_MIN;
  return whole < uint64_t{1} << 31 ? static_cast<int32_t>(whole) : INT32_MIN;
}

SoftExtended operator+(const SoftExtended& a, const SoftExtended& b) { return Add(a, b, false); }
SoftExtended operator-(const SoftExtended& a, const SoftExtended& b) { return Add(a, b, true); }

SoftExtended operator*(const SoftExtended& a, const SoftExtended& b) {
  const Unpacked ua = Unpack(a);
  const Unpacked ub = Unpack(b);
  if (ua.kind == Kind::kInvalid || ub.kind == Kind::kInvalid) return kIndefinite;
  if (ua.kind == Kind::kNaN || ub.kind == Kind::kNaN) return PropagateNaN(a, b);
  const bool negative = ua.negative != ub.negative;
  const uint16_t sign = negative ? 0x8000 : 0;
  if (ua.kind == Kind::kInf || ub.kind == Kind::kInf) {
    if (ua.kind == Kind::kZero || ub.kind == Kind::kZero) return kIndefinite;
    return SoftExtended::FromBits(sign | kMaxExp, kTop);
  }
  if (ua.kind == Kind::kZero || ub.kind == Kind::kZero) return SoftExtended::FromBits(sign, 0);
  // The product of two mantissas in [1, 2) lies in [1, 4): 2^126 .. 2^128.
  return Pack(negative, ua.exp + ub.exp + 1, U128{ua.mantissa} * ub.mantissa);
}

SoftExtended operator/(const SoftExtended& a, const SoftExtended& b) {
  const Unpacked ua = Unpack(a);
  const Unpacked ub = Unpack(b);
  if (ua.kind == Kind::kInvalid || ub.kind == Kind::kInvalid) return kIndefinite;
  if (ua.kind == Kind::kNaN || ub.kind == Kind::kNaN) return PropagateNaN(a, b);
  const bool negative = ua.negative != ub.negative;
  const uint16_t sign = negative ? 0x8000 : 0;
  if (ua.kind == Kind::kInf) {
    if (ub.kind == Kind::kInf) return kIndefinite;
    return SoftExtended::FromBits(sign | kMaxExp, kTop);
  }
  if (ub.kind == Kind::kInf) return SoftExtended::FromBits(sign, 0);
  if (ub.kind == Kind::kZero) {
    if (ua.kind == Kind::kZero) return kIndefinite;
    return SoftExtended::FromBits(sign | kMaxExp, kTop);  // division by zero
  }
  if (ua.kind == Kind::kZero) return SoftExtended::FromBits(sign, 0);
  // mantissa_a * 2^64 / mantissa_b lies in (2^63, 2^65); one more quotient
  // bit where it is below 2^64 leaves a rounding bit below the 64 kept ones,
  // and the remainder is the sticky bit.
  const U128 dividend = U128{ua.mantissa} << 64;
  U128 q = dividend / ub.mantissa;
  U128 r = dividend % ub.mantissa;
  int32_t exp = ua.exp - ub.exp;
  if ((q >> 64) == 0) {
    r <<= 1;
    q <<= 1;
    if (r >= ub.mantissa) {
      q |= 1;
      r -= ub.mantissa;
    }
    --exp;
  }
  // q has 65 bits now, q / 2^64 * 2^exp being the quotient.
  return Pack(negative, exp, (q << 63) | (r != 0 ? 1 : 0));
}

int SoftExtended::Compare(const SoftExtended& a, const SoftExtended& b) {
  const Unpacked ua = Unpack(a);
  const Unpacked ub = Unpack(b);
  const auto unordered = [](Kind k) { return k == Kind::kNaN || k == Kind::kInvalid; };
  if (unordered(ua.kind) || unordered(ub.kind)) return 2;
  if (ua.kind == Kind::kZero && ub.kind == Kind::kZero) return 0;
  // Sign, then magnitude: infinities above every finite value, zero below.
  const auto rank = [](const Unpacked& u) {
    if (u.kind == Kind::kZero) return std::pair<int32_t, uint64_t>{INT32_MIN, 0};
    if (u.kind == Kind::kInf) return std::pair<int32_t, uint64_t>{INT32_MAX, 0};
    return std::pair<int32_t, uint64_t>{u.exp, u.mantissa};
  };
  const bool aNeg = ua.negative && ua.kind != Kind::kZero;
  const bool bNeg = ub.negative && ub.kind != Kind::kZero;
  if (aNeg != bNeg) return aNeg ? -1 : 1;
  const auto ra = rank(ua);
  const auto rb = rank(ub);
  if (ra == rb) return 0;
  return (ra < rb) != aNeg ? -1 : 1;
}

SoftExtended Sqrt(const SoftExtended& x) {
  const Unpacked u = Unpack(x);
  switch (u.kind) {
    case Kind::kInvalid:
      return kIndefinite;
    case Kind::kNaN:
      return SoftExtended::FromBits(x.SignExp(), x.Mantissa() | kQuiet);
    case Kind::kZero:
      return x;  // sqrt(-0) is -0
    case Kind::kInf:
    case Kind::kFinite:
      if (u.negative) return kIndefinite;
      if (u.kind == Kind::kInf) return x;
      break;
  }
  // value = mantissa * 2^(exp - 63). Take the root of n = mantissa * 2^k
  // with k = 63 or 64 (making exp - 63 - k even), so n lies in
  // [2^126, 2^128) and its root in [2^63, 2^64).
  const int k = ((u.exp - 63) & 1) != 0 ? 63 : 64;
  const U128 n = U128{u.mantissa} << k;
  // Digit by digit: root is floor(sqrt(n)), rem = n - root^2.
  U128 root = 0;
  U128 rem = 0;
  for (int i = 126; i >= 0; i -= 2) {
    rem = (rem << 2) | ((n >> i) & 3);
    const U128 trial = (root << 2) | 1;
    root <<= 1;
    if (rem >= trial) {
      rem -= trial;
      root |= 1;
    }
  }
  // An exact tie is impossible for a root; the true value lies above
  // root + 1/2 exactly when n > root^2 + root.
  uint64_t m = static_cast<uint64_t>(root);
  int32_t exp = (u.exp - 63 - k) / 2 + 63;
  if (rem > root) {
    ++m;
    if (m == 0) {
      m = kTop;
      ++exp;
    }
  }
  return SoftExtended::FromBits(static_cast<uint16_t>(exp + kBias), m);
}

bool IsNan(const SoftExtended& x) { return SoftExtended::Compare(x, x) == 2; }

std::string X87HexText(uint16_t signExp, uint64_t mantissa) {
  const bool negative = (signExp & 0x8000) != 0;
  const int32_t field = signExp & kMaxExp;
  std::string out = negative ? "-" : "";
  // What glibc's isnan / isinf say of the value: the unit's own compare.
  const Kind kind = Unpack(SoftExtended::FromBits(signExp, mantissa)).kind;
  if (kind == Kind::kNaN || kind == Kind::kInvalid) return out + "nan";
  if (kind == Kind::kInf) return out + "inf";
  static constexpr char kDigits[] = "0123456789abcdef";
  out += "0x";
  out += kDigits[mantissa >> 60];
  uint64_t rest = mantissa << 4;
  if (rest != 0) {
    out += '.';
    while (rest != 0) {
      out += kDigits[rest >> 60];
      rest <<= 4;
    }
  }
  // The leading digit carries three bits after the point.
  int32_t exp = 0;
  if (field != 0) {
    exp = field - (kBias + 3);
  } else if (mantissa != 0) {
    exp = 1 - (kBias + 3);
  }
  out += exp < 0 ? "p-" : "p+";
  out += std::to_string(exp < 0 ? -exp : exp);
  return out;
}

std::ostream& operator<<(std::ostream& out, const SoftExtended& x) {
  return out << X87HexText(x.SignExp(), x.Mantissa());
}
