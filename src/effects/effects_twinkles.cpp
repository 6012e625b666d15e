#include "effects/effects_twinkles.h"

#include <algorithm>
#include <cstdlib>

#include "effects/effects_internal.h"
#include "effects/effects_lights.h"
#include "effects/effects_system.h"
#include "random/random_source.h"

namespace {

// Speeds too slow to see become 260.
int32_t LivelySpeed(int32_t speed) { return (speed >= -259 && speed <= 259) ? 260 : speed; }

}  // namespace

void ClearTwinkles(EffectsSystem& fx) {
  for (TwinkleRecord& t : fx.twinkles) t.active = 0;
}

void SpawnTwinkles(EffectsSystem& fx, GfxContext& gfx, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                   int32_t min, int32_t max, int32_t bright, int32_t chance, int32_t scale) {
  const fx_detail::Screen screen = fx_detail::ScreenOf(gfx);
  if (screen.pixels == nullptr) return;
  const int32_t threshold = std::clamp(560 - gfx.sizeScale / 4, 160, 400);
  const int64_t chanceLimit = 100 - int64_t{chance};
  // Records are only taken here, so the first free one never lies before
  // the last one taken.
  int32_t searchFrom = 0;
  // The grid points (every fourth pixel from the corner) inside the area, in
  // rows from the top, each from the left.
  const auto firstOnGrid = [](int32_t from) { return (std::max<int64_t>(0, from) + 3) / 4 * 4; };
  const int64_t yEnd = std::min(screen.height - 4, y2);
  const int64_t xEnd = std::min(screen.width - 4, x2);
  for (int64_t yy = firstOnGrid(y1); yy <= yEnd; yy += 4) {
    const int32_t y = static_cast<int32_t>(yy);
    for (int64_t xx = firstOnGrid(x1); xx <= xEnd; xx += 4) {
      const int32_t x = static_cast<int32_t>(xx);
      const uint32_t p = screen.pixels[static_cast<int64_t>(y) * screen.width + x];
      const int32_t sum = fx_detail::BrightnessOf(p);
      if (sum < min || sum > max) continue;
      if (!(Random(*fx.random, 0, 100) > chanceLimit)) continue;
      if (!(Random(*fx.random, 0, 401) < threshold)) continue;
      if (!(Random(*fx.random, 0, 401) < threshold)) continue;
      while (searchFrom < kTwinklePool && fx.twinkles[searchFrom].active != 0) ++searchFrom;
      if (searchFrom >= kTwinklePool) continue;
      TwinkleRecord& t = fx.twinkles[searchFrom];
      t.active = 1;
      t.x = static_cast<int16_t>(x);
      t.y = static_cast<int16_t>(y);
      t.radius =
          fx_detail::Clamp16(std::max<int64_t>(3, int64_t{Random(*fx.random, 3, 18)} * gfx.sizeScale / 1024));
      t.blue = fx_detail::Clamp16(int64_t{fx_detail::BlueOf(p)} * scale / 256);
      t.green = fx_detail::Clamp16(int64_t{fx_detail::GreenOf(p)} * scale / 256);
      t.red = fx_detail::Clamp16(int64_t{fx_detail::RedOf(p)} * scale / 256);
      t.brightness = static_cast<int16_t>(Random(*fx.random, 90, 170));
      t.phase = static_cast<int16_t>(Random(*fx.random, 0, 255));
      t.speed = static_cast<int16_t>(LivelySpeed(Random(*fx.random, -3, 3) * 800));
      t.fastAdd = (sum <= 215 && bright == 0) ? 1 : 0;
    }
  }
}

void UpdateTwinkles(EffectsSystem& fx, GfxContext& gfx) {
  for (TwinkleRecord& t : fx.twinkles) {
    if (t.active == 0) continue;
    const int32_t strength = t.brightness * (128 - std::abs(128 - t.phase)) / 128;
    const int32_t red = t.red * strength / 512;
    const int32_t green = t.green * strength / 512;
    const int32_t blue = t.blue * strength / 512;
    if (red + green + blue > 2) TintDisc(fx, gfx, t.x, t.y, t.radius, red, green, blue, t.fastAdd);
    t.phase = static_cast<int16_t>((t.phase + ((int64_t{t.speed} * gfx.timeStep) >> 13)) & 255);
    if ((t.phase & 15) > 12) {
      const int32_t speed = std::clamp(t.speed + Random(*fx.random, -700, 700), -2400, 2400);
      t.speed = static_cast<int16_t>(LivelySpeed(speed));
    }
  }
}
