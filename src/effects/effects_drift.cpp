#include "effects/effects_drift.h"

#include <algorithm>

#include "effects/effects_internal.h"
#include "effects/effects_lights.h"
#include "effects/effects_system.h"
#include "random/random_source.h"

namespace {

constexpr int32_t kOne = 65536;
constexpr int32_t kSpawnCount = 61;
constexpr int32_t kRise = 10240;  // 0.15625 virtual pixels per step
constexpr int32_t kSwayPull = kOne / 16;
constexpr int32_t kDirection = 8192;

// Colour sums below 40 (from up to four samples) stay dark.
int32_t Lift(int32_t sum) { return std::max(0, 2 * sum - 80); }

}  // namespace

void ResetDrift(EffectsSystem& fx) {
  fx.driftCount = 0;
  fx.driftLightCount = 0;
}

void SpawnDrift(EffectsSystem& fx, GfxContext& gfx, int32_t x, int32_t p1, int32_t p2, int32_t p3,
                int32_t p4) {
  const int64_t width = std::max(gfx.screenWidth, 1);
  for (int32_t n = 0; n < kSpawnCount; ++n) {
    if (fx.driftCount >= kDriftPool) return;
    DriftParticle& d = fx.drift[fx.driftCount];
    const int64_t virtualX = int64_t{x} * 1024 / width + Random(*fx.random, -50, 50);
    d.x = fx_detail::Clamp32(virtualX * kOne);
    d.y = Random(*fx.random, 0, 768) * kOne;
    d.swaySpeed = Random(*fx.random, -5, 5) * kOne;
    // Alternate sides, so the sway never starts at rest.
    d.direction = (fx.driftCount & 1) == 0 ? kDirection : -kDirection;
    d.swayOffset = d.direction;
    d.reach = p1;
    d.min = p2;
    d.max = p3;
    d.extra = p4;
    ++fx.driftCount;
  }
}

void UpdateDrift(EffectsSystem& fx, GfxContext& gfx) {
  fx.driftLightCount = 0;
  const fx_detail::Screen screen = fx_detail::ScreenOf(gfx);
  const int32_t steps = std::max(1, gfx.timeStep / 32);
  const int32_t scale = gfx.sizeScale;
  const int32_t divisor = std::max(1, scale / 2);
  for (int32_t i = 0; i < fx.driftCount; ++i) {
    DriftParticle& d = fx.drift[i];
    for (int32_t s = 0; s < steps; ++s) {
      d.y -= kRise;
      if (d.y < 0) d.y = 768 * kOne;
      if (d.swayOffset > 0) {
        d.swaySpeed -= kSwayPull;
      } else if (d.swayOffset < 0) {
        d.swaySpeed += kSwayPull;
      }
      d.swayOffset = fx_detail::Clamp32(int64_t{d.swayOffset} + d.swaySpeed);
    }
    if (screen.pixels == nullptr) continue;
    const int64_t px = ((int64_t{d.x} + d.swayOffset) >> 16) * gfx.screenWidth / 1024;
    const int64_t py = (int64_t{d.y} >> 16) * gfx.heightScale / 1024;
    // Samples above, left, right and below the particle.
    const int64_t reach = std::clamp<int64_t>(int64_t{d.reach} * 8 * scale / 1024, 1, 64);
    const int64_t offsets[4][2] = {{0, -reach}, {-reach, 0}, {reach, 0}, {0, reach}};
    int32_t blue = 0;
    int32_t green = 0;
    int32_t red = 0;
    for (const auto& o : offsets) {
      const int64_t sx = px + o[0];
      const int64_t sy = py + o[1];
      if (sx < 0 || sy < 0 || sx >= screen.width || sy >= screen.height) continue;
      const uint32_t p = screen.pixels[sy * screen.width + sx];
      const int32_t sum = fx_detail::BrightnessOf(p);
      if (sum < d.min || sum > d.max) continue;
      blue += fx_detail::BlueOf(p);
      green += fx_detail::GreenOf(p);
      red += fx_detail::RedOf(p);
    }
    blue = Lift(blue);
    green = Lift(green);
    red = Lift(red);
    if (blue <= 0 && green <= 0 && red <= 0) continue;
    if (fx.driftLightCount >= kDriftLightPool) continue;
    DriftLight& light = fx.driftLights[fx.driftLightCount++];
    light.x = static_cast<int32_t>(px);
    light.y = static_cast<int32_t>(py);
    light.radius = (53 + Random(*fx.random, -4, 4)) * scale / 1024;
    light.red = red / divisor;
    light.green = green / divisor;
    light.blue = blue / divisor;
  }
  for (int32_t i = 0; i < fx.driftLightCount; ++i) {
    const DriftLight& light = fx.driftLights[i];
    if (light.red + light.green + light.blue <= 0) continue;
    AddEllipseLight(fx, gfx, light.x, light.y, light.radius, light.red, light.green, light.blue, 0);
  }
}
