#pragma once
// Shimmer areas: rectangles whose pixels ripple sideways, like water or
// hot air, driven by chains of small oscillators.
#include <cstdint>

#include "effects/effects_oscillator.h"

struct EffectsSystem;
struct GfxContext;

void ClearShimmerAreas(EffectsSystem& fx);
// Takes the first free of the 40 records (none free: dropped). The ripple
// moves pixels whose b + g + r (or that of a neighbour 6 columns away)
// lies within [min, max]; amplitude is clamped to 1 .. 8.
void AddShimmerArea(EffectsSystem& fx, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t min,
                    int32_t max, int32_t amplitude, int32_t extra);
void UpdateShimmerAreas(EffectsSystem& fx, GfxContext& gfx);
