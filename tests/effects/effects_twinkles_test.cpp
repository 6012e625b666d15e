// Twinkles: which grid points become twinkles, with which draws, and how
// they pulse.
#include "effects/effects_test_fixture.h"

namespace vxtest {
namespace {

class EffectsTwinklesTest : public EffectsTest {
 protected:
  // What SpawnTwinkles draws for one qualifying grid point: the three tests,
  // then the record's values when they pass and a record is free.
  static bool ReplayPoint(RandomSource& r, int32_t chance, int32_t threshold, int32_t scale, bool recordFree,
                          TwinkleRecord& out) {
    if (!(Random(r, 0, 100) > 100 - chance)) return false;
    if (!(Random(r, 0, 401) < threshold)) return false;
    if (!(Random(r, 0, 401) < threshold)) return false;
    if (!recordFree) return false;
    out.radius = static_cast<int16_t>(std::max(3, Random(r, 3, 18) * scale / 1024));
    out.brightness = static_cast<int16_t>(Random(r, 90, 170));
    out.phase = static_cast<int16_t>(Random(r, 0, 255));
    int32_t speed = Random(r, -3, 3) * 800;
    if (speed >= -259 && speed <= 259) speed = 260;
    out.speed = static_cast<int16_t>(speed);
    return true;
  }

  int32_t ActiveTwinkles() {
    int32_t n = 0;
    for (const TwinkleRecord& t : fx().twinkles) n += t.active != 0 ? 1 : 0;
    return n;
  }
};

TEST_F(EffectsTwinklesTest, AQualifyingGridPointDrawsItsTestsAndValuesInOrder) {
  for (int32_t scale : {512, 1600}) {
    ClearTwinkles(fx());
    gfx().sizeScale = scale;
    const int32_t threshold = scale == 512 ? 400 : 160;  // 560 - scale / 4, within 160 .. 400
    Fill(0);
    At(40, 20) = Rgb(100, 60, 20);
    RandomSource expected = engine.random;
    SpawnTwinkles(fx(), gfx(), 0, 0, 799, 599, 100, 300, 0, 100, 128);
    TwinkleRecord want;
    const bool made = ReplayPoint(expected, 100, threshold, scale, true, want);
    EXPECT_EQ(DrawsBetween(expected, engine.random), 0);
    ASSERT_EQ(ActiveTwinkles(), made ? 1 : 0);
    if (!made) continue;
    const TwinkleRecord& t = fx().twinkles[0];
    EXPECT_EQ(t.x, 40);
    EXPECT_EQ(t.y, 20);
    EXPECT_EQ(t.radius, want.radius);
    EXPECT_EQ(t.brightness, want.brightness);
    EXPECT_EQ(t.phase, want.phase);
    EXPECT_EQ(t.speed, want.speed);
    EXPECT_EQ(t.red, 50);
    EXPECT_EQ(t.green, 30);
    EXPECT_EQ(t.blue, 10);
    EXPECT_EQ(t.fastAdd, 1);  // b + g + r = 180 and bright 0
  }
}

TEST_F(EffectsTwinklesTest, OnlyGridPointsInsideTheRectangleAndRangeAreTried) {
  Fill(0);
  At(41, 20) = Rgb(100, 100, 100);   // off the grid
  At(797, 20) = Rgb(100, 100, 100);  // off the grid, near the right edge
  At(44, 20) = Rgb(100, 100, 100);   // outside the rectangle
  At(40, 24) = Rgb(1, 1, 1);         // outside the range
  const RandomSource start = engine.random;
  SpawnTwinkles(fx(), gfx(), 0, 0, 40, 599, 100, 300, 0, 100, 256);
  EXPECT_EQ(DrawsBetween(start, engine.random), 0);
  // The last grid column and row are width - 4 and height - 4; bounds are inclusive.
  At(796, 596) = Rgb(100, 100, 100);
  SpawnTwinkles(fx(), gfx(), 796, 596, 796, 596, 300, 300, 0, 100, 256);
  EXPECT_GT(DrawsBetween(start, engine.random), 0);
}

// With a chance of 0 every grid point tried draws once and goes no further,
// so the draws count the points: off-grid, negative and extreme bounds.
TEST_F(EffectsTwinklesTest, TheGridPointsTriedAreThoseInsideWhateverTheBounds) {
  // Lit: the grid points of the top-left corner, and three more.
  Fill(0);
  for (int32_t y = 0; y <= 8; y += 4)
    for (int32_t x = 0; x <= 44; x += 4) At(x, y) = Rgb(100, 100, 100);
  At(796, 596) = At(400, 300) = At(797, 0) = Rgb(100, 100, 100);
  struct Case {
    int32_t x1, y1, x2, y2, points;
  };
  const Case cases[] = {
      {37, 2, 45, 9, 2 * 2},  // 40, 44 by 4, 8
      {-5, -7, 9, 5, 3 * 2},  // 0, 4, 8 by 0, 4
      {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, 12 * 3 + 2},
      {INT32_MAX - 2, 0, INT32_MAX, 599, 0},
      {797, 0, 900, 599, 0},  // past the last grid column
      {10, 10, 5, 20, 0},     // x2 before x1
  };
  for (const Case& c : cases) {
    const RandomSource start = engine.random;
    ClearTwinkles(fx());
    SpawnTwinkles(fx(), gfx(), c.x1, c.y1, c.x2, c.y2, 1, 765, 0, 0, 256);
    EXPECT_EQ(DrawsBetween(start, engine.random), c.points) << c.x1 << "," << c.y1;
  }
}

TEST_F(EffectsTwinklesTest, TheFastAddIsForDimPixelsUnlessBrightIsAsked) {
  gfx().sizeScale = 512;
  Fill(0);
  At(0, 0) = Rgb(70, 70, 75);  // 215
  At(4, 0) = Rgb(72, 72, 72);  // 216
  const auto twinkleAt = [this](int32_t x) -> const TwinkleRecord* {
    for (const TwinkleRecord& t : fx().twinkles) {
      if (t.active != 0 && t.x == x) return &t;
    }
    return nullptr;
  };
  SpawnTwinkles(fx(), gfx(), 0, 0, 799, 599, 1, 765, 0, 100, 256);
  ASSERT_NE(twinkleAt(0), nullptr);
  ASSERT_NE(twinkleAt(4), nullptr);
  EXPECT_EQ(twinkleAt(0)->fastAdd, 1);
  EXPECT_EQ(twinkleAt(4)->fastAdd, 0);
  ClearTwinkles(fx());
  SpawnTwinkles(fx(), gfx(), 0, 0, 799, 599, 1, 765, 1, 100, 256);
  ASSERT_NE(twinkleAt(0), nullptr);
  EXPECT_EQ(twinkleAt(0)->fastAdd, 0);
}

TEST_F(EffectsTwinklesTest, The3002ndTwinkleIsSkippedButItsTestsStillDraw) {
  for (TwinkleRecord& t : fx().twinkles) t.active = 1;
  Fill(0);
  At(8, 8) = Rgb(100, 100, 100);
  RandomSource expected = engine.random;
  SpawnTwinkles(fx(), gfx(), 0, 0, 799, 599, 200, 400, 0, 100, 256);
  TwinkleRecord unused;
  EXPECT_FALSE(ReplayPoint(expected, 100, std::clamp(560 - gfx().sizeScale / 4, 160, 400), gfx().sizeScale,
                           false, unused));
  EXPECT_EQ(DrawsBetween(expected, engine.random), 0);
  for (const TwinkleRecord& t : fx().twinkles) EXPECT_NE(t.x, 8);
  ClearTwinkles(fx());
  EXPECT_EQ(ActiveTwinkles(), 0);
}

TEST_F(EffectsTwinklesTest, UpdateTintsByPhaseThenAdvancesIt) {
  Fill(Rgb(10, 10, 10));
  TwinkleRecord& t = fx().twinkles[5];
  t = TwinkleRecord{1, 100, 100, 4, 0, 50, 100, 128, 128, 800, 0};
  const RandomSource start = engine.random;
  UpdateTwinkles(fx(), gfx());
  // Strength 128 · (128 - 0) / 128 = 128; red 100 · 128 / 512 = 25, green 12.
  EXPECT_EQ(At(100, 100), Rgb(35, 22, 10));
  EXPECT_EQ(At(103, 100), Rgb(35, 22, 10));
  EXPECT_EQ(At(104, 100), Rgb(10, 10, 10));
  // Phase += 800 · 29 >> 13 = 2; 130 has low bits 2, so no draw.
  EXPECT_EQ(t.phase, 130);
  EXPECT_EQ(DrawsBetween(start, engine.random), 0);
}

TEST_F(EffectsTwinklesTest, APhaseEndingIn13To15ChangesTheSpeedAtRandom) {
  Fill(0);
  TwinkleRecord& t = fx().twinkles[0];
  t = TwinkleRecord{1, 100, 100, 4, 0, 0, 0, 100, 11, 2300, 1};
  RandomSource expected = engine.random;
  UpdateTwinkles(fx(), gfx());
  // 11 + (2300 · 29 >> 13) = 19, low bits 3: no change yet.
  EXPECT_EQ(t.phase, 19);
  EXPECT_EQ(t.speed, 2300);
  t.phase = 5;
  UpdateTwinkles(fx(), gfx());
  EXPECT_EQ(t.phase, 13);
  int32_t speed = std::clamp(2300 + Random(expected, -700, 700), -2400, 2400);
  if (speed >= -259 && speed <= 259) speed = 260;
  EXPECT_EQ(t.speed, speed);
  EXPECT_EQ(DrawsBetween(expected, engine.random), 0);
  // Nothing was drawn: every amount is 0.
  EXPECT_EQ(At(100, 100), 0u);
  // Phases wrap modulo 256, backwards too.
  t.phase = 1;
  t.speed = -2400;
  UpdateTwinkles(fx(), gfx());
  EXPECT_EQ(t.phase, (1 + (-2400 * 29 >> 13)) & 255);
}

TEST_F(EffectsTwinklesTest, TheThresholdIsHeldWithin160To400) {
  // Seeds whose second draw is the threshold's boundary value: 160 fails at
  // 160, 399 passes at 400.
  for (const auto& [scale, draw, made] : {std::tuple{2000, 160, false}, {0, 399, true}}) {
    uint32_t seed = 1;
    for (; seed < 1000000; ++seed) {
      RandomSource r;
      SeedRandom(r, seed);
      if (Random(r, 0, 100) > 0 && Random(r, 0, 401) == draw && Random(r, 0, 401) < 160) break;
    }
    ASSERT_LT(seed, 1000000u);
    ClearTwinkles(fx());
    gfx().sizeScale = scale;
    Fill(0);
    At(40, 20) = Rgb(100, 60, 20);
    SeedRandom(engine.random, seed);
    SpawnTwinkles(fx(), gfx(), 0, 0, 799, 599, 100, 300, 0, 100, 128);
    EXPECT_EQ(ActiveTwinkles(), made ? 1 : 0) << "scale " << scale;
  }
}

TEST_F(EffectsTwinklesTest, ASpeedChangedTooSlowToSeeBecomes260) {
  Fill(0);
  for (const auto& [target, kept] :
       {std::pair{259, 260}, {-259, 260}, {0, 260}, {260, 260}, {261, 261}, {-260, -260}}) {
    RandomSource replica = engine.random;
    const int32_t change = Random(replica, -700, 700);
    TwinkleRecord& t = fx().twinkles[0];
    t = TwinkleRecord{1, 100, 100, 4, 0, 0, 0, 100, 0, 0, 1};
    t.speed = static_cast<int16_t>(target - change);
    t.phase = static_cast<int16_t>((14 - ((int64_t{t.speed} * 29) >> 13)) & 255);  // lands on 14
    UpdateTwinkles(fx(), gfx());
    ASSERT_EQ(t.phase, 14);
    EXPECT_EQ(t.speed, kept) << target;
  }
}

}  // namespace
}  // namespace vxtest
