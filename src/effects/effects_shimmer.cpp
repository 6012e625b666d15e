#include "effects/effects_shimmer.h"

#include <algorithm>
#include <cstdlib>

#include "effects/effects_internal.h"
#include "effects/effects_kernels.h"
#include "effects/effects_system.h"

namespace {

void RippleArea(ShimmerArea& area, const fx_detail::Screen& screen, uint32_t* copy) {
  const int32_t top = std::max(area.y1, 3);
  const int32_t bottom = std::min(area.y2, screen.height - 4);
  fx_kernels::RippleRow row;
  row.left = static_cast<int32_t>(std::max<int64_t>(int64_t{area.x1} + 7, 7));
  row.right = static_cast<int32_t>(std::min<int64_t>(int64_t{area.x2} - 8, screen.width - 8));
  row.width = screen.width;
  row.min = area.min;
  row.max = area.max;
  int32_t rowValue = area.phase;
  int32_t rowSpeed = area.speed;
  for (int32_t y = top; y <= bottom; ++y) {
    StepOscillator(rowValue, rowSpeed);
    if (row.left > row.right) continue;
    row.factor = int64_t{area.amplitude} * (int64_t{rowValue} + 1800);
    fx_kernels::Ripple(row, screen.pixels + static_cast<int64_t>(y) * screen.width, copy);
  }
}

}  // namespace

void ClearShimmerAreas(EffectsSystem& fx) {
  for (ShimmerArea& a : fx.shimmer) a.active = 0;
}

void AddShimmerArea(EffectsSystem& fx, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t min,
                    int32_t max, int32_t amplitude, int32_t extra) {
  for (ShimmerArea& a : fx.shimmer) {
    if (a.active != 0) continue;
    a = ShimmerArea{x1, y1, x2, y2, min, max, -1, 0, -100, std::clamp(amplitude, 1, 8), extra};
    return;
  }
}

void UpdateShimmerAreas(EffectsSystem& fx, GfxContext& gfx) {
  const fx_detail::Screen screen = fx_detail::ScreenOf(gfx);
  if (screen.pixels == nullptr) return;
  const int32_t steps = std::max(1, gfx.timeStep / 32);
  for (ShimmerArea& area : fx.shimmer) {
    if (area.active == 0) continue;
    for (int32_t s = 0; s < steps; ++s) StepOscillator(area.phase, area.speed);
    if (!fx_detail::EnsureScratch(fx, screen.width)) continue;
    RippleArea(area, screen, fx.rowCopy.get());
  }
}
