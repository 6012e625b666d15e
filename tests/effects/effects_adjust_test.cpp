// Tone curve and saturation of pictures in slots.
#include "effects/effects_test_fixture.h"
#include "gfx/image_slots.h"

namespace vxtest {
namespace {

class EffectsAdjustTest : public EffectsTest {
 protected:
  static constexpr int32_t kSlot = 300;
  void Picture(std::initializer_list<uint32_t> pixels) {
    CreatePicture(gfx(), kSlot, static_cast<int32_t>(pixels.size()), 1);
    std::copy(pixels.begin(), pixels.end(), gfx().slots[kSlot].pixels);
  }
  uint32_t Pixel(int32_t i) { return gfx().slots[kSlot].pixels[i]; }
};

TEST_F(EffectsAdjustTest, ToneCurveValuesPivotAndClamping) {
  Picture({0x12000000u | Rgb(100, 120, 0)});
  ToneCurve(fx(), gfx(), kSlot, 0, 0, 600);
  EXPECT_EQ(Pixel(0), 0x12000000u | Rgb(234, 255, 0));
  EXPECT_EQ(fx().toneTable[256], 255);
  Picture({Rgb(10, 128, 250)});
  // Pivot 128, gain 128 halves distances from 128, offset 5; the table is
  // rebuilt even for a slot that holds nothing.
  ToneCurve(fx(), gfx(), kSlot, 128, 5, 128);
  EXPECT_EQ(Pixel(0), Rgb(((10 - 128) * 128 >> 8) + 133, 133, ((250 - 128) * 128 >> 8) + 133));
  // A pivot outside 0..255 acts as the nearest end.
  ToneCurve(fx(), gfx(), 1199, 300, 0, 128);
  EXPECT_EQ(fx().toneTable[0], (-255 * 128 >> 8) + 255);
  ToneCurve(fx(), gfx(), 1199, -40, 0, 128);
  EXPECT_EQ(fx().toneTable[200], 100);
  EXPECT_EQ(Pixel(0), Rgb(((10 - 128) * 128 >> 8) + 133, 133, ((250 - 128) * 128 >> 8) + 133));
}

TEST_F(EffectsAdjustTest, ToneCurveWithGain256AndNoOffsetChangesNothing) {
  std::vector<uint32_t> all;
  for (uint32_t v = 0; v < 256; ++v) all.push_back(v << 24 | v << 16 | (255 - v) << 8 | (v * 7 & 255));
  CreatePicture(gfx(), kSlot, 256, 1);
  std::copy(all.begin(), all.end(), gfx().slots[kSlot].pixels);
  ToneCurve(fx(), gfx(), kSlot, 77, 0, 256);
  EXPECT_TRUE(std::equal(all.begin(), all.end(), gfx().slots[kSlot].pixels));
}

TEST_F(EffectsAdjustTest, SaturationValues) {
  Picture({0x40000000u | Rgb(90, 60, 30), Rgb(200, 20, 10), Rgb(0, 0, 0), Rgb(255, 255, 255)});
  Saturation(fx(), gfx(), kSlot, 0);
  EXPECT_EQ(Pixel(0), 0x40000000u | Rgb(60, 60, 60));
  EXPECT_EQ(Pixel(1), Rgb(76, 76, 76));
  EXPECT_EQ(Pixel(3), Rgb(255, 255, 255));
  Picture({Rgb(200, 20, 10)});
  // s = 512: k = ((512 · 230 >> 8) - 230) / 3 = 76.
  Saturation(fx(), gfx(), kSlot, 512);
  EXPECT_EQ(Pixel(0), Rgb(255, 0, 0));
}

TEST_F(EffectsAdjustTest, Saturation256ChangesNothingAndFactorsAreClamped) {
  std::vector<uint32_t> all;
  uint32_t seed = 3;
  for (int32_t i = 0; i < 1000; ++i) all.push_back(seed = seed * 1664525u + 1013904223u);
  CreatePicture(gfx(), kSlot, 1000, 1);
  std::copy(all.begin(), all.end(), gfx().slots[kSlot].pixels);
  Saturation(fx(), gfx(), kSlot, 256);
  EXPECT_TRUE(std::equal(all.begin(), all.end(), gfx().slots[kSlot].pixels));
  // Beyond 8192 acts as 8192.
  CreatePicture(gfx(), kSlot + 1, 1000, 1);
  std::copy(all.begin(), all.end(), gfx().slots[kSlot + 1].pixels);
  Saturation(fx(), gfx(), kSlot, 8192);
  Saturation(fx(), gfx(), kSlot + 1, 100000);
  EXPECT_TRUE(
      std::equal(gfx().slots[kSlot].pixels, gfx().slots[kSlot].pixels + 1000, gfx().slots[kSlot + 1].pixels));
  // Slots that hold nothing, or numbers out of range, are left alone.
  Saturation(fx(), gfx(), 1199, 0);
  Saturation(fx(), gfx(), -1, 0);
  Saturation(fx(), gfx(), 1200, 0);
  ToneCurve(fx(), gfx(), 1200, 0, 0, 600);
}

}  // namespace
}  // namespace vxtest
