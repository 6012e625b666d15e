#pragma once
// The effects system: screen-space lights, flash rings, fog, twinkles,
// shimmer, drifting particles and picture adjustments.
#include <cstdint>

struct GfxContext;

struct EffectsSystem {
  int32_t started = 0;
};

void InitEffects(EffectsSystem& fx, GfxContext& gfx);
void Saturation(EffectsSystem& fx, GfxContext& gfx, int32_t slot, int32_t amount);
void ToneCurve(EffectsSystem& fx, GfxContext& gfx, int32_t slot, int32_t a, int32_t b, int32_t c);
