#include "maths/repro_math.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Distance in units in the last place, across zero as well.
uint64_t UlpDiff(double a, double b) {
  const auto ordered = [](double d) {
    const int64_t i = std::bit_cast<int64_t>(d);
    return i < 0 ? std::numeric_limits<int64_t>::min() - i : i;
  };
  const int64_t x = ordered(a);
  const int64_t y = ordered(b);
  return x > y ? static_cast<uint64_t>(x) - static_cast<uint64_t>(y)
               : static_cast<uint64_t>(y) - static_cast<uint64_t>(x);
}

uint64_t UlpDiff(float a, float b) {
  const auto ordered = [](float f) {
    const int32_t i = std::bit_cast<int32_t>(f);
    return i < 0 ? int64_t{std::numeric_limits<int32_t>::min()} - i : int64_t{i};
  };
  const int64_t d = ordered(a) - ordered(b);
  return static_cast<uint64_t>(d < 0 ? -d : d);
}

bool SameBits(double a, double b) {
  return (std::isnan(a) && std::isnan(b)) || std::bit_cast<uint64_t>(a) == std::bit_cast<uint64_t>(b);
}

// A fixed stream of doubles, uniform in [lo, hi).
class Sampler {
 public:
  explicit Sampler(uint64_t seed) : s_(seed) {}
  uint64_t Next() {
    uint64_t z = (s_ += 0x9e3779b97f4a7c15ull);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return z ^ (z >> 31);
  }
  double Uniform(double lo, double hi) {
    return lo + (hi - lo) * (static_cast<double>(Next() >> 11) * 0x1p-53);
  }
  // Spread over magnitudes: 2^[lo, hi) with a random significand and sign.
  double LogUniform(int lo, int hi, bool signs) {
    const double m = 1.0 + static_cast<double>(Next() >> 12) * 0x1p-52;
    const int e = lo + static_cast<int>(Next() % static_cast<uint64_t>(hi - lo));
    const double v = std::ldexp(m, e);
    return signs && (Next() & 1) ? -v : v;
  }

 private:
  uint64_t s_;
};

struct Worst {
  uint64_t ulps = 0;
  double at = 0;
  double at2 = 0;
};

using Fn1 = std::function<double(double)>;

Worst Compare1(const Fn1& ours, const Fn1& theirs, const std::vector<double>& xs) {
  Worst w;
  for (double x : xs) {
    const double a = ours(x);
    const double b = theirs(x);
    const uint64_t d = std::isnan(a) && std::isnan(b) ? 0 : UlpDiff(a, b);
    if (d > w.ulps) w = {d, x, 0};
  }
  return w;
}

std::vector<double> UniformSet(uint64_t seed, double lo, double hi, int n) {
  Sampler s(seed);
  std::vector<double> v;
  for (int i = 0; i < n; ++i) v.push_back(s.Uniform(lo, hi));
  return v;
}

std::vector<double> MagnitudeSet(uint64_t seed, int lo, int hi, bool signs, int n) {
  Sampler s(seed);
  std::vector<double> v;
  for (int i = 0; i < n; ++i) v.push_back(s.LogUniform(lo, hi, signs));
  return v;
}

#define EXPECT_WITHIN_ULPS(worst, limit) \
  EXPECT_LE((worst).ulps, (limit)) << "at " << std::hexfloat << (worst).at << " " << (worst).at2

TEST(ReproMathTest, TrigonometryFollowsTheLibraryOverItsRange) {
  const Fn1 sin = [](double x) { return rmath::Sin(x); };
  const Fn1 cos = [](double x) { return rmath::Cos(x); };
  const Fn1 tan = [](double x) { return rmath::Tan(x); };
  const Fn1 libSin = [](double x) { return std::sin(x); };
  const Fn1 libCos = [](double x) { return std::cos(x); };
  const Fn1 libTan = [](double x) { return std::tan(x); };
  for (const auto& xs : {UniformSet(1, -8, 8, 40000), MagnitudeSet(2, -40, 3, true, 20000),
                         MagnitudeSet(3, 3, 1023, true, 20000)}) {
    EXPECT_WITHIN_ULPS(Compare1(sin, libSin, xs), 1u);
    EXPECT_WITHIN_ULPS(Compare1(cos, libCos, xs), 1u);
    EXPECT_WITHIN_ULPS(Compare1(tan, libTan, xs), 2u);
  }
  // Next to multiples of pi/2 the reduction must keep every bit.
  std::vector<double> near;
  for (int k = 1; k < 200000; k += 7) {
    const double m = k * 1.5707963267948966;
    near.push_back(m);
    near.push_back(std::nextafter(m, kInf));
  }
  EXPECT_WITHIN_ULPS(Compare1(sin, libSin, near), 1u);
  EXPECT_WITHIN_ULPS(Compare1(cos, libCos, near), 1u);
  // The double closest to a multiple of pi/2 (relatively): the library is
  // 8 ulps off here; this is the correctly rounded answer.
  EXPECT_EQ(rmath::Cos(0x1.6ac5b262ca1ffp+849), -0x1.14ae72e6ba22fp-61);
}

TEST(ReproMathTest, ExponentialsAndLogarithmsFollowTheLibrary) {
  const auto check = [](const Fn1& ours, const Fn1& theirs, const std::vector<double>& xs, uint64_t limit) {
    EXPECT_WITHIN_ULPS(Compare1(ours, theirs, xs), limit);
  };
  const Fn1 exp = [](double x) { return rmath::Exp(x); };
  const Fn1 libExp = [](double x) { return std::exp(x); };
  check(exp, libExp, UniformSet(4, -745.2, 709.8, 40000), 1);
  check(exp, libExp, UniformSet(5, -1, 1, 20000), 1);
  check(exp, libExp, UniformSet(6, -745.2, -708, 5000), 1);  // results below the normal range
  check([](double x) { return rmath::Exp2(x); }, [](double x) { return std::exp2(x); },
        UniformSet(7, -1080, 1024, 30000), 1);
  check([](double x) { return rmath::Expm1(x); }, [](double x) { return std::expm1(x); },
        UniformSet(8, -50, 700, 20000), 2);
  check([](double x) { return rmath::Expm1(x); }, [](double x) { return std::expm1(x); },
        MagnitudeSet(9, -60, 1, true, 20000), 2);
  const Fn1 log = [](double x) { return rmath::Log(x); };
  const Fn1 libLog = [](double x) { return std::log(x); };
  check(log, libLog, MagnitudeSet(10, -1074, 1024, false, 40000), 1);
  check(log, libLog, UniformSet(11, 0.5, 2, 40000), 1);
  check([](double x) { return rmath::Log10(x); }, [](double x) { return std::log10(x); },
        MagnitudeSet(12, -1074, 1024, false, 40000), 1);
  check([](double x) { return rmath::Tanh(x); }, [](double x) { return std::tanh(x); },
        UniformSet(13, -25, 25, 40000), 3);
  check([](double x) { return rmath::Tanh(x); }, [](double x) { return std::tanh(x); },
        MagnitudeSet(14, -40, 2, true, 20000), 3);
}

TEST(ReproMathTest, ArcFunctionsAndHypotFollowTheLibrary) {
  EXPECT_WITHIN_ULPS(Compare1([](double x) { return rmath::Atan(x); }, [](double x) { return std::atan(x); },
                              MagnitudeSet(15, -40, 80, true, 40000)),
                     1u);
  EXPECT_WITHIN_ULPS(Compare1([](double x) { return rmath::Acos(x); }, [](double x) { return std::acos(x); },
                              UniformSet(16, -1, 1, 40000)),
                     2u);
  Sampler s(17);
  Worst atan2;
  Worst hypot;
  for (int i = 0; i < 40000; ++i) {
    const double y = i % 2 ? s.LogUniform(-30, 30, true) : s.Uniform(-300, 300);
    const double x = i % 2 ? s.LogUniform(-30, 30, true) : s.Uniform(-300, 300);
    const uint64_t da = UlpDiff(rmath::Atan2(y, x), std::atan2(y, x));
    if (da > atan2.ulps) atan2 = {da, y, x};
    const double hy = s.LogUniform(-1074, 1023, true);
    const double hx = s.LogUniform(-1074, 1023, true);
    const uint64_t dh = UlpDiff(rmath::Hypot(hy, hx), std::hypot(hy, hx));
    if (dh > hypot.ulps) hypot = {dh, hy, hx};
  }
  EXPECT_WITHIN_ULPS(atan2, 2u);
  EXPECT_WITHIN_ULPS(hypot, 1u);
  // On a whole-number grid (the light map's directions) within an ulp of
  // the library, and correctly rounded where the library is not.
  Worst grid;
  for (int y = -100; y <= 100; ++y) {
    for (int x = -100; x <= 100; ++x) {
      const uint64_t d = UlpDiff(rmath::Atan2(double(y), double(x)), std::atan2(double(y), double(x)));
      if (d > grid.ulps) grid = {d, double(y), double(x)};
    }
  }
  EXPECT_WITHIN_ULPS(grid, 1u);
  EXPECT_EQ(rmath::Atan2(-79.0, 36.0), -0x1.24a9c62287053p+0);
  EXPECT_EQ(rmath::Atan2(-57.0, 7.0), -0x1.72d7867e6999bp+0);
  EXPECT_EQ(rmath::Atan2(-75.0, -97.0), -0x1.3de066ed1c05fp+1);
  EXPECT_EQ(rmath::Atan(2.65625), 0x1.35f2dc20141bbp+0);
  // Correctly rounded where the library's hypot is not.
  EXPECT_EQ(rmath::Hypot(54.0, 34.0), 0x1.fe7f6f939a553p+5);
}

TEST(ReproMathTest, PowFollowsTheLibrary) {
  Sampler s(18);
  Worst moderate;
  Worst wide;
  for (int i = 0; i < 40000; ++i) {
    const double x = s.Uniform(0, 100);
    const double y = s.Uniform(-12, 12);
    const uint64_t d = UlpDiff(rmath::Pow(x, y), std::pow(x, y));
    if (d > moderate.ulps) moderate = {d, x, y};
    // Over the whole range of results, up to the overflow limit.
    const double wx = s.LogUniform(-1074, 1024, false);
    const double wy = s.Uniform(-700, 700) / std::abs(std::log(wx));
    const uint64_t dw = UlpDiff(rmath::Pow(wx, wy), std::pow(wx, wy));
    if (dw > wide.ulps) wide = {dw, wx, wy};
  }
  EXPECT_WITHIN_ULPS(moderate, 1u);
  EXPECT_WITHIN_ULPS(wide, 4u);
  // Negative bases with whole exponents keep the sign of odd powers.
  for (int y = -9; y <= 9; ++y) {
    EXPECT_LE(UlpDiff(rmath::Pow(-1.7, double(y)), std::pow(-1.7, double(y))), 1u) << y;
  }
}

TEST(ReproMathTest, SpecialValuesAreTheLibrarys) {
  const std::vector<double> specials = {0.0,    -0.0,   1.0,    -1.0,    0.5,       -0.5,  2.0,    -2.0,
                                        3.0,    -3.0,   2.5,    -2.5,    kInf,      -kInf, kNaN,   1e300,
                                        -1e300, 1e-300, 5e-324, -5e-324, 0x1p-1022, 710.0, -746.0, 1e22};
  const struct {
    const char* name;
    double (*ours)(double);
    double (*theirs)(double);
  } one[] = {
      {"sin", rmath::Sin, std::sin},       {"cos", rmath::Cos, std::cos},       {"tan", rmath::Tan, std::tan},
      {"atan", rmath::Atan, std::atan},    {"acos", rmath::Acos, std::acos},    {"exp", rmath::Exp, std::exp},
      {"exp2", rmath::Exp2, std::exp2},    {"expm1", rmath::Expm1, std::expm1}, {"log", rmath::Log, std::log},
      {"log10", rmath::Log10, std::log10}, {"tanh", rmath::Tanh, std::tanh},
  };
  const auto settled = [](double v) { return std::isnan(v) || std::isinf(v) || v == 0 || std::abs(v) == 1; };
  for (const auto& f : one) {
    for (double x : specials) {
      const double a = f.ours(x);
      const double b = f.theirs(x);
      // Where the answer is a special value it is exactly the library's.
      if (settled(a) || settled(b)) {
        EXPECT_TRUE(SameBits(a, b)) << f.name << "(" << x << ") = " << a << ", library " << b;
      } else {
        EXPECT_LE(UlpDiff(a, b), 2u) << f.name << "(" << x << ")";
      }
    }
  }
  const struct {
    const char* name;
    double (*ours)(double, double);
    double (*theirs)(double, double);
  } two[] = {{"pow", rmath::Pow, std::pow},
             {"atan2", rmath::Atan2, std::atan2},
             {"hypot", rmath::Hypot, std::hypot}};
  for (const auto& f : two) {
    for (double x : specials) {
      for (double y : specials) {
        const double a = f.ours(x, y);
        const double b = f.theirs(x, y);
        if (settled(a) || settled(b)) {
          EXPECT_TRUE(SameBits(a, b)) << f.name << "(" << x << ", " << y << ") = " << a << ", library " << b;
        } else {
          EXPECT_LE(UlpDiff(a, b), 2u) << f.name << "(" << x << ", " << y << ")";
        }
      }
    }
  }
  // Exact answers callers count on.
  for (int k = -1074; k <= 1023; ++k) EXPECT_EQ(rmath::Exp2(double(k)), std::ldexp(1.0, k)) << k;
  for (int k = -20; k <= 22; ++k) EXPECT_EQ(rmath::Log10(std::pow(10.0, k)), k) << k;
  EXPECT_EQ(rmath::Atan2(1.0, 1.0), std::atan(1.0));
  EXPECT_EQ(rmath::Exp2(0.0f), 1.0f);
  EXPECT_EQ(rmath::Pow(2.0, 10.0), 1024.0);
}

TEST(ReproMathTest, FloatFormsAreTheRoundedDoubles) {
  Sampler s(19);
  uint64_t worst = 0;
  for (int i = 0; i < 20000; ++i) {
    const float x = static_cast<float>(s.Uniform(-50, 50));
    const float p = static_cast<float>(s.Uniform(0, 4));
    worst =
        std::max({worst, UlpDiff(rmath::Sin(x), std::sin(x)), UlpDiff(rmath::Cos(x), std::cos(x)),
                  UlpDiff(rmath::Exp(x), std::exp(x)), UlpDiff(rmath::Pow(p, x / 10), std::pow(p, x / 10)),
                  UlpDiff(rmath::Tanh(x), std::tanh(x)), UlpDiff(rmath::Atan2(x, p), std::atan2(x, p)),
                  UlpDiff(rmath::Hypot(x, p), std::hypot(x, p)), UlpDiff(rmath::Exp2(x), std::exp2(x))});
  }
  // The library's own float forms are up to 2 ulps off (sinf near 0.002).
  EXPECT_LE(worst, 2u);
  EXPECT_EQ(rmath::Sin(0x1.b2133cp-10f), 0x1.b2132ep-10f);  // correctly rounded
}

// The bits of a table of answers, pinned: a build for another processor
// (or with another compiler) that gives other bits fails here.
TEST(ReproMathTest, AnswersArePinned) {
  uint64_t hash = 0xcbf29ce484222325ull;
  const auto mix = [&hash](double v) {
    uint64_t b = std::bit_cast<uint64_t>(v);
    for (int i = 0; i < 8; ++i, b >>= 8) hash = (hash ^ (b & 0xff)) * 0x100000001b3ull;
  };
  Sampler s(20);
  for (int i = 0; i < 2000; ++i) {
    const double a = s.Uniform(-20, 20);
    const double b = s.LogUniform(-30, 30, true);
    const double c = s.LogUniform(-1074, 1024, false);
    mix(rmath::Sin(a));
    mix(rmath::Cos(b));
    mix(rmath::Tan(a));
    mix(rmath::Sin(c));
    mix(rmath::Atan(b));
    mix(rmath::Atan2(a, b));
    mix(rmath::Acos(a / 20));
    mix(rmath::Exp(a * 30));
    mix(rmath::Exp2(a * 50));
    mix(rmath::Expm1(a / 8));
    mix(rmath::Log(c));
    mix(rmath::Log10(c));
    mix(rmath::Pow(std::abs(a), b / 1e9));
    mix(rmath::Pow(c, a / 40));
    mix(rmath::Tanh(a));
    mix(rmath::Hypot(b, c));
    mix(rmath::Sin(static_cast<float>(a)));
    mix(rmath::Exp(static_cast<float>(a)));
  }
  EXPECT_EQ(hash, 0xf599e911fe8c34eeull) << std::hex << hash;
}

}  // namespace
