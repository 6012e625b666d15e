#include "random/random_source.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <vector>

#include "platform/cpu_features.h"
#include "random/random_steps.h"
#include "random/x87_bits.h"
#include "reference/random_fill_plain.h"
#include "support/engine_test.h"

namespace {

using x87test::BitsOf;

// Values that mean the same on every target: doubles, and extended values
// given by their bits where no double holds them.
const Extended kNaN = ExtendedFromBits(0x7fff, 0xc000000000000000);
const Extended kInf = ExtendedFromBits(0x7fff, uint64_t{1} << 63);
const Extended kTop = ExtendedFromBits(0x400a, 0xe0b7a46ed677c800);  // M, the largest state
Extended X(double v) { return static_cast<Extended>(v); }

// The neighbour of a positive normal value, one unit in the last place up
// (dir 1) or down (dir -1).
Extended Neighbour(Extended x, int dir) {
  x87test::Bits b = BitsOf(x);
  if (dir > 0) {
    if (++b.mantissa == 0) {
      b.mantissa = uint64_t{1} << 63;
      ++b.signExp;
    }
  } else if (b.mantissa-- == uint64_t{1} << 63) {
    b.mantissa = ~uint64_t{0};
    --b.signExp;
  }
  return ExtendedFromBits(b.signExp, b.mantissa);
}

// Reference values computed independently in 80-bit extended arithmetic.
TEST(RandomSource, DegenerateRangeStillAdvancesState) {
  RandomSource r;
  SeedRandom(r, 1000);
  const Extended before = r.s;
  EXPECT_EQ(Random(r, 5, 5), 5);
  EXPECT_NE(r.s, before);
  EXPECT_EQ(Random(r, 5, 5), 5);
}

TEST(RandomSource, NeverSeededStateCountsAsOne) {
  RandomSource r;
  ASSERT_EQ(r.s, 0);
  EXPECT_EQ(Random(r, 0, 1000000), 845140);
  RandomSource one;
  one.s = 1;
  EXPECT_EQ(Random(one, 0, 1000000), 845140);
}

TEST(RandomSource, SeedingTakesRootsOnlyAboveThreshold) {
  RandomSource r;
  SeedRandom(r, X(3595.0));
  EXPECT_EQ(r.s, X(3595.0));
  SeedRandom(r, X(3595.5));  // just above: one root
  EXPECT_NEAR(static_cast<double>(r.s), 59.9625, 1e-4);
  SeedRandom(r, X(1234.5));
  EXPECT_EQ(r.s, X(1234.5));
  SeedRandom(r, 100000);
  // One square root, rounded to double precision.
  EXPECT_EQ(r.s, X(316.22776601683796));
  SeedRandom(r, X(1e300));
  EXPECT_LE(r.s, X(3595.0));
  EXPECT_GT(r.s, X(1.0));
  // Above the range of doubles: the first root (3 * 2^1000) is taken in
  // extended and fits a double.
  SeedRandom(r, ExtendedFromBits(0x3fff + 2001, 0xc000000000000000));
  EXPECT_EQ(r.s, X(0x1.c388bd596ef33p+7));
  // A root too large for a double rounds to infinity, which stays; draws
  // then start from M.
  SeedRandom(r, ExtendedFromBits(0x7000, 0xc000000000000000));
  EXPECT_EQ(r.s, kInf);
}

TEST(RandomSource, PinnedSequenceFromFixedSeed) {
  RandomSource r;
  SeedRandom(r, static_cast<Extended>(123456.789));
  std::vector<int32_t> v;
  for (int i = 0; i < 1000; ++i) v.push_back(Random(r, 0, 1000000));
  const std::vector<int32_t> first10 = {22105,  279055, 85715,  59118,  418652,
                                        384962, 306615, 583802, 940793, 856290};
  EXPECT_EQ(std::vector<int32_t>(v.begin(), v.begin() + 10), first10);
  int64_t sum = 0;
  uint64_t hash = 0;
  for (int32_t x : v) {
    sum += x;
    hash = hash * 1000003u + static_cast<uint64_t>(x);
  }
  EXPECT_EQ(sum, 487147255);
  EXPECT_EQ(hash, 15361300008366315495ull);

  // A batch draws the same sequence.
  RandomSource batch;
  SeedRandom(batch, static_cast<Extended>(123456.789));
  std::vector<int32_t> filled(1000);
  RandomFill(batch, 0, 1000000, filled.data(), 1000);
  EXPECT_EQ(filled, v);
  EXPECT_EQ(batch.s, r.s);

  SeedRandom(r, static_cast<Extended>(123456.789));
  std::vector<int32_t> small;
  for (int i = 0; i < 20; ++i) small.push_back(Random(r, -5, 5));
  EXPECT_EQ(small,
            (std::vector<int32_t>{-4, -1, -4, -4, 0, 0, -1, 1, 5, 4, -1, -1, -2, -4, 0, -3, -2, -4, 2, -1}));
}

TEST(RandomSource, PinnedSequenceOfTheX87Unit) {
  // Where it parts from other precisions: binary128 gives 4 20 51 67 from
  // the seventh draw on.
  RandomSource r;
  SeedRandom(r, 1323);
  std::vector<int32_t> v;
  for (int i = 0; i < 10; ++i) v.push_back(Random(r, 0, 100));
  EXPECT_EQ(v, (std::vector<int32_t>{99, 20, 58, 9, 80, 46, 4, 21, 95, 75}));
}

// Many draws from many seeds and ranges, the results and the state's bits
// folded into one number: the x87 unit's, pinned, so that every target's
// arithmetic is held to it.
TEST(RandomSource, DigestOfManyDrawsIsTheX87Units) {
  const int32_t ranges[][2] = {{0, 100}, {-13, 13}, {5, 5}, {INT32_MIN, INT32_MAX}, {-1000000, -999000},
                               {0, 1}};
  // At the plain kernel level and at the best: single draws take another
  // conversion to int32 where the processor has one.
  for (const cpu::KernelLevel level : {cpu::KernelLevel::kPlain, cpu::BestKernelLevel()}) {
    cpu::ForceKernelLevel(level);
    uint64_t digest = 0;
    const auto fold = [&](uint64_t v) { digest = (digest ^ v) * 0x100000001b3u; };
    for (int32_t seed = 0; seed < 40; ++seed) {
      RandomSource r;
      SeedRandom(r, X(1318.0 + seed * 7919.37 + (seed % 3 == 0 ? 1e12 : 0.0)));
      for (int32_t i = 0; i < 500; ++i) {
        const auto& range = ranges[(i + seed) % 6];
        fold(static_cast<uint32_t>(Random(r, range[0], range[1])));
        const x87test::Bits b = BitsOf(r.s);
        fold(b.mantissa);
        fold(b.signExp);
      }
    }
    EXPECT_EQ(digest, 10407943232335804022u) << "kernel level " << static_cast<int32_t>(level);
    cpu::ResetKernelLevel();
  }
}

TEST(RandomSource, ResultsStayInRangeForExtremeBounds) {
  RandomSource r;
  SeedRandom(r, 777);
  for (int i = 0; i < 2000; ++i) {
    const int32_t a = Random(r, INT32_MIN, INT32_MAX);
    (void)a;
    const int32_t b = Random(r, -3, 7);
    EXPECT_GE(b, -3);
    EXPECT_LE(b, 7);
  }
}

TEST(RandomSource, NotANumberStateCountsAsOne) {
  RandomSource r;
  SeedRandom(r, kNaN);
  EXPECT_TRUE(IsNan(r.s));
  EXPECT_EQ(Random(r, 0, 1000000), 845140);
  EXPECT_FALSE(IsNan(r.s));
  RandomSource batch;
  batch.s = kNaN;
  int32_t v = 0;
  RandomFill(batch, 0, 1000000, &v, 1);
  EXPECT_EQ(v, 845140);
  EXPECT_EQ(batch.s, r.s);
}

// A state above M draws as M does, one below 1 (or not a number) as 1 does.
TEST(RandomSource, ClampedStatesDrawAsTheirBounds) {
  const auto draws = [](Extended state) {
    RandomSource r;
    r.s = state;
    std::vector<int32_t> v;
    for (int i = 0; i < 4; ++i) v.push_back(Random(r, 0, 1000000));
    return v;
  };
  const std::vector<int32_t> fromTop = {976682, 310381, 30744, 605538};
  const std::vector<int32_t> fromOne = {845140, 537716, 992702, 79434};
  EXPECT_EQ(draws(kTop), fromTop);
  for (const Extended above : {Neighbour(kTop, 1), X(3595.5), X(1e300), kInf}) {
    EXPECT_EQ(draws(above), fromTop) << RandomStateText(above);
  }
  EXPECT_NE(draws(X(3595.0)), fromTop);
  EXPECT_EQ(draws(X(1)), fromOne);
  for (const Extended below : {Neighbour(X(1), -1), X(0), X(-0.0), X(-1), -kInf, kNaN, -kNaN,
                               ExtendedFromBits(0, 1), ExtendedFromBits(0, uint64_t{1} << 63)}) {
    EXPECT_EQ(draws(below), fromOne) << RandomStateText(below);
  }
  EXPECT_NE(draws(X(1.001)), fromOne);
}

bool SameState(const RandomSource& a, const RandomSource& b) { return BitsOf(a.s) == BitsOf(b.s); }

// Both batch versions against n successive calls from one state: the same
// numbers and the same state after.
void ExpectFillMatchesCalls(Extended state, int32_t lo, int32_t hi, int32_t n) {
  RandomSource calls;
  calls.s = state;
  std::vector<int32_t> expected;
  Extended defined = state;
  for (int32_t i = 0; i < n; ++i) {
    expected.push_back(Random(calls, lo, hi));
    // Random and the fills take their own routes; the defined arithmetic
    // is the reference for both.
    EXPECT_EQ(RandomStep(defined, lo, hi), expected.back()) << "draw " << i;
  }
  EXPECT_EQ(BitsOf(defined), BitsOf(calls.s)) << "state " << static_cast<double>(state);
  for (const auto fill : {&RandomFill, &RandomFillPlain}) {
    RandomSource batch;
    batch.s = state;
    std::vector<int32_t> got(static_cast<size_t>(n) + 1, 0x5a5a5a5a);
    fill(batch, lo, hi, got.data(), n);
    EXPECT_EQ(got.back(), 0x5a5a5a5a) << "wrote past n";
    got.pop_back();
    EXPECT_EQ(got, expected) << "state " << static_cast<double>(state) << " range " << lo << " .. " << hi;
    EXPECT_TRUE(SameState(batch, calls)) << "state " << static_cast<double>(state);
  }
}

TEST(RandomSource, FillGivesWhatSuccessiveCallsGive) {
  std::vector<Extended> states = {0,
                                  1,
                                  -1,
                                  ExtendedFromBits(0x0c17, 0x9c3d73864f3805c0),  // 1e-4000
                                  X(0.5),
                                  X(3595.0),
                                  ExtendedFromBits(0x400a, 0xe0b7a1cac083126f),  // 3595.477
                                  ExtendedFromBits(0x400a, 0xe0b7ae147ae147ae),  // 3595.48
                                  X(1e300),
                                  kInf,
                                  -kInf,
                                  kNaN};
  RandomSource walk;
  SeedRandom(walk, 98765);
  for (int32_t i = 0; i < 60; ++i) {
    Random(walk, 0, 1);
    states.push_back(walk.s);
  }
  const int32_t ranges[][2] = {{-13, 13},
                               {0, 100},
                               {5, 5},
                               {0, 0},
                               {-1, 0},
                               {10, -10},
                               {INT32_MIN, INT32_MAX},
                               {INT32_MIN, INT32_MIN},
                               {INT32_MAX, INT32_MAX},
                               {INT32_MIN, 0},
                               {0, INT32_MAX}};
  for (const Extended state : states) {
    for (const auto& range : ranges) ExpectFillMatchesCalls(state, range[0], range[1], 40);
  }
  ExpectFillMatchesCalls(X(1234.5), -13, 13, 0);
  ExpectFillMatchesCalls(X(1234.5), -13, 13, 1);
  ExpectFillMatchesCalls(X(1234.5), -13, 13, 5000);
}

// The state after one draw is frac(t) · M with t = A / (x / B), the whole
// part of t taken after rounding t to double. Two kinds of state make that
// whole part delicate, and a draw from either gives the clamped state 1.
Extended DrawT(Extended x) {
  return static_cast<Extended>(18.03467678544576) / (x / static_cast<Extended>(2786.45665445654));
}

TEST(RandomSource, FillKeepsTheWholePartWhereTLiesJustBelowAnInteger) {
  // Rounding t to double carries it up to n, so the fraction is negative; a
  // whole part taken from t itself would leave nearly M instead.
  const Extended top = kTop;
  for (const int32_t n : {14, 15, 100, 4097, 30000, 50252}) {
    // t falls as x grows: bisect for the first x whose t is below n.
    Extended lo = 1;
    Extended hi = top;
    for (;;) {
      const Extended mid = lo + (hi - lo) / 2;
      if (mid <= lo || mid >= hi) break;
      (DrawT(mid) >= n ? lo : hi) = mid;
    }
    ASSERT_LT(DrawT(hi), n);
    ASSERT_EQ(static_cast<double>(DrawT(hi)), n) << "t does not round up to " << n;
    RandomSource r;
    r.s = hi;
    Random(r, 0, 1);
    EXPECT_EQ(r.s, 1) << n;
    ExpectFillMatchesCalls(hi, 0, 1000000, 3);
    // Just before, where t is n itself or rounds down to n - 1.
    ExpectFillMatchesCalls(Neighbour(lo, -1), 0, 1000000, 3);
  }
}

TEST(RandomSource, FillKeepsTheWholePartWhereTIsAnOddInteger) {
  // A / n is exact for the odd factors n of A's mantissa, so a state x with
  // x / B rounding to A / n gives t = n exactly and the fraction 0.
  for (const int32_t n : {5683, 15427}) {
    const Extended y = static_cast<Extended>(18.03467678544576) / n;
    Extended x = y * static_cast<Extended>(2786.45665445654);
    for (int32_t step = 0; step < 64 && x / static_cast<Extended>(2786.45665445654) != y; ++step) {
      x = Neighbour(x, x / static_cast<Extended>(2786.45665445654) < y ? 1 : -1);
    }
    ASSERT_EQ(DrawT(x), n);
    RandomSource r;
    r.s = x;
    Random(r, 0, 1);
    EXPECT_EQ(r.s, 1) << n;
    ExpectFillMatchesCalls(x, -13, 13, 3);
  }
}

class StirRandomTest : public vxtest::EngineTest {};

TEST_F(StirRandomTest, StirAlwaysDrawsAndReseedsOnlyOnTwoHighDraws) {
  RandomSource a;
  RandomSource b;
  SeedRandom(a, 2000);
  SeedRandom(b, 2000);
  int reseeds = 0;
  for (int i = 0; i < 400; ++i) {
    // b mirrors the two draws by hand; when both exceed 80 the stir re-seeds.
    const int32_t d1 = Random(b, 0, 100);
    bool reseed = false;
    if (d1 > 80) reseed = Random(b, 0, 100) > 80;
    StirRandom(a, 100, 200);
    if (reseed) {
      ++reseeds;
      RandomSource expect;
      SeedRandom(expect,
                 static_cast<Extended>(static_cast<double>(backend->ClockMs()) + 100 / 1.356 + 200 / 2.9761));
      EXPECT_EQ(a.s, expect.s);
      b.s = a.s;
    } else {
      EXPECT_EQ(a.s, b.s);
    }
  }
  EXPECT_GT(reseeds, 0);
}

}  // namespace
