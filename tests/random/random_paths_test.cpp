// The generator on both arithmetic paths side by side, the x87 unit's and
// SoftExtended's: every result and the state's bits after every step must
// agree. Only where `long double` is the x87 format.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "random/random_source.h"
#include "random/random_steps.h"
#include "random/x87_bits.h"

#if defined(VX_X87_LONG_DOUBLE)

namespace {

using x87test::Bits;
using x87test::BitsOf;
using x87test::Hard;
using x87test::Show;
using x87test::Soft;

// One state on both paths.
struct Twin {
  long double hard = 0;
  SoftExtended soft;

  explicit Twin(const Bits& b) : hard(Hard(b)), soft(Soft(b)) {}
  bool Same() const { return BitsOf(hard) == BitsOf(soft); }
  std::string Text() const { return "x87 " + Show(BitsOf(hard)) + " soft " + Show(BitsOf(soft)); }
};

constexpr int32_t kRanges[][2] = {{0, 100},
                                  {-13, 13},
                                  {5, 5},
                                  {0, 0},
                                  {INT32_MIN, INT32_MAX},
                                  {INT32_MIN, INT32_MIN},
                                  {INT32_MAX, INT32_MAX},
                                  {-1000000, -1},
                                  {INT32_MIN, -2},
                                  {10, -10},
                                  {0, 1},
                                  {-1, 0},
                                  {0, 1000000},
                                  {1, INT32_MAX},
                                  {-7, 3},
                                  {0, 799}};
constexpr int32_t kRangeCount = sizeof kRanges / sizeof kRanges[0];

double DoubleOf(uint64_t bits) {
  double d;
  std::memcpy(&d, &bits, sizeof d);
  return d;
}

// A seed of the kinds the game and its tools give (a clock plus a position,
// small whole numbers) and of every other kind: huge, tiny, negative, any
// double at all.
double SeedValue(std::mt19937_64& gen, int32_t i) {
  switch (i % 6) {
    case 0:
      return static_cast<double>(gen() % 4000000) + static_cast<double>(gen() % 800) / 1.356 +
             static_cast<double>(gen() % 600) / 2.9761;
    case 1:
      return static_cast<double>(gen() % 5000);
    case 2:
      return std::ldexp(static_cast<double>(gen() >> 11), static_cast<int>(gen() % 2000) - 1000);
    case 3:
      return -static_cast<double>(gen() % 5000) / 7.0;
    case 4:
      return DoubleOf(gen());
    default:
      return static_cast<double>(gen() % 3595) + DoubleOf(gen() & 0x3fefffffffffffff);
  }
}

TEST(RandomPaths, TenMillionDrawsAgreeBitForBit) {
  std::mt19937_64 gen(1323);
  int64_t draws = 0;
  int32_t failures = 0;
  for (int32_t seed = 0; seed < 2000 && failures < 3; ++seed) {
    const double v = SeedValue(gen, seed);
    Twin t(Bits{});
    SeedStep(t.hard, static_cast<long double>(v));
    SeedStep(t.soft, SoftExtended(v));
    ASSERT_TRUE(t.Same()) << "seed " << v << ": " << t.Text();
    // The game's own draw, which takes a faster route to the same bits.
    RandomSource game;
    game.s = t.hard;
    // Each seed walks the ranges from its own place, a few draws each.
    for (int32_t i = 0; i < 5000; ++i) {
      const auto& range = kRanges[(seed + i / 3) % kRangeCount];
      const int32_t a = RandomStep(t.hard, range[0], range[1]);
      const int32_t b = RandomStep(t.soft, range[0], range[1]);
      const int32_t c = Random(game, range[0], range[1]);
      ++draws;
      if (a != b || !t.Same() || c != a || BitsOf(game.s) != BitsOf(t.hard)) {
        ADD_FAILURE() << "seed " << v << " draw " << i << " of " << range[0] << " .. " << range[1] << ": "
                      << a << " vs " << b << " vs " << c << " (the game's), " << t.Text();
        ++failures;
        break;
      }
    }
  }
  EXPECT_EQ(draws, 10000000);
}

TEST(RandomPaths, DrawsFromTheClampedStates) {
  const uint64_t top = uint64_t{1} << 63;
  const std::vector<Bits> states = {
      {0x3fff, top},                 // exactly 1
      {0x3ffe, ~uint64_t{0}},        // just below 1
      {0x3fff, top | 1},             // just above 1
      {0x400a, 0xe0b7a46ed677c800},  // exactly M
      {0x400a, 0xe0b7a46ed677c7ff},  // just below M
      {0x400a, 0xe0b7a46ed677c801},  // just above M
      {0x400a, 0xe0b8000000000000},  // 3595.5
      {0x7ffe, ~uint64_t{0}},        // the largest value
      {0, 0},                        // never seeded
      {0x8000, 0},                   // -0
      {0xbfff, top},                 // -1
      {0x0, 1},                      // the smallest denormal
      {0x0, top},                    // a pseudo-denormal
      {0x3fff, 0x4000000000000000},  // an unnormal
      {0x7fff, top},                 // infinity
      {0xffff, top},                 // -infinity
      {0x7fff, 0xc000000000000000},  // NaN
      {0xffff, 0xc000000000000000},  // the indefinite
      {0x7fff, 0x8000000000000001},  // a signalling NaN
  };
  for (const Bits& state : states) {
    for (const auto& range : kRanges) {
      Twin t(state);
      for (int32_t i = 0; i < 20; ++i) {
        const int32_t a = RandomStep(t.hard, range[0], range[1]);
        const int32_t b = RandomStep(t.soft, range[0], range[1]);
        ASSERT_EQ(a, b) << Show(state) << " draw " << i << " of " << range[0] << " .. " << range[1];
        ASSERT_TRUE(t.Same()) << Show(state) << " draw " << i << ": " << t.Text();
      }
    }
  }
}

TEST(RandomPaths, SeedingAgrees) {
  std::mt19937_64 gen(99);
  x87test::OperandSource source(4);
  int32_t doubleRoundingTies = 0;
  for (int32_t i = 0; i < 30000; ++i) {
    Bits seed;
    if (i % 3 == 0) {
      seed = source.Operand();  // any extended value, beyond the doubles' range too
    } else if (i % 3 == 1) {
      seed = BitsOf(SoftExtended(SeedValue(gen, i)));
    } else {
      // The square of a value halfway between two doubles: its extended
      // root often is that halfway value, which the rounding to double then
      // takes to even, away from where the exact root would go.
      const double d = std::ldexp(static_cast<double>((gen() >> 11) | (uint64_t{1} << 52)),
                                  -52 + 6 + static_cast<int>(gen() % 400));
      const SoftExtended half = SoftExtended(d) + SoftExtended(std::ldexp(1.0, std::ilogb(d) - 53));
      seed = BitsOf(half * half);
      if (BitsOf(Sqrt(half * half)) == BitsOf(half)) ++doubleRoundingTies;
    }
    Twin t(seed);
    SeedStep(t.hard, Hard(seed));
    SeedStep(t.soft, Soft(seed));
    ASSERT_TRUE(t.Same()) << "seed " << Show(seed) << ": " << t.Text();
  }
  EXPECT_GT(doubleRoundingTies, 1000);
}

TEST(RandomPaths, StirringAndItsReseedsAgree) {
  Twin t(BitsOf(SoftExtended(1318.0)));
  int32_t reseeds = 0;
  for (int32_t frame = 0; frame < 200000; ++frame) {
    const int32_t clock = 1318 + frame * 29;
    const int32_t x = frame % 800 - 5;
    const int32_t y = (frame * 7) % 600;
    bool reseeded = false;
    StirStep(t.hard, x, y, [&] {
      reseeded = true;
      return clock;
    });
    StirStep(t.soft, x, y, [&] { return clock; });
    reseeds += reseeded;
    ASSERT_TRUE(t.Same()) << "frame " << frame << ": " << t.Text();
  }
  EXPECT_GT(reseeds, 1000);
}

}  // namespace

#else

TEST(RandomPaths, NeedTheX87Type) { GTEST_SKIP() << "long double is not the x87 format here"; }

#endif  // VX_X87_LONG_DOUBLE
