#include "random/soft_extended.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfenv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "random/random_steps.h"
#include "random/x87_bits.h"

namespace {

using x87test::Bits;
using x87test::BitsOf;
using x87test::OperandSource;
using x87test::Show;
using x87test::Soft;

constexpr uint64_t kTop = uint64_t{1} << 63;
constexpr Bits kOne{0x3fff, kTop};
constexpr Bits kTwo{0x4000, kTop};
constexpr Bits kThree{0x4000, 0xc000000000000000};
constexpr Bits kZero{0, 0};
constexpr Bits kMinusZero{0x8000, 0};
constexpr Bits kInf{0x7fff, kTop};
constexpr Bits kIndefinite{0xffff, 0xc000000000000000};
constexpr Bits kQuietNaN{0x7fff, 0xc000000000001234};
constexpr Bits kSignallingNaN{0xffff, 0x8000000000005678};
constexpr Bits kMinDenormal{0, 1};
constexpr Bits kMinNormal{1, kTop};
constexpr Bits kMaxNormal{0x7ffe, ~uint64_t{0}};
constexpr Bits kPseudoDenormal{0, kTop};  // the same value as kMinNormal
constexpr Bits kUnnormal{0x3fff, 0x4000000000000000};

double DoubleOf(uint64_t bits) {
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}
uint64_t DoubleBits(double d) {
  uint64_t bits;
  std::memcpy(&bits, &d, sizeof bits);
  return bits;
}

// Results of the x87 unit (checked against it below where it exists), so
// the software path is held to them on every target.
enum class Op { kAdd, kSub, kMul, kDiv };
struct Pinned {
  const char* what;
  Bits a;
  Op op;
  Bits b;
  Bits result;
};
const Pinned kPinned[] = {
    {"1 / 3 rounds up", kOne, Op::kDiv, kThree, {0x3ffd, 0xaaaaaaaaaaaaaaab}},
    {"a tie rounds down to even", kOne, Op::kAdd, {0x3fff - 64, kTop}, kOne},
    {"a tie rounds up to even", {0x3fff, kTop | 1}, Op::kAdd, {0x3fff - 64, kTop}, {0x3fff, kTop | 2}},
    {"a sticky bit lifts a tie", kOne, Op::kAdd, {0x3fff - 64, kTop | 1}, {0x3fff, kTop | 1}},
    {"a sticky bit lowers a tie", kOne, Op::kSub, {0x3fff - 65, kTop | 1}, {0x3ffe, ~uint64_t{0}}},
    {"half the smallest denormal is a tie to 0", kMinDenormal, Op::kDiv, kTwo, kZero},
    {"3 halves of it round to 2", {0, 3}, Op::kDiv, kTwo, {0, 2}},
    {"a denormal rounds up to the smallest normal", kMinNormal, Op::kMul, {0x3ffe, ~uint64_t{0}}, kMinNormal},
    {"a pseudo-denormal counts as the smallest normal", kPseudoDenormal, Op::kAdd, kMinNormal, {2, kTop}},
    {"overflow gives infinity", kMaxNormal, Op::kMul, kTwo, kInf},
    {"infinity minus infinity is the indefinite", kInf, Op::kSub, kInf, kIndefinite},
    {"zero times infinity is the indefinite", kZero, Op::kMul, kInf, kIndefinite},
    {"zero over zero is the indefinite", kMinusZero, Op::kDiv, kZero, kIndefinite},
    {"one over zero is infinite", kOne, Op::kDiv, kMinusZero, {0xffff, kTop}},
    {"-0 + -0 is -0", kMinusZero, Op::kAdd, kMinusZero, kMinusZero},
    {"+0 + -0 is +0", kZero, Op::kAdd, kMinusZero, kZero},
    {"of two quiet NaNs the larger mantissa",
     kQuietNaN,
     Op::kAdd,
     {0xffff, 0xc000000000001235},
     {0xffff, 0xc000000000001235}},
    {"a quiet NaN over a signalling one", kSignallingNaN, Op::kDiv, kQuietNaN, kQuietNaN},
    {"x - x is +0", {0x8000 | 0x3fff, kTop}, Op::kSub, {0x8000 | 0x3fff, kTop}, kZero},
    {"an unnormal is rejected", kUnnormal, Op::kAdd, kOne, kIndefinite},
    {"a NaN is kept and quieted", kSignallingNaN, Op::kMul, kOne, {0xffff, 0xc000000000005678}},
};

SoftExtended Apply(Op op, const SoftExtended& a, const SoftExtended& b) {
  switch (op) {
    case Op::kAdd:
      return a + b;
    case Op::kSub:
      return a - b;
    case Op::kMul:
      return a * b;
    case Op::kDiv:
      return a / b;
  }
  return {};
}

TEST(SoftExtended, PinnedResultsOfTheX87Unit) {
  for (const Pinned& p : kPinned) {
    EXPECT_EQ(Show(BitsOf(Apply(p.op, Soft(p.a), Soft(p.b)))), Show(p.result)) << p.what;
  }
  EXPECT_EQ(BitsOf(Sqrt(SoftExtended(2.0))), (Bits{0x3fff, 0xb504f333f9de6484}));
  EXPECT_EQ(BitsOf(Sqrt(Soft(kMinDenormal))), (Bits{0x1fe0, 0xb504f333f9de6484}));
  EXPECT_EQ(BitsOf(Sqrt(Soft(kMaxNormal))), (Bits{0x5ffe, 0xffffffffffffffff}));  // rounds down
  EXPECT_EQ(BitsOf(Sqrt(Soft(kPseudoDenormal))), (Bits{0x2000, kTop}));
  EXPECT_EQ(BitsOf(Sqrt(SoftExtended(-1.0))), kIndefinite);
  EXPECT_EQ(BitsOf(Sqrt(Soft(kMinusZero))), kMinusZero);
}

TEST(SoftExtended, ConversionsToAndFromDouble) {
  EXPECT_EQ(BitsOf(SoftExtended(1.0)), kOne);
  EXPECT_EQ(BitsOf(SoftExtended(-0.0)), kMinusZero);
  EXPECT_EQ(BitsOf(SoftExtended(DoubleOf(1))), (Bits{0x3bcd, kTop}));  // the smallest subnormal
  EXPECT_EQ(BitsOf(SoftExtended(DoubleOf(0x7ff0000000000001))), (Bits{0x7fff, 0xc000000000000800}));
  EXPECT_EQ(BitsOf(SoftExtended(int32_t{-1})), (Bits{0xbfff, kTop}));
  EXPECT_EQ(BitsOf(SoftExtended(INT64_MIN)), (Bits{0xc03e, kTop}));
  EXPECT_EQ(BitsOf(SoftExtended(INT64_MAX)), (Bits{0x403d, ~uint64_t{1}}));
  // To double: ties to even at the 53rd bit, a sticky bit past it, the
  // subnormal grid and overflow.
  EXPECT_EQ(static_cast<double>(Soft({0x3fff, kTop | 0x400})), 1.0);
  EXPECT_EQ(static_cast<double>(Soft({0x3fff, kTop | 0x401})), 1.0 + 0x1p-52);
  EXPECT_EQ(static_cast<double>(Soft({0x3fff, kTop | 0xc00})), 1.0 + 0x1p-51);
  EXPECT_EQ(DoubleBits(static_cast<double>(Soft({0x3bcc, kTop}))), 0u);  // half the smallest: tie to 0
  EXPECT_EQ(DoubleBits(static_cast<double>(Soft({0x3bcd, 0xc000000000000000}))), 2u);
  EXPECT_EQ(static_cast<double>(Soft({0x43fe, ~uint64_t{0} << 10})), HUGE_VAL);
  EXPECT_EQ(static_cast<double>(Soft({0x43fe, ~uint64_t{0} << 11})), 0x1.fffffffffffffp+1023);
  EXPECT_EQ(DoubleBits(static_cast<double>(Soft(kIndefinite))), 0xfff8000000000000u);
  EXPECT_EQ(DoubleBits(static_cast<double>(Soft(kSignallingNaN))), 0xfff8000000000000u | (0x5678 >> 11));
}

TEST(SoftExtended, TruncationToInt32) {
  const auto trunc = [](const Bits& b) { return static_cast<int32_t>(Soft(b)); };
  EXPECT_EQ(static_cast<int32_t>(SoftExtended(2147483647.99)), INT32_MAX);
  EXPECT_EQ(static_cast<int32_t>(SoftExtended(-2147483648.99)), INT32_MIN);
  EXPECT_EQ(static_cast<int32_t>(SoftExtended(-2147483647.5)), -2147483647);
  EXPECT_EQ(static_cast<int32_t>(SoftExtended(2147483648.0)), INT32_MIN);  // out of range
  EXPECT_EQ(static_cast<int32_t>(SoftExtended(-0.75)), 0);
  EXPECT_EQ(static_cast<int32_t>(SoftExtended(13.999)), 13);
  EXPECT_EQ(static_cast<int32_t>(SoftExtended(-13.999)), -13);
  EXPECT_EQ(trunc(kMinDenormal), 0);
  EXPECT_EQ(trunc(kInf), INT32_MIN);
  EXPECT_EQ(trunc(kQuietNaN), INT32_MIN);
  EXPECT_EQ(trunc(kUnnormal), INT32_MIN);
}

TEST(SoftExtended, ComparisonsAreUnorderedForNaNs) {
  const SoftExtended nan = Soft(kQuietNaN);
  const SoftExtended one = Soft(kOne);
  EXPECT_FALSE(nan == nan);
  EXPECT_TRUE(nan != nan);
  EXPECT_FALSE(nan < one || nan > one || nan <= one || nan >= one || one < nan || one >= nan);
  EXPECT_TRUE(IsNan(nan));
  EXPECT_TRUE(IsNan(Soft(kUnnormal)));
  EXPECT_FALSE(IsNan(Soft(kInf)));
  EXPECT_TRUE(Soft(kZero) == Soft(kMinusZero));
  EXPECT_FALSE(Soft(kZero) < Soft(kMinusZero));
  EXPECT_TRUE(Soft(kPseudoDenormal) == Soft(kMinNormal));
  EXPECT_TRUE(Soft({0, kTop - 1}) < Soft(kPseudoDenormal));
  EXPECT_TRUE(-Soft(kInf) < SoftExtended(-1e300));
  EXPECT_TRUE(SoftExtended(-2.0) < SoftExtended(-1.0));
  EXPECT_TRUE(SoftExtended(-1.0) < Soft(kMinusZero));
  EXPECT_TRUE(Soft({0x3fff, kTop | 1}) > one);
}

TEST(SoftExtended, HexTextIsGlibcs) {
  EXPECT_EQ(X87HexText(0x400a, 0xe0b7a46ed677c800), "0xe.0b7a46ed677c8p+8");
  EXPECT_EQ(X87HexText(0x3fff, kTop), "0x8p-3");
  EXPECT_EQ(X87HexText(0xbfff, 0xc000000000000001), "-0xc.000000000000001p-3");
  EXPECT_EQ(X87HexText(0, 0), "0x0p+0");
  EXPECT_EQ(X87HexText(0x8000, 0), "-0x0p+0");
  EXPECT_EQ(X87HexText(0, 1), "0x0.000000000000001p-16385");
  EXPECT_EQ(X87HexText(0, kTop), "0x8p-16385");
  EXPECT_EQ(X87HexText(0x7fff, kTop), "inf");
  EXPECT_EQ(X87HexText(0xffff, kTop), "-inf");
  EXPECT_EQ(X87HexText(0xffff, 0xc000000000000000), "-nan");
  EXPECT_EQ(X87HexText(0x7fff, 0xc000000000000000), "nan");
  std::ostringstream out;
  out << SoftExtended(0.5);
  EXPECT_EQ(out.str(), "0x8p-4");
}

#if defined(VX_X87_LONG_DOUBLE)

using x87test::Hard;

// The unit truncating with the rounding mode set to chop, as a conversion
// to int does, for operands out of range as well (where C++ leaves it open).
int32_t HardTruncate(long double x) {
  uint16_t control;
  asm volatile("fnstcw %0" : "=m"(control));
  const uint16_t chop = control | 0x0c00;
  int32_t result;
  asm volatile("fldcw %1\n\tfistpl %0\n\tfldcw %2" : "=m"(result) : "m"(chop), "m"(control), "t"(x) : "st");
  return result;
}

TEST(SoftExtendedVsX87, PinnedResultsAreTheUnits) {
  for (const Pinned& p : kPinned) {
    volatile long double a = Hard(p.a);
    volatile long double b = Hard(p.b);
    long double r = 0;
    switch (p.op) {
      case Op::kAdd:
        r = a + b;
        break;
      case Op::kSub:
        r = a - b;
        break;
      case Op::kMul:
        r = a * b;
        break;
      case Op::kDiv:
        r = a / b;
        break;
    }
    EXPECT_EQ(Show(BitsOf(r)), Show(p.result)) << p.what;
  }
}

// Counts the cases where the two disagree, showing the first few.
class Mismatches {
 public:
  explicit Mismatches(const char* what) : what_(what) {}
  ~Mismatches() { EXPECT_EQ(count_, 0) << what_ << ": " << count_ << " of " << cases_ << " differ"; }
  void Check(bool same, const std::string& detail) {
    ++cases_;
    if (same) return;
    if (++count_ <= 5) ADD_FAILURE() << what_ << ": " << detail;
  }

 private:
  const char* what_;
  int64_t cases_ = 0;
  int64_t count_ = 0;
};

std::string Pair(const Bits& a, const Bits& b, const Bits& hard, const Bits& soft) {
  return Show(a) + " , " + Show(b) + " -> x87 " + Show(hard) + " soft " + Show(soft);
}

TEST(SoftExtendedVsX87, ArithmeticOnRandomOperands) {
  Mismatches add("add"), sub("subtract"), mul("multiply"), div("divide"), root("square root");
  OperandSource source(20261207);
  for (int32_t i = 0; i < 400000; ++i) {
    const Bits a = source.Operand();
    Bits b = source.Operand();
    if (i % 4 == 0) {
      // A second operand of a nearby or a far scale, for sums that round
      // at or just beside a tie and for sticky bits alone.
      const int32_t shift = static_cast<int32_t>(source.Below(140)) - 4;
      b.signExp =
          static_cast<uint16_t>((b.signExp & 0x8000) | std::max<int32_t>((a.signExp & 0x7fff) - shift, 1));
    }
    volatile long double ha = Hard(a);
    volatile long double hb = Hard(b);
    const SoftExtended sa = Soft(a);
    const SoftExtended sb = Soft(b);
    const auto check = [&](Mismatches& m, long double h, const SoftExtended& s) {
      m.Check(BitsOf(h) == BitsOf(s), Pair(a, b, BitsOf(h), BitsOf(s)));
    };
    check(add, ha + hb, sa + sb);
    check(sub, ha - hb, sa - sb);
    check(mul, ha * hb, sa * sb);
    check(div, ha / hb, sa / sb);
    check(root, std::sqrt(static_cast<long double>(ha)), Sqrt(sa));
  }
}

TEST(SoftExtendedVsX87, ConversionsAndComparisonsOnRandomOperands) {
  Mismatches toDouble("to double"), toInt("to int32"), fromDouble("from double"), fromInt("from int64"),
      compare("comparisons");
  OperandSource source(77);
  for (int32_t i = 0; i < 400000; ++i) {
    Bits a = source.Operand();
    if (i % 3 == 0) {  // around the int32 range, whole and fractional
      a.signExp = static_cast<uint16_t>((a.signExp & 0x8000) | (0x3fff - 2 + source.Below(36)));
      a.mantissa |= kTop;
    }
    const Bits b = source.Below(8) == 0 ? a : source.Operand();
    volatile long double ha = Hard(a);
    volatile long double hb = Hard(b);
    const SoftExtended sa = Soft(a);
    const SoftExtended sb = Soft(b);
    const double hd = static_cast<double>(ha);
    const double sd = static_cast<double>(sa);
    toDouble.Check(DoubleBits(hd) == DoubleBits(sd), Show(a));
    toInt.Check(HardTruncate(ha) == static_cast<int32_t>(sa), Show(a));
    const bool hc[] = {ha == hb, ha != hb, ha<hb, ha <= hb, ha> hb, ha >= hb};
    const bool sc[] = {sa == sb, sa != sb, sa<sb, sa <= sb, sa> sb, sa >= sb};
    compare.Check(std::memcmp(hc, sc, sizeof hc) == 0, Show(a) + " , " + Show(b));

    const uint64_t raw = source.Next();
    const double d =
        DoubleOf(source.Below(2) == 0 ? raw : (raw & 0x800fffffffffffff) | (source.Below(3) << 52));
    volatile double vd = d;
    fromDouble.Check(BitsOf(static_cast<long double>(vd)) == BitsOf(SoftExtended(d)), std::to_string(raw));
    const int64_t n = static_cast<int64_t>(raw) >> source.Below(64);
    volatile int64_t vn = n;
    fromInt.Check(BitsOf(static_cast<long double>(vn)) == BitsOf(SoftExtended(n)), std::to_string(n));
  }
  for (const int64_t n : {INT64_MIN, INT64_MAX, int64_t{0}, int64_t{-1}}) {
    volatile int64_t vn = n;
    fromInt.Check(BitsOf(static_cast<long double>(vn)) == BitsOf(SoftExtended(n)), std::to_string(n));
  }
}

TEST(SoftExtendedVsX87, DrawTruncationWithoutModeSwitchesIsTheUnitsChop) {
  // The draws' truncation rounds in the unit's current mode and corrects;
  // in every mode it must give what fistp gives in chop mode: whole numbers,
  // halves (ties go both ways when rounded), one unit in the last place
  // either side of them, the ends of int32 and past them, and the specials.
  std::vector<long double> values;
  for (const long double w : {0.0L, 1.0L, 2.0L, 13.0L, 100.0L, 799.0L, 2147483646.0L, 2147483647.0L,
                              2147483648.0L, 2147483649.0L, 4294967296.0L, 0x1p62L, 0x1p63L, 0x1p64L}) {
    for (const long double sign : {1.0L, -1.0L}) {
      const long double v = sign * w;
      for (const long double x : {v, v + 0.5L, v - 0.5L, v + 0.25L, v - 0.75L})
        values.insert(values.end(), {x, std::nextafter(x, 0x1p70L), std::nextafter(x, -0x1p70L)});
    }
  }
  for (const Bits& b : {kInf, Bits{0xffff, kTop}, kIndefinite, kQuietNaN, kSignallingNaN, kMinDenormal,
                        kPseudoDenormal, kMaxNormal, kUnnormal, kMinusZero})
    values.push_back(Hard(b));
  OperandSource source(31);
  for (int32_t i = 0; i < 200000; ++i) {
    Bits a = source.Operand();
    if (i % 2 == 0) {  // around the int32 range
      a.signExp = static_cast<uint16_t>((a.signExp & 0x8000) | (0x3fff - 2 + source.Below(66)));
      a.mantissa |= kTop;
    }
    values.push_back(Hard(a));
  }
  const int saved = std::fegetround();
  for (const auto& [mode, name] : {std::pair{FE_TONEAREST, "to nearest"}, std::pair{FE_DOWNWARD, "down"},
                                   std::pair{FE_UPWARD, "up"}, std::pair{FE_TOWARDZERO, "toward zero"}}) {
    ASSERT_EQ(std::fesetround(mode), 0);
    Mismatches chop(name);
    for (const long double v : values) {
      volatile long double hv = v;
      chop.Check(TruncateDraw(hv) == HardTruncate(hv), Show(BitsOf(v)));
    }
  }
  std::fesetround(saved);
}

TEST(SoftExtendedVsX87, HexTextOfIostreams) {
  OperandSource source(5);
  std::vector<Bits> values = {kZero,
                              kMinusZero,
                              kOne,
                              kInf,
                              {0xffff, kTop},
                              kIndefinite,
                              kQuietNaN,
                              kSignallingNaN,
                              kMinDenormal,
                              kPseudoDenormal,
                              kMaxNormal,
                              kUnnormal,
                              {0x7fff, 0x4000000000000000},
                              {0x7fff, 0},
                              {0x400a, 0xe0b7a46ed677c800}};
  for (int32_t i = 0; i < 20000; ++i) values.push_back(source.Operand());
  Mismatches text("hex text");
  for (const Bits& v : values) {
    std::ostringstream out;
    out << std::hexfloat << Hard(v);
    text.Check(out.str() == X87HexText(v.signExp, v.mantissa), Show(v) + " " + out.str());
  }
}

#else

TEST(SoftExtendedVsX87, NeedsTheX87Type) { GTEST_SKIP() << "long double is not the x87 format here"; }

#endif  // VX_X87_LONG_DOUBLE

}  // namespace
