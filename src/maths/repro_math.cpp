#include "maths/repro_math.h"

#include <bit>
#include <cstdint>
#include <limits>

// Everything below must round each operation on its own.
#if defined(__FAST_MATH__)
#error "repro_math needs IEEE arithmetic: build it without -ffast-math"
#endif

namespace rmath {
namespace {

// The bits of one type as another. Some C++ libraries (the WebAssembly
// toolchain's) lack std::bit_cast; the compilers' own built-in is the same.
#if defined(__cpp_lib_bit_cast)
using std::bit_cast;
#else
template <class To, class From>
constexpr To bit_cast(const From& from) noexcept {
  static_assert(sizeof(To) == sizeof(From));
  return __builtin_bit_cast(To, from);
}
#endif

__extension__ typedef unsigned __int128 U128;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// ---- Exact helpers -------------------------------------------------------

// A value carried as an unevaluated sum hi + lo, |lo| <= ulp(hi) / 2.
struct DD {
  double hi;
  double lo;
};

bool IsNaN(double x) { return x != x; }
bool IsInf(double x) { return x == kInf || x == -kInf; }
double Abs(double x) { return bit_cast<double>(bit_cast<uint64_t>(x) & ~(uint64_t{1} << 63)); }
bool SignBit(double x) { return (bit_cast<uint64_t>(x) >> 63) != 0; }
double CopySign(double mag, double sign) { return SignBit(sign) ? -Abs(mag) : Abs(mag); }

// 2^k for a normal k.
double Pow2(int k) { return bit_cast<double>(static_cast<uint64_t>(k + 1023) << 52); }

// y · 2^k with one rounding at most, for y near 1 (the results of the
// exponential kernels).
double ScaleB(double y, int k) {
  while (k > 1023) {
    y *= Pow2(1023);
    k -= 1023;
    if (IsInf(y)) return y;
  }
  if (k < -1022) {
    y *= Pow2(-969);  // stays normal for y near 1
    k += 969;
    if (k < -1022) return y * 0.0;
  }
  return y * Pow2(k);
}

// The nearest integer (halves away from zero) of |x| < 2^62.
int64_t Nearest(double x) { return static_cast<int64_t>(x < 0 ? x - 0.5 : x + 0.5); }

DD TwoSum(double a, double b) {
  const double s = a + b;
  const double bb = s - a;
  return {s, (a - (s - bb)) + (b - bb)};
}

DD FastTwoSum(double a, double b) {  // |a| >= |b| or a == 0
  const double s = a + b;
  return {s, b - (s - a)};
}

// Dekker's exact product (no fused multiply-add), for |a|, |b| < 2^995.
DD TwoProd(double a, double b) {
  constexpr double kSplit = 134217729.0;  // 2^27 + 1
  const double ca = kSplit * a;
  const double ah = ca - (ca - a);
  const double al = a - ah;
  const double cb = kSplit * b;
  const double bh = cb - (cb - b);
  const double bl = b - bh;
  const double p = a * b;
  return {p, ((ah * bh - p) + ah * bl + al * bh) + al * bl};
}

DD Add(DD a, DD b) {
  const DD s = TwoSum(a.hi, b.hi);
  return FastTwoSum(s.hi, s.lo + (a.lo + b.lo));
}

DD Mul(DD a, DD b) {
  const DD p = TwoProd(a.hi, b.hi);
  return FastTwoSum(p.hi, p.lo + (a.hi * b.lo + a.lo * b.hi));
}

// ---- Constants -----------------------------------------------------------

constexpr DD kPi{0x1.921fb54442d18p+1, 0x1.1a62633145c07p-53};
constexpr DD kPiOver2{0x1.921fb54442d18p+0, 0x1.1a62633145c07p-54};
constexpr DD kPiOver4{0x1.921fb54442d18p-1, 0x1.1a62633145c07p-55};
constexpr DD kLn2{0x1.62e42fefa39efp-1, 0x1.abc9e3b39803fp-56};
constexpr double kLn2Hi = 0x1.62e42fee00000p-1;  // 32 bits: k · kLn2Hi is exact for |k| < 2^21
constexpr double kLn2Lo = 0x1.a39ef35793c76p-33;
constexpr double kInvLn2 = 0x1.71547652b82fep+0;
constexpr DD kTwoThirds{0x1.5555555555555p-1, 0x1.5555555555555p-55};
constexpr DD kInvLn10{0x1.bcb7b1526e50ep-2, 0x1.95355baaafad3p-57};

// The bits of 2/pi after the point, most significant first: enough for the
// reduction of any finite double.
constexpr uint64_t kTwoOverPi[22] = {
    0xa2f9836e4e441529ull, 0xfc2757d1f534ddc0ull, 0xdb6295993c439041ull, 0xfe5163abdebbc561ull,
    0xb7246e3a424dd2e0ull, 0x06492eea09d1921cull, 0xfe1deb1cb129a73eull, 0xe88235f52ebb4484ull,
    0xe99c7026b45f7e41ull, 0x3991d639835339f4ull, 0x9c845f8bbdf9283bull, 0x1ff897ffde05980full,
    0xef2f118b5a0a6d1full, 0x6d367ecf27cb09b7ull, 0x4f463f669e5fea2dull, 0x7527bac7ebe5f17bull,
    0x3d0739f78a5292eaull, 0x6bfb5fb11f8d5d08ull, 0x56033046fc7b6babull, 0xf0cfbc209af4361dull,
    0xa9e391615ee61b08ull, 0x6599855f14a06840ull};

// 64 bits of 2/pi from bit i after the point (i >= 1).
uint64_t TwoOverPiBits(int i) {
  const int j = (i - 1) / 64;
  const int s = (i - 1) % 64;
  return s == 0 ? kTwoOverPi[j] : (kTwoOverPi[j] << s) | (kTwoOverPi[j + 1] >> (64 - s));
}

// ---- Trigonometric functions ---------------------------------------------

// x = n · pi/2 + r with |r| <= pi/4 (a little more where x is not a double
// multiple's neighbour), returning n mod 4. The product x · 2/pi is formed
// exactly in integers from enough bits of 2/pi, so r keeps full precision
// even next to a multiple of pi/2.
int Reduce(double x, DD& r) {
  const uint64_t bits = bit_cast<uint64_t>(x);
  const int biased = static_cast<int>((bits >> 52) & 0x7ff);
  const uint64_t m = (bits & ((uint64_t{1} << 52) - 1)) | (uint64_t{1} << 52);  // |x| >= pi/4: normal
  const int e = biased - 1075;                                                  // |x| = m · 2^e
  // Bits of 2/pi from i0 on: those before it add multiples of 4 to x · 2/pi.
  const int i0 = e >= 2 ? e - 1 : 1;
  uint64_t w[4];  // w[3] most significant
  for (int k = 0; k < 4; ++k) w[3 - k] = TwoOverPiBits(i0 + 64 * k);
  uint64_t p[5];
  U128 carry = 0;
  for (int k = 0; k < 4; ++k) {
    carry += static_cast<U128>(m) * w[k];
    p[k] = static_cast<uint64_t>(carry);
    carry >>= 64;
  }
  p[4] = static_cast<uint64_t>(carry);
  // p · 2^(e - i0 - 255) is x · 2/pi (mod 4): the point sits before bit `point`.
  const int point = i0 + 255 - e;
  const auto bitsAt = [&p](int pos) -> uint64_t {  // 64 bits from bit pos
    const int j = pos / 64;
    const int s = pos % 64;
    const uint64_t low = p[j] >> s;
    return s == 0 || j + 1 > 4 ? low : low | (p[j + 1] << (64 - s));
  };
  int n = static_cast<int>(bitsAt(point) & 3);
  // 192 bits after the point, as a fraction of 2^192.
  uint64_t f2 = bitsAt(point - 64);
  uint64_t f1 = bitsAt(point - 128);
  uint64_t f0 = bitsAt(point - 192);
  bool negative = false;
  if (f2 >> 63) {  // over a half: towards the next multiple
    ++n;
    negative = true;
    f0 = ~f0;
    f1 = ~f1;
    f2 = ~f2;
    if (++f0 == 0 && ++f1 == 0) ++f2;
  }
  int shift = 0;
  while (f2 == 0 && shift < 128) {
    f2 = f1;
    f1 = f0;
    f0 = 0;
    shift += 64;
  }
  if (f2 == 0) {
    r = {0.0, 0.0};
  } else {
    const int lz = std::countl_zero(f2);
    if (lz > 0) {
      f2 = (f2 << lz) | (f1 >> (64 - lz));
      f1 = (f1 << lz) | (f0 >> (64 - lz));
    }
    shift += lz;
    const uint64_t next = ((f2 & 0x7ff) << 42) | (f1 >> 22);  // the 53 bits after the top 53, truncated
    const double hi = static_cast<double>(f2 >> 11) * Pow2(-53 - shift);
    const double lo = static_cast<double>(next) * Pow2(-106 - shift);
    const DD frac = FastTwoSum(hi, lo);
    r = Mul(frac, kPiOver2);
    if (negative) r = {-r.hi, -r.lo};
  }
  if (SignBit(x)) {
    r = {-r.hi, -r.lo};
    n = -n;
  }
  return n & 3;
}

// Taylor coefficients; on |r| <= pi/4 the series end far below an ulp.
constexpr double kSinCoef[] = {-1.0 / 6,
                               1.0 / 120,
                               -1.0 / 5040,
                               1.0 / 362880,
                               -1.0 / 39916800,
                               1.0 / 6227020800.0,
                               -1.0 / 1307674368000.0,
                               1.0 / 355687428096000.0,
                               -1.0 / 121645100408832000.0,
                               1.0 / 51090942171709440000.0};
constexpr double kCosCoef[] = {1.0 / 24,
                               -1.0 / 720,
                               1.0 / 40320,
                               -1.0 / 3628800,
                               1.0 / 479001600,
                               -1.0 / 87178291200.0,
                               1.0 / 20922789888000.0,
                               -1.0 / 6402373705728000.0,
                               1.0 / 2432902008176640000.0,
                               -1.0 / 1124000727777607680000.0};

template <std::size_t N>
double Horner(const double (&c)[N], double z) {
  double v = c[N - 1];
  for (std::size_t i = N - 1; i-- > 0;) v = c[i] + z * v;
  return v;
}

// sin(r.hi + r.lo) for |r| <= pi/4.
double SinKernel(DD r) {
  const double z = r.hi * r.hi;
  return r.hi + (r.lo * (1.0 - 0.5 * z) + r.hi * z * Horner(kSinCoef, z));
}

// cos(r.hi + r.lo) for |r| <= pi/4: 1 - z/2 kept exact as far as it goes.
double CosKernel(DD r) {
  const double z = r.hi * r.hi;
  const double hz = 0.5 * z;
  const double w = 1.0 - hz;
  return w + (((1.0 - w) - hz) + (z * z * Horner(kCosCoef, z) - r.hi * r.lo));
}

// ---- Exponential and logarithm -------------------------------------------

constexpr double kExpCoef[] = {1.0 / 2,
                               1.0 / 6,
                               1.0 / 24,
                               1.0 / 120,
                               1.0 / 720,
                               1.0 / 5040,
                               1.0 / 40320,
                               1.0 / 362880,
                               1.0 / 3628800,
                               1.0 / 39916800,
                               1.0 / 479001600,
                               1.0 / 6227020800.0,
                               1.0 / 87178291200.0};

// e^r - 1 for |r| <= ln2 / 2 (a little more is fine).
double Expm1Kernel(double r) { return r + r * r * Horner(kExpCoef, r); }

// x = k · ln2 + r: r as a double with its rounding error in `err`.
int64_t ExpReduce(double hi, double lo, double& r, double& err) {
  const int64_t k = Nearest(hi * kInvLn2);
  const double kd = static_cast<double>(k);
  const double a = hi - kd * kLn2Hi;  // exact
  const double b = lo - kd * kLn2Lo;
  r = a + b;
  err = (a - r) + b;
  return k;
}

constexpr double kExpOverflow = 0x1.62e42fefa39efp+9;    // above: e^x is over the largest double
constexpr double kExpUnderflow = -0x1.74910d52d3051p+9;  // below: e^x rounds to zero

// e^(hi + lo), |lo| tiny beside hi.
double ExpDD(double hi, double lo) {
  if (IsNaN(hi)) return hi + hi;
  if (hi > kExpOverflow) return kInf;
  if (hi < kExpUnderflow) return 0.0;
  double r = 0;
  double err = 0;
  const int64_t k = ExpReduce(hi, lo, r, err);
  const double y = 1.0 + (Expm1Kernel(r) + err);
  return ScaleB(y, static_cast<int>(k));
}

// ln(x) for finite x > 0 as a double-double, good to about 2^-100.
DD LogDD(double x) {
  uint64_t bits = bit_cast<uint64_t>(x);
  int e = 0;
  if ((bits >> 52) == 0) {  // subnormal
    x *= 0x1p54;
    bits = bit_cast<uint64_t>(x);
    e = -54;
  }
  e += static_cast<int>(bits >> 52) - 1023;
  double m = bit_cast<double>((bits & ((uint64_t{1} << 52) - 1)) | (uint64_t{1023} << 52));  // [1, 2)
  if (m > 0x1.6a09e667f3bcdp+0) {  // keep m within [sqrt(1/2), sqrt(2))
    m *= 0.5;
    ++e;
  }
  const double f = m - 1.0;  // exact
  // ln(1 + f) = f - f²/2 + s · (f²/2 + R), s = f / (2 + f), R = 2s²/3 + 2s⁴/5 + ...
  const DD den = TwoSum(2.0, f);
  const double sHi = f / den.hi;
  const DD sd = TwoProd(sHi, den.hi);
  const double sLo = ((f - sd.hi) - sd.lo - sHi * den.lo) / den.hi;
  const DD hfsq = [&] {
    const DD sq = TwoProd(f, f);
    return DD{0.5 * sq.hi, 0.5 * sq.lo};
  }();
  constexpr double kLogCoef[] = {2.0 / 5,  2.0 / 7,  2.0 / 9,  2.0 / 11, 2.0 / 13, 2.0 / 15,
                                 2.0 / 17, 2.0 / 19, 2.0 / 21, 2.0 / 23, 2.0 / 25, 2.0 / 27};
  // R's first term 2s²/3 carries most of its weight: in double-double.
  const DD z = [&] {
    const DD sq = TwoProd(sHi, sHi);
    return FastTwoSum(sq.hi, sq.lo + 2.0 * sHi * sLo);
  }();
  const DD big = Add(Mul(z, kTwoThirds), DD{z.hi * z.hi * Horner(kLogCoef, z.hi), 0.0});
  const DD tail = Mul(DD{sHi, sLo}, Add(hfsq, big));
  const DD logm = Add(Add(DD{f, 0.0}, DD{-hfsq.hi, -hfsq.lo}), tail);
  const double ed = static_cast<double>(e);
  const DD eln2 = Add(DD{ed * kLn2Hi, 0.0}, TwoProd(ed, kLn2Lo));
  return Add(eln2, logm);
}

bool IsInteger(double y) {
  if (Abs(y) >= 0x1p52) return true;
  return static_cast<double>(static_cast<int64_t>(y)) == y;
}

bool IsOddInteger(double y) {
  if (Abs(y) >= 0x1p53) return false;
  const int64_t i = static_cast<int64_t>(y);
  return static_cast<double>(i) == y && (i & 1) != 0;
}

// ---- Arc tangent ---------------------------------------------------------

constexpr double kAtanHi[] = {0x1.dac670561bb4fp-2, 0x1.921fb54442d18p-1, 0x1.f730bd281f69bp-1,
                              0x1.921fb54442d18p+0};  // atan(1/2), atan(1), atan(3/2), atan(inf)
constexpr double kAtanLo[] = {0x1.a2b7f222f65e2p-56, 0x1.1a62633145c07p-55, 0x1.007887af0cbbdp-56,
                              0x1.1a62633145c07p-54};

// -1/7, 1/9, ... (-1/3 and 1/5 apart): on |t| < 7/16 the series ends below an ulp.
constexpr DD kMinusThird{-0x1.5555555555555p-2, -0x1.5555555555555p-56};
constexpr DD kFifth{0x1.999999999999ap-3, -0x1.999999999999ap-57};
constexpr double kAtanCoef[] = {-1.0 / 7,  1.0 / 9,  -1.0 / 11, 1.0 / 13, -1.0 / 15, 1.0 / 17,
                                -1.0 / 19, 1.0 / 21, -1.0 / 23, 1.0 / 25, -1.0 / 27, 1.0 / 29,
                                -1.0 / 31, 1.0 / 33, -1.0 / 35, 1.0 / 37, -1.0 / 39, 1.0 / 41,
                                -1.0 / 43, 1.0 / 45, -1.0 / 47, 1.0 / 49, -1.0 / 51};

DD DivDD(DD a, DD b) {
  const double hi = a.hi / b.hi;
  const DD p = TwoProd(hi, b.hi);
  const double lo = (((a.hi - p.hi) - p.lo) + a.lo - hi * b.lo) / b.hi;
  return FastTwoSum(hi, lo);
}

// atan(q) for q >= 0 (q.hi < 2^66), as a double-double good to about
// 2^-100: the argument moved next to 0, 1/2, 1, 3/2 or infinity, whose arc
// tangents are known, and the series on what is left.
DD AtanParts(DD q) {
  if (q.hi >= 0x1p66) return kPiOver2;
  int id = -1;
  DD t = q;
  if (q.hi < 0.4375) {
    // as it is
  } else if (q.hi < 0.6875) {
    id = 0;
    t = DivDD(DD{2.0 * q.hi - 1.0, 2.0 * q.lo}, Add(DD{2.0, 0.0}, q));
  } else if (q.hi < 1.1875) {
    id = 1;
    t = DivDD(DD{q.hi - 1.0, q.lo}, Add(DD{1.0, 0.0}, q));
  } else if (q.hi < 2.4375) {
    id = 2;
    const DD q15 = TwoProd(1.5, q.hi);
    t = DivDD(DD{q.hi - 1.5, q.lo}, Add(DD{1.0, 0.0}, DD{q15.hi, q15.lo + 1.5 * q.lo}));
  } else {
    id = 3;
    t = DivDD(DD{-1.0, 0.0}, q);
  }
  // atan(t) - t = t³ · (-1/3 + z/5 - ...), z = t²: the product and its
  // leading coefficient in double-double, so the tail adds no error near
  // an ulp of the sum.
  const DD z = TwoProd(t.hi, t.hi);
  const DD t3 = Mul(DD{t.hi, 0.0}, z);
  const DD rest = Add(kFifth, DD{z.hi * Horner(kAtanCoef, z.hi), 0.0});
  const DD poly = Add(kMinusThird, Mul(z, rest));
  const DD tail = Mul(t3, poly);
  const double tLo = t.lo / (1.0 + z.hi);  // atan(t.hi + t.lo) = atan(t.hi) + t.lo / (1 + t²)
  if (id < 0) return Add(DD{t.hi, tLo}, tail);
  return Add(Add(DD{kAtanHi[id], kAtanLo[id]}, DD{t.hi, tLo}), tail);
}

double AtanDD(DD q) {
  const DD r = AtanParts(q);
  return r.hi + r.lo;
}

}  // namespace

// ---- Public functions ----------------------------------------------------

double Sin(double x) {
  if (IsNaN(x) || IsInf(x)) return x - x;
  if (Abs(x) <= kPiOver4.hi) return Abs(x) < 0x1p-27 ? x : SinKernel(DD{x, 0.0});
  DD r{};
  switch (Reduce(x, r)) {
    case 0:
      return SinKernel(r);
    case 1:
      return CosKernel(r);
    case 2:
      return -SinKernel(r);
    default:
      return -CosKernel(r);
  }
}

double Cos(double x) {
  if (IsNaN(x) || IsInf(x)) return x - x;
  if (Abs(x) <= kPiOver4.hi) return Abs(x) < 0x1p-28 ? 1.0 : CosKernel(DD{x, 0.0});
  DD r{};
  switch (Reduce(x, r)) {
    case 0:
      return CosKernel(r);
    case 1:
      return -SinKernel(r);
    case 2:
      return -CosKernel(r);
    default:
      return SinKernel(r);
  }
}

double Tan(double x) {
  if (IsNaN(x) || IsInf(x)) return x - x;
  if (Abs(x) < 0x1p-27) return x;
  DD r{x, 0.0};
  const int n = Abs(x) <= kPiOver4.hi ? 0 : Reduce(x, r);
  const double s = SinKernel(r);
  const double c = CosKernel(r);
  return (n & 1) == 0 ? s / c : -c / s;
}

double Atan(double x) {
  if (IsNaN(x)) return x + x;
  return CopySign(AtanDD(DD{Abs(x), 0.0}), x);
}

double Atan2(double y, double x) {
  if (IsNaN(x) || IsNaN(y)) return x + y;
  const double pi = kPi.hi;
  if (y == 0) return SignBit(x) ? CopySign(pi, y) : y;
  if (x == 0) return CopySign(kPiOver2.hi, y);
  if (IsInf(x)) {
    if (IsInf(y)) return CopySign(x > 0 ? kPiOver4.hi : 3 * kPiOver4.hi, y);
    return x > 0 ? CopySign(0.0, y) : CopySign(pi, y);
  }
  if (IsInf(y)) return CopySign(kPiOver2.hi, y);
  double ay = Abs(y);
  double ax = Abs(x);
  const int ey = static_cast<int>(bit_cast<uint64_t>(ay) >> 52);
  const int ex = static_cast<int>(bit_cast<uint64_t>(ax) >> 52);
  if (ey - ex > 60) return CopySign(kPiOver2.hi + 0.5 * kPiOver2.lo, y);
  if (ex - ey > 60) return x > 0 ? CopySign(ay / ax, y) : CopySign(pi + kPi.lo, y);
  // Both within 2^60 of each other: scale them together into the range
  // where exact products work.
  if (ex > 1923 || ey > 1923) {
    ax *= Pow2(-600);
    ay *= Pow2(-600);
  } else if (ex < 123 || ey < 123) {
    ax *= Pow2(600);
    ay *= Pow2(600);
  }
  const double qHi = ay / ax;
  const DD p = TwoProd(qHi, ax);
  const double qLo = ((ay - p.hi) - p.lo) / ax;
  const DD zd = AtanParts(FastTwoSum(qHi, qLo));
  if (x > 0) return CopySign(zd.hi + zd.lo, y);
  // pi - atan(q), rounded once.
  const DD d = TwoSum(kPi.hi, -zd.hi);
  return CopySign(d.hi + (d.lo + (kPi.lo - zd.lo)), y);
}

double Acos(double x) {
  if (IsNaN(x)) return x + x;
  if (x > 1.0 || x < -1.0) return kNaN;
  if (x == 1.0) return 0.0;
  if (x == -1.0) return kPi.hi + kPi.lo;
  return Atan2(__builtin_sqrt((1.0 - x) * (1.0 + x)), x);
}

double Exp(double x) { return ExpDD(x, 0.0); }

double Exp2(double x) {
  if (IsNaN(x)) return x + x;
  if (x >= 1024.0) return kInf;
  if (x < -1080.0) return 0.0;
  const int64_t k = Nearest(x);
  const double f = x - static_cast<double>(k);  // exact
  const DD t = Mul(DD{f, 0.0}, kLn2);
  const double y = 1.0 + (Expm1Kernel(t.hi) + t.lo);
  return ScaleB(y, static_cast<int>(k));
}

double Expm1(double x) {
  if (IsNaN(x)) return x + x;
  const double ax = Abs(x);
  if (ax < 0x1p-54) return x;
  if (ax <= 0.5 * kLn2.hi) return Expm1Kernel(x);
  if (x > kExpOverflow) return kInf;
  if (x < -40.0) return -1.0;
  double r = 0;
  double err = 0;
  const int64_t k = ExpReduce(x, 0.0, r, err);
  const double p = Expm1Kernel(r) + err;
  if (k > 56) return ScaleB(1.0 + p, static_cast<int>(k)) - 1.0;
  // 2^k (1 + p) - 1 = (2^k - 1) + 2^k p: both parts exact, one rounding.
  const double twoK = Pow2(static_cast<int>(k));
  return (twoK - 1.0) + twoK * p;
}

double Log(double x) {
  if (IsNaN(x)) return x + x;
  if (x < 0) return kNaN;
  if (x == 0) return -kInf;
  if (IsInf(x)) return x;
  const DD l = LogDD(x);
  return l.hi + l.lo;
}

double Log10(double x) {
  if (IsNaN(x)) return x + x;
  if (x < 0) return kNaN;
  if (x == 0) return -kInf;
  if (IsInf(x)) return x;
  const DD l = Mul(LogDD(x), kInvLn10);
  return l.hi + l.lo;
}

double Pow(double x, double y) {
  if (y == 0) return 1.0;
  if (x == 1.0) return 1.0;
  if (IsNaN(x) || IsNaN(y)) return x + y;
  const double ax = Abs(x);
  if (IsInf(y)) {
    if (ax == 1.0) return 1.0;
    return (ax < 1.0) == (y > 0) ? 0.0 : kInf;
  }
  const bool odd = IsOddInteger(y);
  if (x == 0 || IsInf(x)) {
    // x = ±0 or ±inf: the magnitude is 0 or inf; an odd y keeps x's sign.
    const bool big = (x == 0) == (y < 0);
    const double mag = big ? kInf : 0.0;
    return odd ? CopySign(mag, x) : mag;
  }
  if (x < 0 && !IsInteger(y)) return kNaN;
  const double sign = x < 0 && odd ? -1.0 : 1.0;
  if (ax == 1.0) return sign;
  const DD l = LogDD(ax);
  // y · ln|x| as a double-double; scale y down first where the product
  // would leave Dekker's range (the result is then 0 or infinite anyway).
  if (Abs(y) > 0x1p900) return sign * ((ax > 1.0) == (y > 0) ? kInf : 0.0);
  const DD t = Mul(l, DD{y, 0.0});
  return sign * ExpDD(t.hi, t.lo);
}

double Tanh(double x) {
  if (IsNaN(x)) return x + x;
  const double ax = Abs(x);
  if (ax > 22.0) return CopySign(1.0, x);
  if (ax < 0x1p-28) return x;
  const double t = Expm1(2.0 * ax);
  const double v = ax < 1.0 ? t / (t + 2.0) : 1.0 - 2.0 / (t + 2.0);
  return CopySign(v, x);
}

double Hypot(double x, double y) {
  if (IsInf(x) || IsInf(y)) return kInf;
  if (IsNaN(x) || IsNaN(y)) return x + y;
  double a = Abs(x);
  double b = Abs(y);
  if (a < b) {
    const double t = a;
    a = b;
    b = t;
  }
  if (b == 0) return a;
  if (b < a * 0x1p-60) return a + b;
  // Scale by a power of two into the range where squares are exact.
  int k = 0;
  if (a > 0x1p500) {
    k = 600;
  } else if (b < 0x1p-500) {
    k = -600;
  }
  if (k != 0) {
    a *= Pow2(-k);
    b *= Pow2(-k);
  }
  const DD s = Add(TwoProd(a, a), TwoProd(b, b));
  const double h = __builtin_sqrt(s.hi);
  const DD hh = TwoProd(h, h);
  const double v = h + ((s.hi - hh.hi) - hh.lo + s.lo) / (2.0 * h);
  return k == 0 ? v : v * Pow2(k);
}

}  // namespace rmath
