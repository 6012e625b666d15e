#include "random/random_source.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <vector>

#include "reference/random_fill_plain.h"
#include "support/engine_test.h"

namespace {

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
  SeedRandom(r, 3595.0L);
  EXPECT_EQ(r.s, 3595.0L);
  SeedRandom(r, 3595.5L);  // just above: one root
  EXPECT_NEAR(static_cast<double>(r.s), 59.9625, 1e-4);
  SeedRandom(r, 1234.5L);
  EXPECT_EQ(r.s, 1234.5L);
  SeedRandom(r, 100000);
  // One square root, rounded to double precision.
  EXPECT_EQ(r.s, static_cast<Extended>(316.22776601683796));
  SeedRandom(r, 1e300L);
  EXPECT_LE(r.s, 3595.0L);
  EXPECT_GT(r.s, 1.0L);
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
  SeedRandom(r, std::numeric_limits<Extended>::quiet_NaN());
  EXPECT_TRUE(std::isnan(r.s));
  EXPECT_EQ(Random(r, 0, 1000000), 845140);
  EXPECT_FALSE(std::isnan(r.s));
  RandomSource batch;
  batch.s = std::numeric_limits<Extended>::quiet_NaN();
  int32_t v = 0;
  RandomFill(batch, 0, 1000000, &v, 1);
  EXPECT_EQ(v, 845140);
  EXPECT_EQ(batch.s, r.s);
}

bool SameState(const RandomSource& a, const RandomSource& b) {
  return a.s == b.s || (std::isnan(a.s) && std::isnan(b.s));
}

// Both batch versions against n successive calls from one state: the same
// numbers and the same state after.
void ExpectFillMatchesCalls(Extended state, int32_t lo, int32_t hi, int32_t n) {
  RandomSource calls;
  calls.s = state;
  std::vector<int32_t> expected;
  for (int32_t i = 0; i < n; ++i) expected.push_back(Random(calls, lo, hi));
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
  const Extended inf = std::numeric_limits<Extended>::infinity();
  std::vector<Extended> states = {0,      1,       -1,        1e-4000L,
                                  0.5L,   3595.0L, 3595.477L, 3595.48L,
                                  1e300L, inf,     -inf,      std::numeric_limits<Extended>::quiet_NaN()};
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
  ExpectFillMatchesCalls(1234.5L, -13, 13, 0);
  ExpectFillMatchesCalls(1234.5L, -13, 13, 1);
  ExpectFillMatchesCalls(1234.5L, -13, 13, 5000);
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
  const Extended top = std::ldexp(static_cast<Extended>(0xe0b7a46ed677c800ULL), 11 - 63);
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
    ExpectFillMatchesCalls(std::nextafter(lo, Extended{0}), 0, 1000000, 3);
  }
}

TEST(RandomSource, FillKeepsTheWholePartWhereTIsAnOddInteger) {
  // A / n is exact for the odd factors n of A's mantissa, so a state x with
  // x / B rounding to A / n gives t = n exactly and the fraction 0.
  for (const int32_t n : {5683, 15427}) {
    const Extended y = static_cast<Extended>(18.03467678544576) / n;
    Extended x = y * static_cast<Extended>(2786.45665445654);
    for (int32_t step = 0; step < 64 && x / static_cast<Extended>(2786.45665445654) != y; ++step) {
      x = std::nextafter(x, x / static_cast<Extended>(2786.45665445654) < y ? Extended{4000} : Extended{0});
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
