// Fog puffs and layers: the pool, spawning, motion, removal and composition.
#include <cmath>
#include <cstring>

#include "effects/effects_kernels.h"
#include "effects/effects_test_fixture.h"
#include "gfx/image_slots.h"
#include "platform/cpu_features.h"

namespace vxtest {
namespace {

class EffectsFogTest : public EffectsTest {
 protected:
  // A w x h picture of one colour in slot `slot`.
  void Picture(int32_t slot, int32_t w, int32_t h, uint32_t colour) {
    CreatePicture(gfx(), slot, w, h);
    std::fill_n(gfx().slots[slot].pixels, w * h, colour);
  }
  // A w x h 8-bit map of one value in slot `slot`.
  void Map(int32_t slot, int32_t w, int32_t h, uint8_t value) {
    CreatePicture(gfx(), slot, w, h);
    std::memset(gfx().slots[slot].pixels, value, static_cast<size_t>(w) * h);
  }

  // The 60 layer pictures (slots 880..939) of sizes up to 300 x 200, their
  // pixels noise but every byte 255 in every seventh; `each(p, pixels, w,
  // h)` may change each after it is filled.
  template <class Next, class Each>
  void NoiseLayerPictures(Next& next, Each each) {
    ConfigureFog(fx(), 940, 60, 880, 60);
    for (int32_t p = 0; p < 60; ++p) {
      const int32_t w = 1 + static_cast<int32_t>(next() % 300);
      const int32_t h = 1 + static_cast<int32_t>(next() % 200);
      CreatePicture(gfx(), 880 + p, w, h);
      uint32_t* pixels = gfx().slots[880 + p].pixels;
      for (int32_t i = 0; i < w * h; ++i) pixels[i] = p % 7 == 0 ? 0xffffffffu : next();
      each(p, pixels, w, h);
    }
  }

  // A screen of noise (returned as it was) under a full pool of layers at
  // random places, many past the screen's edges.
  template <class Next>
  std::vector<uint32_t> NoiseUnderLayers(Next& next) {
    std::vector<uint32_t> start(static_cast<size_t>(kW) * kH);
    for (uint32_t& v : start) v = next();
    std::copy(start.begin(), start.end(), gfx().backBuffer);
    fx().fogCount = 0;
    for (int32_t i = 0; i < kFogLayerPool; ++i) {
      const auto x = static_cast<int16_t>(static_cast<int32_t>(next() % 1000) - 200);
      const auto y = static_cast<int16_t>(static_cast<int32_t>(next() % 800) - 200);
      fx().fog[fx().fogCount++] = FogRecord{x, y, static_cast<int16_t>(next() % 180), kFogLayer};
    }
    return start;
  }

  // visit(screen index, layer picture, index in the picture) for every
  // pixel of every layer that lies on the screen.
  template <class Visit>
  void ForEachLayerPixelOnScreen(Visit visit) {
    for (int32_t i = 0; i < fx().fogCount; ++i) {
      const FogRecord& f = fx().fog[i];
      const ImageSlot& s = gfx().slots[880 + f.life / 3];
      for (int32_t r = 0; r < s.height; ++r) {
        for (int32_t c = 0; c < s.width; ++c) {
          const int32_t x = f.x + c;
          const int32_t y = f.y + r;
          if (x >= 0 && y >= 0 && x < kW && y < kH)
            visit(static_cast<size_t>(y * kW + x), s, r * s.width + c);
        }
      }
    }
  }
};

TEST_F(EffectsFogTest, APuffDrawsItsLifeFirstAndStoresHalfPixels) {
  ConfigureFog(fx(), 940, 60, 740, 60);
  RandomSource expected = engine.random;
  SpawnFog(fx(), gfx(), 100, -20, 0, 13);
  const int32_t life = (Random(expected, 0, 39) + 13) * gfx().sizeScale / 1024;
  ASSERT_EQ(fx().fogCount, 1);
  EXPECT_EQ(fx().fog[0].x, 200);
  EXPECT_EQ(fx().fog[0].y, -40);
  EXPECT_EQ(fx().fog[0].life, life);
  EXPECT_EQ(fx().fog[0].kind, kFogPuff);
  EXPECT_EQ(DrawsBetween(expected, engine.random), 0);
}

TEST_F(EffectsFogTest, ALayerIsCentredKeptInsideTheRightEdgeAndStartsAtRandom) {
  Picture(740, 200, 100, 0);
  ConfigureFog(fx(), 940, 60, 740, 60);
  RandomSource expected = engine.random;
  SpawnFog(fx(), gfx(), 300, 400, 1, 0);
  SpawnFog(fx(), gfx(), 780, 400, 1, 0);
  EXPECT_EQ(fx().fog[0].x, 200);
  EXPECT_EQ(fx().fog[0].y, 350);
  EXPECT_EQ(fx().fog[0].life, Random(expected, 0, 180));
  EXPECT_EQ(fx().fog[0].kind, kFogLayer);
  EXPECT_EQ(fx().fog[1].x, 800 - 12 - 200);
  EXPECT_EQ(fx().fog[1].life, Random(expected, 0, 180));
}

TEST_F(EffectsFogTest, TheFogPoolHolds10001RecordsAndDropsTheRestWithoutDrawing) {
  for (int32_t i = 0; i < kFogPool; ++i) SpawnFog(fx(), gfx(), i % 800, 100, 0, 5);
  EXPECT_EQ(fx().fogCount, kFogPool);
  const RandomSource full = engine.random;
  SpawnFog(fx(), gfx(), 1, 1, 0, 5);
  SpawnFog(fx(), gfx(), 1, 1, 1, 5);
  EXPECT_EQ(fx().fogCount, kFogPool);
  EXPECT_EQ(DrawsBetween(full, engine.random), 0);
  // Unknown kinds add nothing either.
  ResetFog(fx());
  SpawnFog(fx(), gfx(), 1, 1, 2, 5);
  SpawnFog(fx(), gfx(), 1, 1, -1, 5);
  EXPECT_EQ(fx().fogCount, 0);
}

TEST_F(EffectsFogTest, PuffsRiseOneDrawEachAndTheDeadAreReplacedByTheLast) {
  ConfigureFog(fx(), 940, 60, 740, 60);
  fx().fog[0] = FogRecord{400, 600, 5, kFogPuff};
  fx().fog[1] = FogRecord{300, 500, 0, kFogPuff};  // dies this pass
  fx().fog[2] = FogRecord{200, 400, 7, kFogPuff};
  fx().fog[3] = FogRecord{100, 300, 9, kFogPuff};  // moves into slot 1
  fx().fogCount = 4;
  const RandomSource start = engine.random;
  UpdateFog(fx(), gfx());
  EXPECT_EQ(fx().fogCount, 3);
  // Three puffs moved: the one that took the dead one's place waits.
  EXPECT_EQ(DrawsBetween(start, engine.random), 3);
  EXPECT_EQ(fx().fog[1].x, 100);
  EXPECT_EQ(fx().fog[1].y, 300);
  EXPECT_EQ(fx().fog[1].life, 9);
  EXPECT_EQ(fx().fog[0].life, 4);
  EXPECT_EQ(fx().fog[2].life, 6);
  EXPECT_LT(fx().fog[0].y, 600);  // rising
  EXPECT_LT(fx().fog[2].y, 400);
  // The next pass moves it as usual.
  UpdateFog(fx(), gfx());
  EXPECT_EQ(fx().fog[1].life, 8);
  EXPECT_LT(fx().fog[1].y, 300);
  // A dying last record is simply dropped.
  fx().fog[0] = FogRecord{10, 10, 3, kFogPuff};
  fx().fog[1] = FogRecord{20, 20, 0, kFogPuff};
  fx().fogCount = 2;
  UpdateFog(fx(), gfx());
  EXPECT_EQ(fx().fogCount, 1);
  EXPECT_EQ(fx().fog[0].life, 2);
}

TEST_F(EffectsFogTest, PuffMotionFollowsTheWavesInSinglePrecision) {
  gfx().sizeScale = 1024;
  fx().fog[0] = FogRecord{0, 0, 10, kFogPuff};
  fx().fogCount = 1;
  RandomSource expected = engine.random;
  UpdateFog(fx(), gfx());
  // At (0, 0): w3 = sin(0) + 1 = 1; the others from the distances to
  // (800, 1200) and (0, 1200).
  const float b = 1024 * 0.4f / 1024;
  const float a = 1024 * 0.6f / 1024;
  const float w1 = std::sin(std::sqrt(800.0f * 800.0f + 1200.0f * 1200.0f) / 10.0f) + 1.0f;
  const float w2 = std::sin(1200.0f / 10.0f) + 1.0f;
  const float w3 = 1.0f;
  const int32_t jitter = (Random(expected, -40, 40) * 800) >> 13;
  EXPECT_EQ(fx().fog[0].x, std::nearbyint(2.0f * w1 * b - b * w2 + b * w3 - 0.3f * b + jitter));
  EXPECT_EQ(fx().fog[0].y, std::nearbyint(-a * (w1 + w2 + w3) - 1.0f));
  EXPECT_EQ(fx().fog[0].life, 9);
}

TEST_F(EffectsFogTest, LayersPlayTheirPicturesAndRestartAtRandomAtTheEnd) {
  ConfigureFog(fx(), 940, 60, 880, 60);
  gfx().timeStep = 100;  // three steps a frame
  fx().fog[0] = FogRecord{0, 0, 170, kFogLayer};
  fx().fog[1] = FogRecord{0, 0, 179, kFogLayer};
  fx().fogCount = 2;
  RandomSource expected = engine.random;
  UpdateFog(fx(), gfx());
  EXPECT_EQ(fx().fog[0].life, 173);
  // The finished layer restarts only when three draws pass 80, 80 and 40;
  // a failing draw ends the test of that step.
  int32_t life = 179;
  for (int32_t step = 0; step < 3; ++step) {
    if (life < 179) {
      ++life;
    } else if (Random(expected, 0, 100) > 80 && Random(expected, 0, 100) > 80 &&
               Random(expected, 0, 100) > 40) {
      life = 0;
    }
  }
  EXPECT_EQ(fx().fog[1].life, life);
  EXPECT_EQ(DrawsBetween(expected, engine.random), 0);
}

TEST_F(EffectsFogTest, ModeZeroDrawsEachPuffAdditivelyCentredOnHalfItsPosition) {
  Fill(Rgb(250, 10, 10));
  ConfigureFog(fx(), 940, 3, 740, 60);
  Picture(940, 5, 5, Rgb(1, 1, 1));
  Picture(941, 5, 5, Rgb(20, 20, 20));
  Picture(942, 5, 5, Rgb(3, 3, 3));
  fx().fog[0] = FogRecord{200, 100, 7, kFogPuff};  // 7 mod 3 = 1: picture 941 at (98, 48)
  fx().fogCount = 1;
  DrawFog(fx(), gfx(), 0);
  EXPECT_EQ(At(98, 48), 0xff000000u | Rgb(255, 30, 30));
  EXPECT_EQ(At(102, 52), 0xff000000u | Rgb(255, 30, 30));
  EXPECT_EQ(At(97, 48), Rgb(250, 10, 10));
  EXPECT_EQ(At(103, 52), Rgb(250, 10, 10));
  EXPECT_EQ(gfx().additive, 0);  // the draw mode is reset
  EXPECT_EQ(gfx().opacity, 255);
}

TEST_F(EffectsFogTest, ModeOneAddsPackedSumsWithCarriesBetweenChannels) {
  Fill(0xff000000u | Rgb(250, 250, 10));
  ConfigureFog(fx(), 940, 60, 880, 60);
  Picture(880, 20, 10, 0x80000000u | Rgb(3, 3, 200));  // alpha is not added
  Picture(881, 20, 10, 0x80000000u | Rgb(3, 3, 100));
  fx().fog[0] = FogRecord{100, 100, 0, kFogLayer};  // picture 880 over (100..119, 100..109)
  fx().fog[1] = FogRecord{110, 105, 3, kFogLayer};  // picture 881 over (110..129, 105..114)
  fx().fogCount = 2;
  DrawFog(fx(), gfx(), 1);
  // One layer: blue 10 + 200.
  EXPECT_EQ(At(100, 100), 0xff000000u | Rgb(253, 253, 210));
  // Two layers: blue 10 + 300 = 310 carries one into green, green's 256
  // carries into red, red's 256 into alpha (which wraps to 0).
  EXPECT_EQ(At(115, 107), 0x00010136u);
  EXPECT_EQ(At(99, 100), 0xff000000u | Rgb(250, 250, 10));
  EXPECT_EQ(At(125, 112), 0xff000000u | Rgb(253, 253, 110));
}

TEST_F(EffectsFogTest, ModeTwoAddsHalfTheMapSumsClamped) {
  Fill(0x7f000000u | Rgb(10, 200, 250));
  ConfigureFog(fx(), 940, 60, 740, 60);
  Map(740, 10, 10, 31);
  Map(741, 10, 10, 100);
  fx().fog[0] = FogRecord{0, 0, 0, kFogLayer};
  fx().fog[1] = FogRecord{5, 5, 5, kFogLayer};
  fx().fogCount = 2;
  DrawFog(fx(), gfx(), 2);
  EXPECT_EQ(At(0, 0), 0x7f000000u | Rgb(10 + 15, 200 + 15, 255));
  // (31 + 100) / 2 = 65, clamped per byte.
  EXPECT_EQ(At(7, 7), 0x7f000000u | Rgb(75, 255, 255));
  EXPECT_EQ(At(12, 12), 0x7f000000u | Rgb(60, 250, 255));
  EXPECT_EQ(At(15, 15), 0x7f000000u | Rgb(10, 200, 250));
}

TEST_F(EffectsFogTest, ALayerAtTheEndOfItsLifeShowsTheLastPicture) {
  Fill(0xff000000u);
  ConfigureFog(fx(), 940, 60, 740, 60);
  Map(740 + 59, 4, 4, 40);
  Map(740 + 60, 4, 4, 200);  // not one of the layer's pictures
  fx().fog[0] = FogRecord{0, 0, 180, kFogLayer};
  fx().fogCount = 1;
  DrawFog(fx(), gfx(), 2);
  EXPECT_EQ(At(0, 0), Rgb(20, 20, 20));
}

TEST_F(EffectsFogTest, TheLayerListTakes251Layers) {
  Fill(0xff000000u);
  ConfigureFog(fx(), 940, 60, 740, 1);
  Map(740, 2, 2, 2);
  for (int32_t i = 0; i < 300; ++i) fx().fog[i] = FogRecord{0, 0, 0, kFogLayer};
  fx().fogCount = 300;
  DrawFog(fx(), gfx(), 2);
  EXPECT_EQ(fx().layerCount, kFogLayerPool);
  EXPECT_EQ(At(0, 0), Rgb(251, 251, 251));
  // Empty slots are not registered.
  ResetFogLayers(fx());
  RegisterFogLayer(fx(), gfx(), 1199, 0, 0);
  RegisterFogLayer(fx(), gfx(), -4, 0, 0);
  EXPECT_EQ(fx().layerCount, 0);
}

TEST_F(EffectsFogTest, FastLayerKernelsMatchThePlainOnes) {
  uint32_t seed = 5;
  const auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
  constexpr cpu::KernelLevel kLevels[] = {cpu::KernelLevel::kPlain, cpu::KernelLevel::kSse2,
                                          cpu::KernelLevel::kAvx2, cpu::KernelLevel::kAvx512};
  // Widths around the vector steps first, then any; sums on both sides of
  // the byte's limit (510).
  for (int32_t round = 0; round < 120; ++round) {
    cpu::ForceKernelLevel(kLevels[round % 4]);
    const int32_t count = round < 40 ? 1 + round : 1 + static_cast<int32_t>(next() % 800);
    std::vector<uint32_t> layer(count);
    for (uint32_t& v : layer) v = next();
    std::vector<uint16_t> s1(count);
    for (uint16_t& v : s1) v = static_cast<uint16_t>(next() % (round % 2 == 0 ? 600 : 60000));
    std::vector<uint16_t> s2 = s1;
    fx_kernels::SumLayerRow8(s1.data(), reinterpret_cast<const uint8_t*>(layer.data()), count);
    fx_kernels::SumLayerRow8Plain(s2.data(), reinterpret_cast<const uint8_t*>(layer.data()), count);
    ASSERT_EQ(s1, s2);
    std::vector<uint32_t> l1(count);
    for (uint32_t& v : l1) v = next();
    std::vector<uint32_t> l2 = l1;
    fx_kernels::AddLayerRow32(l1.data(), layer.data(), count);
    fx_kernels::AddLayerRow32Plain(l2.data(), layer.data(), count);
    ASSERT_EQ(l1, l2);
    fx_kernels::ApplyLayerSums8(l1.data(), s1.data(), count);
    fx_kernels::ApplyLayerSums8Plain(l2.data(), s2.data(), count);
    ASSERT_EQ(l1, l2) << "level " << static_cast<int32_t>(kLevels[round % 4]) << " count " << count;
  }
  cpu::ResetKernelLevel();
}

// Mode 1 is defined by separate blue, green and red sums over the covering
// layers, packed and added once. The composition adds layer by layer; over
// 251 overlapping layers of noise, at every screen edge and with the fast
// and the plain kernels, the two must agree on every pixel.
TEST_F(EffectsFogTest, ModeOneMatchesThePackedChannelSumsOverManyLayers) {
  uint32_t seed = 11;
  const auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
  // Some pictures saturate every byte, so the sums carry at their largest;
  // some have black margins of their own width in every row, with
  // transparent but coloured pixels inside, and their row spans known.
  NoiseLayerPictures(next, [&](int32_t p, uint32_t* pixels, int32_t w, int32_t h) {
    if (p % 3 != 1) return;
    for (int32_t r = 0; r < h; ++r) {
      const int32_t a = static_cast<int32_t>(next() % (w + 1));
      const int32_t b = static_cast<int32_t>(next() % (w + 1));
      for (int32_t c = 0; c < w; ++c) {
        if (c < std::min(a, b) || c >= std::max(a, b)) pixels[r * w + c] &= 0xff000000u;
        if (c == (a + b) / 2) pixels[r * w + c] &= 0x00ffffffu;
      }
    }
    ComputeRowSpans(gfx(), 880 + p);
  });
  for (const bool fast : {true, false}) {
    const std::vector<uint32_t> start = NoiseUnderLayers(next);
    cpu::ForceKernelLevel(fast ? cpu::BestKernelLevel() : cpu::KernelLevel::kPlain);
    DrawFog(fx(), gfx(), 1);
    cpu::ResetKernelLevel();

    std::vector<uint32_t> sums(3 * start.size(), 0);
    ForEachLayerPixelOnScreen([&](size_t at, const ImageSlot& s, int32_t i) {
      for (int32_t ch = 0; ch < 3; ++ch)
        sums[3 * at + static_cast<size_t>(ch)] += (s.pixels[i] >> (8 * ch)) & 0xffu;
    });
    int32_t wrong = 0;
    for (size_t i = 0; i < start.size(); ++i) {
      const uint32_t expected = start[i] + sums[3 * i] + (sums[3 * i + 1] << 8) + (sums[3 * i + 2] << 16);
      wrong += gfx().backBuffer[i] != expected ? 1 : 0;
    }
    EXPECT_EQ(wrong, 0) << (fast ? "fast" : "plain") << " kernels";
    EXPECT_TRUE(GuardsIntact());
  }
}

// Mode 2 sums the map bytes of every covering layer per pixel, however the
// composition groups the layers: over 251 layers of noise overlapping in
// every way (apart, nested, crossing, past each screen edge), at the best
// kernel level and the plain one, every pixel gains half its sum, clamped.
TEST_F(EffectsFogTest, ModeTwoMatchesTheMapSumsOverManyLayers) {
  uint32_t seed = 23;
  const auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
  NoiseLayerPictures(next, [](int32_t, uint32_t*, int32_t, int32_t) {});
  for (const bool fast : {true, false}) {
    const std::vector<uint32_t> start = NoiseUnderLayers(next);
    cpu::ForceKernelLevel(fast ? cpu::BestKernelLevel() : cpu::KernelLevel::kPlain);
    DrawFog(fx(), gfx(), 2);
    cpu::ResetKernelLevel();

    // The map is the picture's memory read as bytes, a row of width bytes
    // per screen row.
    std::vector<uint32_t> sums(start.size(), 0);
    ForEachLayerPixelOnScreen([&](size_t at, const ImageSlot& s, int32_t i) {
      sums[at] += reinterpret_cast<const uint8_t*>(s.pixels)[i];
    });
    int32_t wrong = 0;
    for (size_t i = 0; i < start.size(); ++i) {
      const uint32_t half = std::min<uint32_t>(255, sums[i] / 2);
      uint32_t expected = start[i] & 0xff000000u;
      for (int32_t ch = 0; ch < 3; ++ch)
        expected |= std::min<uint32_t>(255, ((start[i] >> (8 * ch)) & 0xffu) + half) << (8 * ch);
      wrong += gfx().backBuffer[i] != expected ? 1 : 0;
    }
    EXPECT_EQ(wrong, 0) << (fast ? "fast" : "plain") << " kernels";
    EXPECT_TRUE(GuardsIntact());
  }
}

}  // namespace
}  // namespace vxtest
