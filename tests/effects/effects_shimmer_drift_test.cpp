// Shimmer areas and drift particles.
#include "effects/effects_kernels.h"
#include "effects/effects_test_fixture.h"
#include "platform/cpu_features.h"

namespace vxtest {
namespace {

using EffectsShimmerTest = EffectsTest;
using EffectsDriftTest = EffectsTest;

void Noise(uint32_t* pixels, int32_t count) {
  uint32_t seed = 11;
  for (int32_t i = 0; i < count; ++i) {
    seed = seed * 1664525u + 1013904223u;
    pixels[i] = 0xff000000u | (seed >> 8);
  }
}

TEST_F(EffectsShimmerTest, AreasTakeTheFirstFreeOf40WithTheirAmplitudeClamped) {
  AddShimmerArea(fx(), 1, 2, 3, 4, 5, 6, 0, 1);
  AddShimmerArea(fx(), 1, 2, 3, 4, 5, 6, 20, 1);
  const ShimmerArea& a = fx().shimmer[0];
  EXPECT_NE(a.active, 0);
  EXPECT_EQ(a.x2, 3);
  EXPECT_EQ(a.max, 6);
  EXPECT_EQ(a.amplitude, 1);
  EXPECT_EQ(a.phase, 0);
  EXPECT_EQ(a.speed, -100);
  EXPECT_EQ(a.extra, 1);
  EXPECT_EQ(fx().shimmer[1].amplitude, 8);
  for (int32_t i = 2; i < kShimmerPool; ++i) AddShimmerArea(fx(), i, 0, 0, 0, 0, 0, 4, 0);
  AddShimmerArea(fx(), 999, 0, 0, 0, 0, 0, 4, 0);
  for (const ShimmerArea& s : fx().shimmer) EXPECT_NE(s.x1, 999);
  ClearShimmerAreas(fx());
  AddShimmerArea(fx(), 777, 0, 0, 0, 0, 0, 4, 0);
  EXPECT_EQ(fx().shimmer[0].x1, 777);
}

TEST_F(EffectsShimmerTest, OscillatorsTurnBackAndStopPast1700) {
  int32_t v = 0;
  int32_t s = -100;
  StepOscillator(v, s);
  EXPECT_EQ(v, -100);
  EXPECT_EQ(s, -97);
  v = 1690;
  s = 20;
  StepOscillator(v, s);
  EXPECT_EQ(v, 1710);
  EXPECT_EQ(s, -3);
  v = 0;
  s = 0;
  StepOscillator(v, s);
  EXPECT_EQ(s, 3);
  // An area's own oscillator steps max(1, time step / 32) times a frame.
  AddShimmerArea(fx(), 0, 0, 10, 10, 0, 800, 4, 1);
  gfx().timeStep = 29;
  UpdateShimmerAreas(fx(), gfx());
  EXPECT_EQ(fx().shimmer[0].phase, -100);
  gfx().timeStep = 100;
  UpdateShimmerAreas(fx(), gfx());
  EXPECT_EQ(fx().shimmer[0].phase, -100 - 97 - 94 - 91);
}

TEST_F(EffectsShimmerTest, TheRippleStaysNearItsAreaAndSkipsPixelsOutOfRange) {
  Noise(screen(), kW * kH);
  const auto before = Snapshot();
  AddShimmerArea(fx(), 100, 100, 300, 200, 0, 800, 8, 1);
  // Let the area's oscillator swing far enough for visible shifts.
  for (int32_t i = 0; i < 30; ++i) UpdateShimmerAreas(fx(), gfx());
  std::copy(before.begin(), before.end(), screen());
  UpdateShimmerAreas(fx(), gfx());
  int32_t inside = 0;
  for (int32_t y = 0; y < kH; ++y) {
    for (int32_t x = 0; x < kW; ++x) {
      if (At(x, y) == before[y * kW + x]) continue;
      // Columns x1 + 7 .. x2 - 8, moved by at most 6 either way.
      ASSERT_TRUE(y >= 100 && y <= 200 && x >= 101 && x <= 298) << x << "," << y;
      ++inside;
    }
  }
  EXPECT_GT(inside, 1000);
  // A range no pixel falls in leaves everything alone.
  ClearShimmerAreas(fx());
  AddShimmerArea(fx(), 100, 100, 300, 200, 900, 1000, 8, 1);
  for (int32_t i = 0; i < 30; ++i) UpdateShimmerAreas(fx(), gfx());
  std::copy(before.begin(), before.end(), screen());
  UpdateShimmerAreas(fx(), gfx());
  EXPECT_EQ(Changed(before), 0);
}

TEST_F(EffectsShimmerTest, FastRipplesMatchThePlainOnes) {
  uint32_t seed = 5;
  const auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
  std::vector<uint32_t> copy(kW);
  // Every level takes the wave table and the lanes: AVX2 by hand, below it
  // the plain loops the compiler vectorises.
  constexpr cpu::KernelLevel kLevels[] = {cpu::KernelLevel::kPlain, cpu::KernelLevel::kSse2,
                                          cpu::KernelLevel::kAvx2};
  for (int32_t round = 0; round < 600; ++round) {
    cpu::ForceKernelLevel(kLevels[round % 3]);
    fx_kernels::RippleRow row;
    row.width = kW;
    row.left = 7 + static_cast<int32_t>(next() % 500);
    row.right = std::min(kW - 8, row.left + static_cast<int32_t>(next() % 800) - 20);
    // Amplitudes 1 .. 8 against row values from the oscillator's whole swing.
    row.factor = (1 + next() % 8) * (static_cast<int64_t>(next() % 3601));
    // Factors past what 32-bit lanes can multiply (not reached by areas the
    // game makes) take the wide arithmetic.
    if (round % 7 == 6) row.factor = (int64_t{1} << 31) * (round % 2 == 0 ? 1 : -1) + round;
    if (round % 7 == 5) row.factor = (int64_t{1} << 31) / (1500 + round % 300) * (round % 2 == 0 ? 1 : -1);
    // Every brightness, a narrow band, or one that rules out the row's own
    // pixel while a neighbour 6 columns off still lets it ripple.
    const int32_t ranges[3][2] = {{0, 800}, {300, 420}, {-5, 40}};
    row.min = ranges[round % 3][0];
    row.max = ranges[round % 3][1];
    std::vector<uint32_t> fast(kW);
    for (uint32_t& v : fast) v = next() & (round % 3 == 2 ? 0xff0f0f0fu : 0xffffffffu);
    std::vector<uint32_t> plain = fast;
    fx_kernels::Ripple(row, fast.data(), copy.data());
    fx_kernels::RipplePlain(row, plain.data(), copy.data());
    ASSERT_EQ(fast, plain) << "round " << round;
  }
  cpu::ResetKernelLevel();
}

TEST_F(EffectsShimmerTest, WholeAreasRippleAlikeAtEveryKernelLevel) {
  Noise(screen(), kW * kH);
  const auto start = Snapshot();
  std::vector<uint32_t> results[2];
  for (const bool fast : {true, false}) {
    std::copy(start.begin(), start.end(), screen());
    ClearShimmerAreas(fx());
    AddShimmerArea(fx(), -20, -5, 900, 140, 0, 800, 8, 1);
    AddShimmerArea(fx(), 100, 300, 500, 620, 200, 500, 6, 1);
    AddShimmerArea(fx(), 790, 10, 820, 20, 0, 800, 3, 1);
    cpu::ForceKernelLevel(fast ? cpu::BestKernelLevel() : cpu::KernelLevel::kPlain);
    for (int32_t frame = 0; frame < 40; ++frame) UpdateShimmerAreas(fx(), gfx());
    cpu::ResetKernelLevel();
    results[fast ? 0 : 1] = Snapshot();
    EXPECT_GT(Changed(start), 10000);
    EXPECT_TRUE(GuardsIntact());
  }
  EXPECT_TRUE(results[0] == results[1]);
}

TEST_F(EffectsDriftTest, SpawnDrawsPositionHeightAndSwayForEachOf61) {
  RandomSource expected = engine.random;
  SpawnDrift(fx(), gfx(), 400, 2, 300, 800, 7);
  ASSERT_EQ(fx().driftCount, 61);
  for (int32_t i = 0; i < 61; ++i) {
    const DriftParticle& d = fx().drift[i];
    EXPECT_EQ(d.x, (400 * 1024 / 800 + Random(expected, -50, 50)) * 65536);
    EXPECT_EQ(d.y, Random(expected, 0, 768) * 65536);
    EXPECT_EQ(d.swaySpeed, Random(expected, -5, 5) * 65536);
    EXPECT_EQ(d.direction, i % 2 == 0 ? 8192 : -8192);
    EXPECT_EQ(d.swayOffset, d.direction);
    EXPECT_EQ(d.reach, 2);
    EXPECT_EQ(d.min, 300);
    EXPECT_EQ(d.max, 800);
    EXPECT_EQ(d.extra, 7);
  }
  EXPECT_EQ(DrawsBetween(expected, engine.random), 0);
}

TEST_F(EffectsDriftTest, ThePoolStopsAt1999AndAFullPoolDrawsNothing) {
  for (int32_t i = 0; i < 32; ++i) SpawnDrift(fx(), gfx(), 100, 1, 0, 0, 0);
  EXPECT_EQ(fx().driftCount, 32 * 61);
  const RandomSource before = engine.random;
  SpawnDrift(fx(), gfx(), 100, 1, 0, 0, 0);
  EXPECT_EQ(fx().driftCount, kDriftPool);
  EXPECT_EQ(DrawsBetween(before, engine.random), 3 * (kDriftPool - 32 * 61));
  const RandomSource full = engine.random;
  SpawnDrift(fx(), gfx(), 100, 1, 0, 0, 0);
  EXPECT_EQ(DrawsBetween(full, engine.random), 0);
  ResetDrift(fx());
  EXPECT_EQ(fx().driftCount, 0);
}

TEST_F(EffectsDriftTest, ParticlesRiseWrapAndSway) {
  fx().drift[0] = DriftParticle{100 << 16, 5000, 8192, 0, 8192, 1, 900, 900, 0};
  fx().driftCount = 1;
  UpdateDrift(fx(), gfx());
  const DriftParticle& d = fx().drift[0];
  EXPECT_EQ(d.y, 768 << 16);  // 5000 - 10240 < 0 wraps to the bottom
  EXPECT_EQ(d.swaySpeed, -4096);
  EXPECT_EQ(d.swayOffset, 8192 - 4096);
  gfx().timeStep = 64;  // two steps
  UpdateDrift(fx(), gfx());
  // The offset crosses zero in the first step, so the pull turns round.
  EXPECT_EQ(d.y, (768 << 16) - 2 * 10240);
  EXPECT_EQ(d.swaySpeed, -4096);
  EXPECT_EQ(d.swayOffset, -8192);
}

TEST_F(EffectsDriftTest, ParticlesOverBrightPixelsCollectOneLightEach) {
  Fill(Rgb(100, 100, 100));
  const int32_t s = gfx().sizeScale;
  // Screen (400, 300) is virtual (512, 384).
  fx().drift[0] = DriftParticle{512 << 16, (384 << 16) + 10240, 0, 0, 0, 2, 250, 400, 0};
  fx().drift[1] = DriftParticle{512 << 16, (384 << 16) + 10240, 0, 0, 0, 2, 500, 600, 0};  // range missed
  fx().driftCount = 2;
  RandomSource expected = engine.random;
  UpdateDrift(fx(), gfx());
  ASSERT_EQ(fx().driftLightCount, 1);
  const DriftLight& light = fx().driftLights[0];
  EXPECT_EQ(light.x, 400);
  EXPECT_EQ(light.y, 300);
  EXPECT_EQ(light.radius, (53 + Random(expected, -4, 4)) * s / 1024);
  // Four samples of 100 per channel: 2 · 400 - 80.
  EXPECT_EQ(light.red, 720 / (s / 2));
  EXPECT_EQ(DrawsBetween(expected, engine.random), 0);
  EXPECT_NE(At(400, 300), Rgb(100, 100, 100));
}

TEST_F(EffectsDriftTest, TheLightListHolds500) {
  Fill(Rgb(200, 200, 200));
  SpawnDrift(fx(), gfx(), 400, 1, 0, 800, 0);
  while (fx().driftCount < 600) SpawnDrift(fx(), gfx(), 400, 1, 0, 800, 0);
  const int32_t count = fx().driftCount;
  const RandomSource before = engine.random;
  UpdateDrift(fx(), gfx());
  EXPECT_GE(count, 600);
  EXPECT_EQ(fx().driftLightCount, kDriftLightPool);
  EXPECT_EQ(DrawsBetween(before, engine.random), kDriftLightPool);
  // A tiny size scale must not divide by zero.
  gfx().sizeScale = 1;
  UpdateDrift(fx(), gfx());
  EXPECT_TRUE(GuardsIntact());
}

}  // namespace
}  // namespace vxtest
