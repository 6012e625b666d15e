// Flash rings: the pool, their ageing, their random draws and their pixels.
#include "gfx/effects_ring_kernels.h"
#include "gfx/effects_test_fixture.h"

namespace vxtest {
namespace {

using EffectsFlashesTest = EffectsTest;

int32_t ActiveFlashes(const EffectsSystem& fx) {
  int32_t n = 0;
  for (const FlashRecord& f : fx.flashes) n += f.intensity >= 1 ? 1 : 0;
  return n;
}

TEST_F(EffectsFlashesTest, AddFlashTakesTheFirstFreeOf500WithClampedValues) {
  AddFlash(fx(), 10, 20, 30000, -5);
  EXPECT_EQ(fx().flashes[0].intensity, 20400);
  EXPECT_EQ(fx().flashes[0].x, 10);
  EXPECT_EQ(fx().flashes[0].y, 20);
  EXPECT_EQ(fx().flashes[0].decay, 1);
  AddFlash(fx(), 0, 0, 0, 100);  // below 1: nothing
  AddFlash(fx(), 0, 0, -50, 100);
  EXPECT_EQ(ActiveFlashes(fx()), 1);
  AddFlash(fx(), 30, 40, 1024, 512);
  EXPECT_EQ(fx().flashes[1].intensity, 1024);
  // A record freed by its ageing is the first to be taken again.
  fx().flashes[0].intensity = 0;
  AddFlash(fx(), 50, 60, 2560, 512);
  EXPECT_EQ(fx().flashes[0].x, 50);
  // The 501st simultaneous flash is dropped.
  ClearFlashes(fx());
  for (int32_t i = 0; i < kFlashPool; ++i) AddFlash(fx(), i, 7, 256 + i, 1);
  EXPECT_EQ(ActiveFlashes(fx()), kFlashPool);
  AddFlash(fx(), 999, 999, 5000, 1);
  for (const FlashRecord& f : fx().flashes) EXPECT_NE(f.x, 999);
  ClearFlashes(fx());
  EXPECT_EQ(ActiveFlashes(fx()), 0);
}

TEST_F(EffectsFlashesTest, AClampedFlashIsARadius79RingInTheFirstFrameAndThenShrinks) {
  Fill(Rgb(40, 40, 40));
  AddFlash(fx(), 400, 300, 50000, 1024);
  UpdateFlashes(fx(), gfx());
  // The disc of radius 79 bounds what the ring touches, and a ring that
  // large reaches well out into it.
  int32_t outside = 0;
  int32_t farInside = 0;
  for (int32_t y = 200; y < 400; ++y) {
    for (int32_t x = 300; x < 500; ++x) {
      const int32_t dd = (x - 400) * (x - 400) + (y - 300) * (y - 300);
      const bool changed = At(x, y) != Rgb(40, 40, 40);
      if (dd >= 79 * 79 && changed) ++outside;
      if (dd >= 60 * 60 && dd < 79 * 79 && changed) ++farInside;
    }
  }
  EXPECT_EQ(outside, 0);
  EXPECT_GT(farInside, 1000);
  EXPECT_EQ(fx().flashes[0].intensity, 20400 - 1024);
  // Intensity keeps falling by the decay until it is no longer positive.
  for (int32_t i = 0; i < 30; ++i) UpdateFlashes(fx(), gfx());
  EXPECT_EQ(fx().flashes[0].intensity, 20400 - 20 * 1024);
  UpdateFlashes(fx(), gfx());
  EXPECT_EQ(fx().flashes[0].intensity, 20400 - 20 * 1024);
}

TEST_F(EffectsFlashesTest, RingsOutsideOneTo80AreNotDrawnButStillAge) {
  Fill(Rgb(40, 40, 40));
  fx().flashes[0] = FlashRecord{81 * 256, 400, 300, 10};
  fx().flashes[1] = FlashRecord{255, 200, 200, 10};  // radius 0
  const auto before = Snapshot();
  const RandomSource start = engine.random;
  UpdateFlashes(fx(), gfx());
  EXPECT_EQ(Changed(before), 0);
  EXPECT_EQ(DrawsBetween(start, engine.random), 0);
  EXPECT_EQ(fx().flashes[0].intensity, 81 * 256 - 10);
  EXPECT_EQ(fx().flashes[1].intensity, 245);
}

TEST_F(EffectsFlashesTest, RingsAbove16Draw91RandomNumbersEach) {
  const RandomSource start = engine.random;
  AddFlash(fx(), 100, 100, 16 * 256 + 255, 1);  // radius 16: round
  UpdateFlashes(fx(), gfx());
  EXPECT_EQ(DrawsBetween(start, engine.random), 0);
  ClearFlashes(fx());
  const RandomSource next = engine.random;
  AddFlash(fx(), 100, 100, 17 * 256, 1);
  AddFlash(fx(), -500, -500, 40 * 256, 1);  // off screen: drawn all the same
  UpdateFlashes(fx(), gfx());
  EXPECT_EQ(DrawsBetween(next, engine.random), 2 * 91);
}

TEST_F(EffectsFlashesTest, ARingBrightensAndBendsThePictureInsideItsRim) {
  for (int32_t y = 0; y < kH; ++y) {
    for (int32_t x = 0; x < kW; ++x) At(x, y) = Rgb(x & 255, y & 255, (x * 7 + y * 13) & 127);
  }
  const auto before = Snapshot();
  DrawFlashRing(fx(), gfx(), 400, 300, 12);
  EXPECT_GT(Changed(before), 250);
  // A ring of 16 or less is round. Its centre lies 48 quarter pixels deep,
  // past its own light (which fades out by 3 + 12 / 3 pixels): it shows the
  // pixel 3 to the right and 1 below, brightened by (27 · 48 / 2 + 8100) / 8192.
  const uint32_t source = before[301 * kW + 403];
  const uint32_t f = (27 * 48 >> 1) + 8100;
  const auto lens = [&](int32_t shift) {
    return std::min<uint32_t>(255, ((source >> shift) & 0xffu) * f >> 13) << shift;
  };
  EXPECT_EQ(At(400, 300), (source & 0xff000000u) | lens(16) | lens(8) | lens(0));
  // Round: points at equal distance get the same light on a flat picture.
  Fill(Rgb(30, 30, 30));
  DrawFlashRing(fx(), gfx(), 400, 300, 12);
  EXPECT_EQ(At(390, 300), At(400, 290));
  EXPECT_EQ(At(390, 300), At(400, 310));
  // Pixels outside the disc are left alone.
  EXPECT_EQ(At(412, 300), Rgb(30, 30, 30));
  EXPECT_EQ(At(400, 312), Rgb(30, 30, 30));
}

TEST_F(EffectsFlashesTest, FastRingRowsMatchThePlainKernel) {
  uint32_t seed = 99;
  const auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
  std::vector<uint32_t> a(kW * kH);
  for (uint32_t& v : a) v = next();
  std::vector<uint32_t> b = a;
  int32_t grid[kRingGridSide * kRingGridSide];
  uint32_t glow[4 * kFlashMaxRadius + 1];
  for (int32_t round = 0; round < 40; ++round) {
    const int32_t radius = 1 + static_cast<int32_t>(next() % kFlashMaxRadius);
    for (int32_t& g : grid) g = 150 + static_cast<int32_t>(next() % 251);
    for (uint32_t& g : glow) g = next() & 0x00ffffffu;
    fx_kernels::RingRow ring;
    ring.grid = grid;
    ring.glow = glow;
    ring.radius = radius;
    ring.cx = static_cast<int32_t>(next() % 900) - 50;
    ring.cy = static_cast<int32_t>(next() % 700) - 50;
    for (int32_t dy = -(radius - 1); dy <= radius - 1; ++dy) {
      const int32_t row = ring.cy + dy;
      if (row < 0 || row >= kH) continue;
      const int32_t left = std::max(0, ring.cx - radius + 1);
      const int32_t right = std::min(kW - 1, ring.cx + radius - 1);
      if (left > right) continue;
      fx_kernels::FlashRingRow(ring, a.data(), kW, kH, row, left, right);
      fx_kernels::FlashRingRowPlain(ring, b.data(), kW, kH, row, left, right);
    }
    ASSERT_EQ(a, b) << "round " << round << " radius " << radius;
  }
}

}  // namespace
}  // namespace vxtest
