// Radial, textured, tinted, elliptical lights and the pixel glow.
#include <climits>
#include <cmath>
#include <iterator>

#include "effects/effects_kernels.h"
#include "effects/effects_test_fixture.h"
#include "gfx/image_slots.h"
#include "platform/cpu_features.h"

namespace vxtest {
namespace {

using EffectsLightsTest = EffectsTest;

uint32_t BlueByte(uint32_t p) { return p & 0xffu; }
uint32_t GreenByte(uint32_t p) { return (p >> 8) & 0xffu; }
uint32_t RedByte(uint32_t p) { return (p >> 16) & 0xffu; }

// Every level a kernel may take; forcing one above the processor's best runs the best.
constexpr cpu::KernelLevel kEveryLevel[] = {cpu::KernelLevel::kPlain, cpu::KernelLevel::kSse2,
                                            cpu::KernelLevel::kAvx2, cpu::KernelLevel::kAvx512};

TEST_F(EffectsLightsTest, RadialLightAddsByDepthClampsAndStopsTwoPixelsInside) {
  Fill(Rgb(10, 10, 10));
  AddRadialLight(fx(), gfx(), 400, 300, 20, 64, 32, -32);
  // Centre: k = 20, so red + (64 · 20 >> 5), green + 20, blue - 20.
  EXPECT_EQ(At(400, 300), Rgb(50, 30, 0));
  // Three pixels right: d = 3, k = 17; the blue amount floors (-17.0 -> -17).
  EXPECT_EQ(At(403, 300), Rgb(10 + 34, 10 + 17, 0));
  // Rows run from y - r + 2 to y + r - 2.
  EXPECT_NE(At(400, 282), Rgb(10, 10, 10));
  EXPECT_EQ(At(400, 281), Rgb(10, 10, 10));
  EXPECT_NE(At(400, 318), Rgb(10, 10, 10));
  EXPECT_EQ(At(400, 319), Rgb(10, 10, 10));
  // Half-width of the centre row: sqrt(18² + 1) = 18.
  EXPECT_NE(At(418, 300), Rgb(10, 10, 10));
  EXPECT_EQ(At(419, 300), Rgb(10, 10, 10));
  // Clamped per byte, alpha kept.
  Fill(0x7f000000u | Rgb(250, 5, 128));
  AddRadialLight(fx(), gfx(), 100, 100, 30, 1000, -1000, 1);
  EXPECT_EQ(At(100, 100), 0x7f000000u | Rgb(255, 0, 128));
  // Huge amounts saturate like big ones, without overflowing.
  AddRadialLight(fx(), gfx(), 100, 100, 30, INT32_MAX, INT32_MIN, INT32_MAX);
  EXPECT_EQ(At(100, 100), 0x7f000000u | Rgb(255, 0, 255));
}

TEST_F(EffectsLightsTest, LightsRefuseRadiiPastTheSquareRootTable) {
  Fill(0);
  const auto before = Snapshot();
  AddRadialLight(fx(), gfx(), 400, 300, 200, 100, 100, 100);
  AddRadialLight(fx(), gfx(), 400, 300, 177, 100, 100, 100);
  AddTexturedLight(fx(), gfx(), 400, 300, 177, 100, 100, 100, 0);
  TintDisc(fx(), gfx(), 400, 300, 177, 100, 100, 100, 0);
  AddEllipseLight(fx(), gfx(), 400, 300, 177, 100, 100, 100, 0);
  EXPECT_EQ(Changed(before), 0);
  // 176 is the largest radius that still draws: (2 · 176 + 10) · 181 = 65522.
  AddRadialLight(fx(), gfx(), 400, 300, 176, 100, 100, 100);
  EXPECT_GT(Changed(before), 90000);
  EXPECT_EQ(At(400, 300 - 174), 0x00060606u);
  EXPECT_EQ(At(400, 300 - 175), 0u);
}

TEST_F(EffectsLightsTest, TexturedLightUsesFalloffAndItsMap) {
  Fill(0);
  const uint8_t* map = reinterpret_cast<const uint8_t*>(gfx().slots[kLightMapFirstSlot + 5].pixels);
  ASSERT_NE(map, nullptr);
  AddTexturedLight(fx(), gfx(), 300, 200, 40, 32, 0, 0, 5);
  // The centre: strength = falloff[40] = 57, raised by the map's centre byte.
  const int32_t m = map[kLightMapCentre * kLightMapSide + kLightMapCentre];
  const int32_t strength = 57 + 57 * m / 128;
  EXPECT_EQ(static_cast<int32_t>(RedByte(At(300, 200))), std::min(255, 32 * strength >> 5));
  // A pixel off the centre samples the map at its own offset.
  const int32_t dx = 7;
  const int32_t dy = -4;
  const int32_t d = static_cast<int32_t>(std::sqrt(double(dx * dx + dy * dy)));
  const int32_t falloff = fx().falloff[40 - d];
  const int32_t m2 = map[(kLightMapCentre + dy) * kLightMapSide + kLightMapCentre + dx];
  EXPECT_EQ(static_cast<int32_t>(RedByte(At(300 + dx, 200 + dy))),
            std::min(255, 32 * (falloff + falloff * m2 / 128) >> 5));
}

TEST_F(EffectsLightsTest, TexturedLightFramesOutsideTheMapsUseMapZero) {
  Fill(0);
  AddTexturedLight(fx(), gfx(), 300, 200, 30, 20, 20, 20, 0);
  const auto frameZero = Snapshot();
  for (int32_t frame : {31, 1000, -1, INT32_MIN}) {
    Fill(0);
    AddTexturedLight(fx(), gfx(), 300, 200, 30, 20, 20, 20, frame);
    EXPECT_EQ(Changed(frameZero), 0) << frame;
  }
  Fill(0);
  AddTexturedLight(fx(), gfx(), 300, 200, 30, 20, 20, 20, 30);
  EXPECT_GT(Changed(frameZero), 0);
}

TEST_F(EffectsLightsTest, TintDiscClampsOrCarriesAsAsked) {
  // Nothing without a positive amount.
  Fill(Rgb(100, 100, 100));
  TintDisc(fx(), gfx(), 50, 50, 10, 0, 0, 0, 0);
  TintDisc(fx(), gfx(), 50, 50, 10, -5, -5, 0, 1);
  EXPECT_EQ(At(50, 50), Rgb(100, 100, 100));
  Fill(Rgb(250, 10, 254));
  TintDisc(fx(), gfx(), 50, 50, 5, 10, 10, 10, 0);
  EXPECT_EQ(At(50, 50), Rgb(255, 20, 255));
  // Rows y - r + 1 .. y + r - 1, half-width sqrt((r - 1)² - dy² + 1).
  EXPECT_EQ(At(50, 46), Rgb(255, 20, 255));
  EXPECT_EQ(At(50, 45), Rgb(250, 10, 254));
  EXPECT_EQ(At(54, 50), Rgb(255, 20, 255));
  EXPECT_EQ(At(55, 50), Rgb(250, 10, 254));
  // The packed add: blue 254 + 10 carries into green, red into alpha.
  TintDisc(fx(), gfx(), 200, 200, 5, 10, 10, 10, 1);
  EXPECT_EQ(At(200, 200), 0x00041508u);
}

TEST_F(EffectsLightsTest, EllipseLightFadesToItsRimAndReachesTwoThirdsUpwards) {
  Fill(0);
  AddEllipseLight(fx(), gfx(), 400, 300, 30, 20, 20, 20, 0);
  // Peak: amount · r / 8 for red, green and blue (their radii 30, 26, 22).
  EXPECT_EQ(RedByte(At(400, 300)), 20u * 30 / 8);
  EXPECT_EQ(GreenByte(At(400, 300)), 20u * 26 / 8);
  EXPECT_EQ(BlueByte(At(400, 300)), 20u * 22 / 8);
  // Symmetric and weaker outwards; red reaches further than blue.
  EXPECT_EQ(At(390, 300), At(410, 300));
  EXPECT_EQ(At(400, 290), At(400, 310));
  EXPECT_LT(RedByte(At(410, 300)), RedByte(At(405, 300)));
  EXPECT_GT(RedByte(At(425, 300)), 0u);
  EXPECT_EQ(BlueByte(At(425, 300)), 0u);
  // The edge: a strong light still reaches column 29 and row 19 (9 · 19² <
  // 4 · 30²), never column 30 or row 20.
  Fill(0);
  AddEllipseLight(fx(), gfx(), 400, 300, 30, 4000, 0, 0, 0);
  EXPECT_NE(At(429, 300), 0u);
  EXPECT_EQ(At(430, 300), 0u);
  EXPECT_NE(At(400, 319), 0u);
  EXPECT_EQ(At(400, 320), 0u);
  EXPECT_EQ(At(400, 280), 0u);
}

TEST_F(EffectsLightsTest, EllipseLightModesAndDarkening) {
  Fill(Rgb(200, 100, 100));
  AddEllipseLight(fx(), gfx(), 100, 100, 16, 40, 40, 0, 0);
  const uint32_t added = At(100, 100);
  Fill(Rgb(200, 100, 100));
  AddEllipseLight(fx(), gfx(), 100, 100, 16, 40, 40, 0, 1);
  // The soft mode adds less to the brighter byte.
  EXPECT_LT(RedByte(At(100, 100)) - 200, RedByte(added) - 200);
  EXPECT_EQ(RedByte(At(100, 100)), 200u + ((80u * 55) >> 8));
  Fill(Rgb(200, 100, 100));
  AddEllipseLight(fx(), gfx(), 100, 100, 16, -100, 0, 0, 1);
  EXPECT_EQ(RedByte(At(100, 100)), 0u);
}

TEST_F(EffectsLightsTest, PixelGlowLightsOnlyStrongPixelsInRange) {
  Fill(0);
  At(100, 100) = Rgb(200, 200, 50);   // b + g + r = 450, strong enough
  At(102, 100) = Rgb(250, 250, 250);  // strong, but past the range
  At(104, 100) = Rgb(50, 50, 50);     // in the range, too weak to reach 1024
  AddPixelGlow(fx(), gfx(), 90, 90, 110, 110, 100, 500, 40, 256, 256, 256, 0, 0);
  ASSERT_EQ(fx().glowPointCount, 1);
  const GlowPoint& p = fx().glowPoints[0];
  EXPECT_EQ(p.x, 100);
  EXPECT_EQ(p.y, 100);
  EXPECT_EQ(p.red, (3 * 40 * 200 / 16 + 1) / 256);
  EXPECT_EQ(p.blue, (3 * 40 * 50 / 16 + 1) / 256);
  EXPECT_GT(RedByte(At(100, 100)), 200u);
  // Sparse sampling doubles k and takes every second row and column from
  // the clipped corner.
  Fill(0);
  At(101, 100) = Rgb(200, 200, 200);
  At(102, 100) = Rgb(200, 200, 200);
  AddPixelGlow(fx(), gfx(), 100, 100, 110, 110, 0, 700, 40, 256, 256, 256, 1, 0);
  ASSERT_EQ(fx().glowPointCount, 1);
  EXPECT_EQ(fx().glowPoints[0].x, 102);
  EXPECT_EQ(fx().glowPoints[0].red, (3 * 80 * 200 / 16 + 1) / 256);
}

TEST_F(EffectsLightsTest, PixelGlowKeepsTheAmountsWithinASignedByte) {
  Fill(Rgb(255, 255, 255));
  AddPixelGlow(fx(), gfx(), 10, 10, 10, 10, 0, 800, 100000, 256, -256, 0, 0, 0);
  ASSERT_EQ(fx().glowPointCount, 1);
  EXPECT_EQ(fx().glowPoints[0].red, 127);
  EXPECT_EQ(fx().glowPoints[0].green, -128);
  EXPECT_EQ(fx().glowPoints[0].blue, 0);
}

TEST_F(EffectsLightsTest, PixelGlowStopsRecordingAt20001Points) {
  Fill(Rgb(200, 200, 200));
  AddPixelGlow(fx(), gfx(), 0, 0, 799, 599, 0, 800, 100, 256, 256, 256, 0, 0);
  EXPECT_EQ(fx().glowPointCount, kGlowPointPool);
  EXPECT_EQ(fx().glowPoints[kGlowPointPool - 1].x, 20000 % 800);
  EXPECT_EQ(fx().glowPoints[kGlowPointPool - 1].y, 20000 / 800);
}

TEST_F(EffectsLightsTest, PixelGlowSamplesBeforeItLights) {
  // Two bright pixels in a row: lighting the first must not push the second
  // out of the range before it is sampled.
  Fill(0);
  At(200, 200) = Rgb(150, 150, 150);
  At(201, 200) = Rgb(150, 150, 150);
  AddPixelGlow(fx(), gfx(), 195, 195, 205, 205, 400, 460, 40, 256, 256, 256, 0, 0);
  EXPECT_EQ(fx().glowPointCount, 2);
}

TEST_F(EffectsLightsTest, FastLightKernelsMatchThePlainOnes) {
  std::vector<uint32_t> a(300);
  std::vector<uint32_t> b(300);
  uint32_t seed = 7;
  const auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
  // Every form of the disc tints, the plain level's word arithmetic too:
  // runs of any length, the last pixels of a run through lane masks or one
  // by one.
  for (int32_t round = 0; round < 200; ++round) {
    cpu::ForceKernelLevel(kEveryLevel[(round / 2) % 4]);
    for (size_t i = 0; i < a.size(); ++i) a[i] = b[i] = next();
    const int32_t count = static_cast<int32_t>(next() % (round % 2 == 0 ? 300 : 20));
    const uint32_t packed = next();
    fx_kernels::AddPacked(a.data(), count, packed);
    fx_kernels::AddPackedPlain(b.data(), count, packed);
    ASSERT_EQ(a, b);
    const int32_t amounts[3] = {static_cast<int32_t>(next() % 1025) - 512,
                                static_cast<int32_t>(next() % 600) - 100, static_cast<int32_t>(next() % 256)};
    fx_kernels::AddClamped(a.data(), count, amounts[0], amounts[1], amounts[2]);
    fx_kernels::AddClampedPlain(b.data(), count, amounts[0], amounts[1], amounts[2]);
    ASSERT_EQ(a, b);
    // A disc's rows in one call: runs of 1 .. 40 pixels.
    fx_kernels::PixelRun runsA[6];
    fx_kernels::PixelRun runsB[6];
    for (int32_t r = 0; r < 6; ++r) {
      const int32_t length = 1 + static_cast<int32_t>(next() % 40);
      runsA[r] = {a.data() + 45 * r, length};
      runsB[r] = {b.data() + 45 * r, length};
    }
    fx_kernels::Tint tint;
    tint.fast = round % 2 == 0;
    tint.packed = packed;
    tint.blue = amounts[0];
    tint.green = amounts[1];
    tint.red = amounts[2];
    fx_kernels::TintRuns(runsA, 6, tint);
    fx_kernels::TintRunsPlain(runsB, 6, tint);
    ASSERT_EQ(a, b);
  }
  cpu::ResetKernelLevel();
  std::vector<uint8_t> map(400);
  for (uint8_t& m : map) m = static_cast<uint8_t>(next());
  // Textured and radial rows at every level: AVX2, and the tabled forms
  // below it, whose rows of over 256 pixels go in two pieces.
  for (int32_t round = 0; round < 80; ++round) {
    cpu::ForceKernelLevel(kEveryLevel[round % 4]);
    fx_kernels::TexturedRow light;
    light.sqrtTable = fx().sqrtTable;
    light.falloff = fx().falloff;
    light.radius = 3 + static_cast<int32_t>(next() % 174);
    light.x = 200;
    light.dy = static_cast<int32_t>(next() % (light.radius - 2));
    light.map = round % 3 == 0 ? nullptr : map.data() + 200;
    // Huge amounts clamp nearly every byte; small ones leave the strengths
    // visible in the result.
    for (int32_t& a : light.amount)
      a = round % 8 < 4 ? static_cast<int32_t>(next() % 131073) - 65536
                        : static_cast<int32_t>(next() % 9) - 4;
    const int32_t h = fx().sqrtTable[(light.radius - 2) * (light.radius - 2) - light.dy * light.dy + 1];
    const int32_t left = std::max(0, 200 - h);
    const int32_t right = std::min(399, 200 + h);
    std::vector<uint32_t> s1(400);
    for (uint32_t& v : s1) v = next();
    std::vector<uint32_t> s2 = s1;
    fx_kernels::TexturedLightRow(light, s1.data(), left, right);
    fx_kernels::TexturedLightRowPlain(light, s2.data(), left, right);
    ASSERT_EQ(s1, s2) << round;
  }
  // Radial rows, whole or cut at either end, the last pixels in lane masks.
  for (int32_t round = 0; round < 80; ++round) {
    cpu::ForceKernelLevel(kEveryLevel[round % 4]);
    fx_kernels::RadialRow light;
    light.sqrtTable = fx().sqrtTable;
    light.radius = 3 + static_cast<int32_t>(next() % 174);
    light.x = 200;
    light.dy = static_cast<int32_t>(next() % (light.radius - 2)) * (round % 2 == 0 ? 1 : -1);
    // Huge amounts clamp nearly every byte; small ones leave the strengths
    // visible in the result.
    for (int32_t& a : light.amount)
      a = round % 8 < 4 ? static_cast<int32_t>(next() % 131073) - 65536
                        : static_cast<int32_t>(next() % 129) - 64;
    if (round % 3 == 0) light.amount[1] = static_cast<int32_t>(next() % 300);
    const int32_t h = fx().sqrtTable[(light.radius - 2) * (light.radius - 2) - light.dy * light.dy + 1];
    const int32_t left = std::max(0, 200 - h) + (round % 4 == 1 ? static_cast<int32_t>(next() % (h + 1)) : 0);
    const int32_t right = std::min(399, 200 + h);
    std::vector<uint32_t> s1(400);
    for (uint32_t& v : s1) v = next();
    std::vector<uint32_t> s2 = s1;
    fx_kernels::RadialLightRow(light, s1.data(), left, right);
    fx_kernels::RadialLightRowPlain(light, s2.data(), left, right);
    ASSERT_EQ(s1, s2) << round;
  }
  cpu::ResetKernelLevel();
  for (int32_t radius : {1, 2, 8, 47, 176}) {
    for (int32_t round = 0; round < 6; ++round) {
      std::vector<uint32_t> s1(2 * 400);
      for (uint32_t& v : s1) v = next();
      std::vector<uint32_t> s2 = s1;
      const fx_kernels::EllipseLight light = fx_kernels::MakeEllipse(
          static_cast<int32_t>(next() % 400), radius, static_cast<int32_t>(next() % 65535) - 32767,
          static_cast<int32_t>(next() % 300) - 20, static_cast<int32_t>(next() % 9), 0);
      const int32_t dy = static_cast<int32_t>(next() % (radius + 1)) * (round % 2 == 0 ? 1 : -1);
      const int32_t left = static_cast<int32_t>(next() % 200);
      const int32_t right = left + static_cast<int32_t>(next() % 200);
      fx_kernels::EllipseRow(light, s1.data(), dy, left, right);
      fx_kernels::EllipseRowPlain(light, s2.data(), dy, left, right);
      ASSERT_EQ(s1, s2) << radius << " " << round;
    }
  }
}

// Whole lights, at the screen's edges too: every kernel level lights the
// same (the pair test below holds each level to the plain rows).
TEST_F(EffectsLightsTest, EllipseLightsMatchThePlainRowsAtEveryKernelLevel) {
  uint32_t seed = 3;
  const auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
  std::vector<uint32_t> start(static_cast<size_t>(kW) * kH);
  for (uint32_t& v : start) v = next();
  std::vector<uint32_t> plain;
  for (const cpu::KernelLevel level : kEveryLevel) {
    std::copy(start.begin(), start.end(), screen());
    cpu::ForceKernelLevel(level);
    seed = 99;
    for (int32_t i = 0; i < 300; ++i) {
      const int32_t radius = i % 10 == 0 ? 176 : 1 + static_cast<int32_t>(next() % 60);
      const int32_t x = static_cast<int32_t>(next() % 1000) - 100;
      const int32_t y = static_cast<int32_t>(next() % 800) - 100;
      // Mostly brightening, as the drift and glow lights are; some darken
      // one channel or all.
      const auto amount = [&](int32_t spread) { return static_cast<int32_t>(next() % 2000) - spread; };
      const int32_t red = amount(i % 3 == 0 ? 1000 : 0);
      const int32_t green = amount(i % 5 == 0 ? 2000 : 0);
      const int32_t blue = amount(0);
      AddEllipseLight(fx(), gfx(), x, y, radius, red, green, blue, 0);
    }
    cpu::ResetKernelLevel();
    EXPECT_TRUE(GuardsIntact());
    if (plain.empty()) {
      plain = Snapshot();
      EXPECT_GT(Changed(start), 100000);
    } else {
      EXPECT_TRUE(Snapshot() == plain) << "kernel level " << static_cast<int32_t>(level);
    }
  }
}

// The mirrored pairs at every level against the rows one by one: radii
// around the kept-weight limit (96) and the widest (176), rows clipped on
// either side or past the centre, widths around the vector steps. The
// last rounds give every channel an amount at the ends of the word range
// the kept weights are multiplied in, or just past them (which those
// lights must not take), and widths around eight columns.
TEST_F(EffectsLightsTest, EllipseRowPairsMatchThePlainOnes) {
  const int32_t edgeAmounts[] = {INT16_MIN, INT16_MIN + 1, INT16_MAX, INT16_MIN - 1, INT16_MAX + 1,
                                 -65535, 65535, -256, 255, -1, 0, 1};
  constexpr int32_t kEdges = static_cast<int32_t>(std::size(edgeAmounts));
  for (const cpu::KernelLevel level : kEveryLevel) {
    cpu::ForceKernelLevel(level);
    uint32_t seed = 17;
    const auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    for (int32_t round = 0; round < 600; ++round) {
      const bool edges = round >= 400;
      const int32_t radius = round < 40    ? 1 + round % 20
                             : round < 80  ? 94 + round % 5
                             : round < 100 ? 176
                             : edges       ? (round % 3 == 0 ? 96 : round % 3 == 1 ? 97 : 5 + round % 40)
                                           : 1 + static_cast<int32_t>(next() % 176);
      const int32_t x = 200 + static_cast<int32_t>(next() % 400);
      const auto edgeAmount = [&] { return edgeAmounts[next() % kEdges]; };
      const fx_kernels::EllipseLight light =
          edges ? fx_kernels::MakeEllipse(x, radius, edgeAmount(), edgeAmount(), edgeAmount(), 0)
                : fx_kernels::MakeEllipse(x, radius, static_cast<int32_t>(next() % 65535) - 32767,
                                          static_cast<int32_t>(next() % 300) - 20,
                                          static_cast<int32_t>(next() % 9), 0);
      const int32_t dy = static_cast<int32_t>(next() % (radius + 1));
      const int32_t h = fx().sqrtTable[std::max(0, (4 * radius * radius - 9 * dy * dy - 1) / 4)];
      // Clipped on either side, past the centre, or not at all.
      const int32_t cut = static_cast<int32_t>(next() % (h + 1));
      int32_t left = x - h;
      int32_t right = x + h;
      if (round % 5 == 1) left += cut;
      if (round % 5 == 2) right -= cut;
      if (round % 5 == 3) left = x + cut;
      if (round % 5 == 4) right = x - cut;
      // 6 .. 10 columns from the centre to the far end.
      if (edges && round % 4 == 0) right = std::min(x + 6 + round % 5, x + h);
      // A row just past the light's reach, past the rows of its kept weights.
      const int32_t past = edges && round % 7 == 0 ? radius + 1 + round % 2 : -1;
      if (past > 0) {
        left = x - 9;
        right = x + 9;
      }
      std::vector<uint32_t> fast(2 * 800);
      for (uint32_t& v : fast) v = next();
      std::vector<uint32_t> plain = fast;
      uint32_t* aboveFast = dy != 0 ? fast.data() : nullptr;
      uint32_t* abovePlain = dy != 0 ? plain.data() : nullptr;
      const int32_t row = past > 0 ? past : dy;
      fx_kernels::EllipseRowPair(light, aboveFast, fast.data() + 800, row, left, right);
      fx_kernels::EllipseRowPairPlain(light, abovePlain, plain.data() + 800, row, left, right);
      ASSERT_EQ(fast, plain) << "level " << static_cast<int32_t>(level) << " round " << round;
    }
  }
  cpu::ResetKernelLevel();
}

}  // namespace
}  // namespace vxtest
