#include "effects/effects_flashes.h"

#include <algorithm>

#include "effects/effects_internal.h"
#include "effects/effects_ring_kernels.h"
#include "effects/effects_system.h"
#include "random/random_source.h"

namespace {

constexpr int32_t kMaxIntensity = 20400;
constexpr int32_t kRippledFrom = 17;  // smaller rings stay round

// The radius profile, one entry per degree (256 = the nominal radius): a
// random walk of 91 steps of -13 .. 13, one every fourth degree, kept within
// 150 .. 400.
void BuildProfile(RandomSource& random, int32_t radius, int32_t (&profile)[361]) {
  constexpr int32_t kSteps = 91;
  int32_t steps[kSteps] = {};
  const bool rippled = radius >= kRippledFrom;
  if (rippled) RandomFill(random, -13, 13, steps, kSteps);
  int32_t v = 256;
  for (int32_t i = 0; i <= 360; ++i) {
    if (rippled && i % 4 == 0) v = std::clamp(v + steps[i / 4], 150, 400);
    profile[i] = v;
  }
}

// The profile as the ring uses it: straight between the steps of the walk,
// and with the walk's end bent back to its start (by about degree / 360 of
// the gap) so the rim closes without a step at the top.
int32_t SmoothProfileAt(const int32_t (&profile)[361], int32_t degree) {
  degree = std::clamp(degree, 0, 359);
  const int32_t knot = degree & ~3;
  const int32_t along = profile[knot] + (profile[knot + 4] - profile[knot]) * (degree - knot) / 4;
  const int32_t closing = ((profile[0] - profile[360]) * degree * 2913) >> 20;
  return std::clamp(along + closing, 150, 400);
}

}  // namespace

void ClearFlashes(EffectsSystem& fx) {
  for (FlashRecord& f : fx.flashes) f.intensity = 0;
}

void AddFlash(EffectsSystem& fx, int32_t x, int32_t y, int32_t intensity, int32_t decay) {
  if (intensity < 1) return;
  for (FlashRecord& f : fx.flashes) {
    if (f.intensity >= 1) continue;
    f.intensity = std::min(intensity, kMaxIntensity);
    f.x = x;
    f.y = y;
    f.decay = std::max(decay, 1);
    return;
  }
}

void UpdateFlashes(EffectsSystem& fx, GfxContext& gfx) {
  for (FlashRecord& f : fx.flashes) {
    const int32_t radius = f.intensity >> 8;
    if (radius >= 1 && radius <= kFlashMaxRadius) DrawFlashRing(fx, gfx, f.x, f.y, radius);
    if (f.intensity > 0) f.intensity = fx_detail::Clamp32(int64_t{f.intensity} - f.decay);
  }
}

void DrawFlashRing(EffectsSystem& fx, GfxContext& gfx, int32_t x, int32_t y, int32_t radius) {
  if (radius < 1 || radius > kFlashMaxRadius) return;
  // The profile's random draws belong to the ring whether or not it shows.
  int32_t profile[361];
  BuildProfile(*fx.random, radius, profile);
  const fx_detail::Screen screen = fx_detail::ScreenOf(gfx);
  if (screen.pixels == nullptr) return;
  int32_t top = 0;
  int32_t bottom = 0;
  if (!fx_detail::ClipRange(int64_t{y} - radius + 1, int64_t{y} + radius - 1, screen.height, top, bottom))
    return;
  if (int64_t{x} + radius <= 0 || int64_t{x} - radius >= screen.width) return;

  // The profile in the direction of each 8-pixel grid node from the centre;
  // the kernel blends the four nodes around each pixel.
  int32_t grid[kRingGridSide * kRingGridSide] = {};
  const int32_t nodes = radius / 4 + 2;
  const int16_t* directions = fx.ringDirections[radius];
  for (int32_t j = 0; j < nodes; ++j) {
    for (int32_t i = 0; i < nodes; ++i) {
      grid[j * kRingGridSide + i] =
          radius >= kRippledFrom ? SmoothProfileAt(profile, directions[j * kRingGridSide + i]) : 256;
    }
  }
  fx_kernels::Ring ring;
  ring.grid = grid;
  ring.glow = fx.ringGlow[radius];
  ring.cx = x;
  ring.cy = y;
  ring.radius = radius;
  fx_kernels::RowSpan spans[2 * kFlashMaxRadius - 1];
  for (int32_t row = top; row <= bottom; ++row) {
    const int32_t dy = row - y;
    const int32_t h = fx.sqrtTable[radius * radius - 1 - dy * dy];
    fx_kernels::RowSpan& span = spans[row - top];
    if (!fx_detail::ClipRange(int64_t{x} - h, int64_t{x} + h, screen.width, span.left, span.right)) span = {};
  }
  fx_kernels::FlashRing(ring, screen.pixels, screen.width, screen.height, top, spans, bottom - top + 1);
}

// The ring's own light by depth inside the rim (in quarter pixels): rising
// smoothly over the first 1 + r / 8 pixels and fading out again by 3 + r / 3
// pixels, a warm white that is brighter for larger rings.
void FillRingGlow(EffectsSystem& fx) {
  for (int32_t radius = 1; radius <= kFlashMaxRadius; ++radius) {
    const int32_t peak = 56 + radius;
    const int32_t rise = 4 + radius / 2;
    const int32_t fade = 12 + radius * 4 / 3;
    const auto smooth = [](int32_t u) { return (u * u * (768 - 2 * u)) >> 16; };  // 0 .. 256
    for (int32_t q = 0; q <= 4 * radius; ++q) {
      const int32_t up = smooth(std::min(256, q * 256 / rise));
      const int32_t down = 256 - smooth(std::min(256, q * 256 / fade));
      const uint32_t g = static_cast<uint32_t>((peak * up * down) >> 16);
      fx.ringGlow[radius][q] = g << 16 | (g * 230 >> 8) << 8 | (g * 180 >> 8);
    }
  }
}
