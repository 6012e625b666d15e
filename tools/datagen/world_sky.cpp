#include "datagen/world_sky.h"

#include <cmath>

#include "datagen/art_kit.h"
#include "datagen/noise.h"
#include "datagen/world_paint.h"
#include "maths/repro_math.h"

namespace datagen {
namespace {

constexpr int kW = 800, kH = 600;
constexpr float kMoonX = 612, kMoonY = 108, kMoonR = 44;
constexpr int kWaterline = 372;

struct SkyFields {
  SmoothField clouds{120, 34, 5, 9101}, mist{170, 30, 3, 9108}, hills{320, 320, 4, 9102},
      trees{53, 53, 3, 9109};
  SmoothField swell{120, 14, 3, 9103, 2}, glitter{50, 7.5, 3, 9110, 2}, wobble{60, 10, 3, 9111, 2};
};

float Horizon(float x, const SkyFields& f) {
  // Low hills with a ragged line of trees on them.
  return 318 + 40 * f.hills.At(x, 0) + 7 * std::fabs(rmath::Sin(x / 5.3f + 3 * f.trees.At(x, 40)));
}

// The drowned keep: a great hall between two towers, one of them broken,
// with a spire, standing in the lake.
float KeepShape(float x, float y) {
  float d = SdBox(x, y, 425, 320, 46, 56);
  d = std::min(d, SdBox(x, y, 366, 300, 17, 76));
  d = std::min(d, SdPolygon(x, y, {346, 226, 366, 176, 386, 226}));
  d = std::min(d, SdPolygon(x, y, {470, 372, 470, 236, 478, 226, 486, 240, 492, 232, 500, 250, 502, 372}));
  d = std::min(d, SdPolygon(x, y, {418, 266, 425, 196, 432, 266}));
  d = std::min(d, SdBox(x, y, 425, 262, 50, 3));
  // Battlements along the hall's roof line.
  if (y > 256 && y < 266 && std::fmod(x, 12.0f) < 6 && x > 380 && x < 470) d = std::min(d, -1.0f);
  return d;
}

}  // namespace

Canvas NightSky() {
  Canvas c(kW, kH);
  const SkyFields f;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      Rgb col;
      if (y < kWaterline) {
        col = Mix(Hex(0x03050b), Hex(0x1b2539), rmath::Pow(y / static_cast<float>(kWaterline), 1.6f));
        // Thin bands of cloud, lit where they pass the moon.
        const float cl = Smooth(0.52f, 0.78f, f.clouds.At(x, y)) * Smooth(30, 90, y) * Smooth(300, 200, y);
        const float nearMoon = Smooth(260, 40, rmath::Hypot(x - kMoonX, y - kMoonY));
        col = Mix(col, Mix(Hex(0x141b28), Hex(0x4a5870), nearMoon), cl * 0.8f);
        // Stars, fewer towards the horizon and behind the clouds.
        const float h = Hash01(x, y, 9104);
        if (h > 0.9965f && y < 300 && cl < 0.3f) {
          const float b = 0.45f + 0.55f * Hash01(x, y, 9105);
          col = col + Mix(Hex(0xb4c4ff), Hex(0xffe6c0), Hash01(x, y, 9106)) * b;
        }
      } else {
        // The lake: lighter far away, with the sky's colour in its ripples.
        const float t = (y - kWaterline) / static_cast<float>(kH - kWaterline);
        col = Mix(Hex(0x121c2c), Hex(0x05080f), rmath::Pow(t, 0.6f));
        const float wave = f.swell.At(x, y);
        col = col * (0.85f + 0.35f * wave);
        // The moon's broken path on the water.
        const float across = 1 - std::fabs(x - kMoonX) / (26.0f + t * 90.0f);
        const float streak = Clamp01(across) * Smooth(0.5f, 0.8f, f.glitter.At(x, y));
        col = col + Hex(0xa9bde0) * (streak * (0.9f - 0.5f * t));
      }
      c.at(x, y) = col;
    }
  DrawMoon(c, kMoonX, kMoonY, kMoonR, 9107, true, 1.4f);
  // The far shore.
  c.Paint(
      0, 280, kW - 1, kWaterline, [&](float x, float y) { return Horizon(x, f) - y; },
      [&](float x, float y, float) {
        const float top = Smooth(8, 0, y - Horizon(x, f));
        return Mix(Hex(0x080b12), Hex(0x1a2232), top * 0.6f);
      });
  // Its reflection, darker and broken by the ripples.
  for (int y = kWaterline; y < kWaterline + 70; ++y)
    for (int x = 0; x < kW; ++x) {
      const float mirrored = 2.0f * kWaterline - y + 6 * (f.wobble.At(x, y) - 0.5f);
      if (mirrored > Horizon(static_cast<float>(x), f))
        c.at(x, y) = Mix(c.at(x, y), Hex(0x06080e), 0.7f * Smooth(kWaterline + 70.0f, kWaterline, y));
    }
  // The keep, its reflection and a few lit windows.
  c.Paint(
      330, 170, 510, kWaterline, [](float x, float y) { return std::max(KeepShape(x, y), y - kWaterline); },
      [](float x, float, float) { return Mix(Hex(0x121927), Hex(0x0a0e16), Smooth(350, 380, x)); });
  for (int y = kWaterline; y < kWaterline + 150 && y < kH; ++y)
    for (int x = 330; x < 510; ++x) {
      const float wobble = 4 * (f.wobble.At(x, y) - 0.5f);
      if (KeepShape(x + wobble, 2.0f * kWaterline - y) < 0)
        c.at(x, y) = Mix(c.at(x, y), Hex(0x070a11), 0.65f * Smooth(kWaterline + 150.0f, kWaterline, y));
    }
  for (const auto& window :
       {std::pair{361.0f, 250.0f}, {371.0f, 286.0f}, {400.0f, 300.0f}, {446.0f, 318.0f}, {486.0f, 270.0f}}) {
    const float wx = window.first, wy = window.second;
    c.Paint(
        static_cast<int>(wx - 3), static_cast<int>(wy - 4), static_cast<int>(wx + 3),
        static_cast<int>(wy + 4), [&](float x, float y) { return SdBox(x, y, wx, wy, 1.2f, 2.4f); },
        [](float, float, float) { return Hex(0xe0a850); });
    c.Glow(wx, wy, 9, Rgb{0.12f, 0.07f, 0.02f});
  }
  // Mist lying on the water line.
  for (int y = kWaterline - 30; y < kWaterline + 30; ++y)
    for (int x = 0; x < kW; ++x) {
      const float m = Smooth(30, 0, std::fabs(y - kWaterline + 4.0f)) * f.mist.At(x, y);
      c.at(x, y) = c.at(x, y) + Hex(0x2a3446) * (m * 0.5f);
    }
  return c;
}

}  // namespace datagen
