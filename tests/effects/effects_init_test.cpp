// Start-up of the effects system, and every effect at and past the screen's
// edges.
#include <cmath>

#include "effects/effects_test_fixture.h"
#include "gfx/image_slots.h"

namespace vxtest {
namespace {

using EffectsInitTest = EffectsTest;
using EffectsEdgesTest = EffectsTest;

TEST_F(EffectsInitTest, TablesHoldRootsAndFalloff) {
  EXPECT_EQ(fx().sqrtTable[0], 0);
  EXPECT_EQ(fx().sqrtTable[3], 1);
  EXPECT_EQ(fx().sqrtTable[4], 2);
  EXPECT_EQ(fx().sqrtTable[65024], 254);
  EXPECT_EQ(fx().sqrtTable[65025], 255);
  EXPECT_EQ(fx().sqrtTable[65535], 255);
  for (int32_t n = 0; n < 65536; n += 97) {
    ASSERT_EQ(fx().sqrtTable[n], static_cast<int32_t>(std::sqrt(static_cast<double>(n)))) << n;
  }
  EXPECT_EQ(fx().falloff[0], 0);
  EXPECT_EQ(fx().falloff[1], 0);
  EXPECT_EQ(fx().falloff[2], 1);
  EXPECT_EQ(fx().falloff[40], 57);
  EXPECT_EQ(fx().falloff[256], 1396);
}

TEST_F(EffectsInitTest, StartUpMakesTheMapsDraws1841NumbersAndClearsTheScreen) {
  for (int32_t slot = kLightMapFirstSlot; slot < kLightMapFirstSlot + kLightMapCount; ++slot) {
    EXPECT_EQ(gfx().slots[slot].state, kLoaded);
    EXPECT_EQ(PictureWidth(gfx(), slot), 368);
    EXPECT_EQ(PictureHeight(gfx(), slot), 93);
  }
  EXPECT_EQ(gfx().slots[kLightMapFirstSlot + kLightMapCount].state, 0);
  // Maps differ from frame to frame.
  const uint8_t* a = reinterpret_cast<const uint8_t*>(gfx().slots[1001].pixels);
  const uint8_t* b = reinterpret_cast<const uint8_t*>(gfx().slots[1002].pixels);
  EXPECT_FALSE(std::equal(a, a + 368 * 368, b));

  Fill(0x12345678u);
  fx().flashes[3].intensity = 500;
  fx().puffFrames = 9;
  const RandomSource before = engine.random;
  InitEffects(fx(), gfx());
  EXPECT_EQ(DrawsBetween(before, engine.random), kLightMapRandomEntries);
  EXPECT_EQ(At(0, 0), 0u);
  EXPECT_EQ(At(799, 599), 0u);
  EXPECT_EQ(fx().flashes[3].intensity, 0);
  EXPECT_EQ(fx().puffFrames, 1);
  EXPECT_EQ(fx().layerLife, 1);
}

// Positions at, on and past each edge and corner.
std::vector<std::pair<int32_t, int32_t>> EdgeSpots() {
  std::vector<std::pair<int32_t, int32_t>> spots;
  for (int32_t x : {-200, -20, -1, 0, 1, 400, 798, 799, 800, 820, 1000}) {
    for (int32_t y : {-200, -20, -1, 0, 1, 300, 598, 599, 600, 620, 800}) spots.emplace_back(x, y);
  }
  return spots;
}

TEST_F(EffectsEdgesTest, LightsNeverWriteOutsideTheScreen) {
  Fill(Rgb(200, 150, 100));
  for (const auto& [x, y] : EdgeSpots()) {
    AddRadialLight(fx(), gfx(), x, y, 176, 50, 50, 50);
    AddTexturedLight(fx(), gfx(), x, y, 176, 50, 50, 50, 3);
    TintDisc(fx(), gfx(), x, y, 176, 5, 5, 5, 0);
    TintDisc(fx(), gfx(), x, y, 176, 5, 5, 5, 1);
    AddEllipseLight(fx(), gfx(), x, y, 176, 50, 50, 50, 0);
    AddPixelGlow(fx(), gfx(), x - 40, y - 40, x + 40, y + 40, 0, 800, 100, 256, 256, 256, 1, 0);
  }
  AddPixelGlow(fx(), gfx(), INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, 700, 800, 100, 256, 256, 256, 1, 1);
  AddRadialLight(fx(), gfx(), INT32_MAX, INT32_MIN, 100, 50, 50, 50);
  EXPECT_TRUE(GuardsIntact());
}

TEST_F(EffectsEdgesTest, FlashRingsNeverWriteOutsideTheScreen) {
  Fill(Rgb(200, 150, 100));
  for (const auto& [x, y] : EdgeSpots()) {
    for (int32_t r : {1, 4, 17, 40, 79, 80}) DrawFlashRing(fx(), gfx(), x, y, r);
  }
  for (int32_t i = 0; i < 20; ++i) AddFlash(fx(), i * 40 - 30, i % 2 == 0 ? -30 : 630, 20400, 300);
  for (int32_t i = 0; i < 5; ++i) UpdateFlashes(fx(), gfx());
  DrawFlashRing(fx(), gfx(), INT32_MAX, INT32_MIN, 79);
  EXPECT_TRUE(GuardsIntact());
}

TEST_F(EffectsEdgesTest, PoolsOfEffectsNeverWriteOutsideTheScreen) {
  Fill(Rgb(200, 150, 100));
  CreatePicture(gfx(), 940, 15, 15);
  std::fill_n(gfx().slots[940].pixels, 15 * 15, Rgb(9, 9, 9));
  CreatePicture(gfx(), 880, 300, 200);
  std::fill_n(gfx().slots[880].pixels, 300 * 200, Rgb(1, 1, 1));
  ConfigureFog(fx(), 940, 1, 880, 1);
  for (const auto& [x, y] : EdgeSpots()) {
    SpawnFog(fx(), gfx(), x, y, 0, 20);
    SpawnFog(fx(), gfx(), x, y, 1, 0);
  }
  SpawnFog(fx(), gfx(), INT32_MIN, INT32_MAX, 0, INT32_MAX);
  for (int32_t i = 0; i < 3; ++i) {
    DrawFog(fx(), gfx(), 0);
    DrawFog(fx(), gfx(), 1);
    DrawFog(fx(), gfx(), 2);
    UpdateFog(fx(), gfx());
  }
  SpawnTwinkles(fx(), gfx(), -100, -100, 900, 700, 0, 800, 0, 100, 4000);
  for (int32_t i = 0; i < 3; ++i) UpdateTwinkles(fx(), gfx());
  AddShimmerArea(fx(), -100, -100, 900, 700, 0, 800, 8, 1);
  AddShimmerArea(fx(), INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, 0, 800, 8, 1);
  for (int32_t i = 0; i < 3; ++i) UpdateShimmerAreas(fx(), gfx());
  for (int32_t x : {-1000, 0, 800, 2000}) SpawnDrift(fx(), gfx(), x, 8, 0, 800, 0);
  for (int32_t i = 0; i < 3; ++i) UpdateDrift(fx(), gfx());
  EXPECT_TRUE(GuardsIntact());
}

TEST_F(EffectsEdgesTest, WithoutABackBufferNothingIsDrawnAndNothingBreaks) {
  gfx().backBuffer = nullptr;
  AddRadialLight(fx(), gfx(), 10, 10, 50, 10, 10, 10);
  AddTexturedLight(fx(), gfx(), 10, 10, 50, 10, 10, 10, 1);
  AddPixelGlow(fx(), gfx(), 0, 0, 100, 100, 0, 800, 10, 256, 256, 256, 0, 0);
  AddFlash(fx(), 10, 10, 5000, 100);
  UpdateFlashes(fx(), gfx());
  SpawnTwinkles(fx(), gfx(), 0, 0, 100, 100, 0, 800, 0, 100, 256);
  UpdateShimmerAreas(fx(), gfx());
  SpawnDrift(fx(), gfx(), 10, 1, 0, 800, 0);
  UpdateDrift(fx(), gfx());
  DrawFog(fx(), gfx(), 1);
  InitEffects(fx(), gfx());
  EXPECT_EQ(fx().driftLightCount, 0);
  EXPECT_TRUE(GuardsIntact());
}

}  // namespace
}  // namespace vxtest
