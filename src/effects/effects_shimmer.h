#pragma once
// Shimmer areas: rectangles whose pixels ripple sideways, like water or
// hot air, driven by chains of small oscillators.
#include <cstdint>

struct EffectsSystem;
struct GfxContext;

void ClearShimmerAreas(EffectsSystem& fx);
// Takes the first free of the 40 records (none free: dropped). The ripple
// moves pixels whose b + g + r (or that of a neighbour 6 columns away)
// lies within [min, max]; amplitude is clamped to 1 .. 8.
void AddShimmerArea(EffectsSystem& fx, int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t min,
                    int32_t max, int32_t amplitude, int32_t extra);
void UpdateShimmerAreas(EffectsSystem& fx, GfxContext& gfx);

// One step of an oscillator: value += speed; a value past ±1700 stops the
// speed; then the speed turns towards zero by 3.
void StepOscillator(int32_t& value, int32_t& speed);
